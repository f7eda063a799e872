// The step window and the lab controls behind it, driven by real clicks and keys.
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/printsurface.h"
#include "labtestsupport.h"
#include "ownarraydialog.h"
#include "recordcheck.h"
#include "resultrecord.h"
#include "stepwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

void clickWidget(QWidget *w)
{
    QVERIFY(w && w->isVisible() && w->isEnabled());
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// A key as the window system delivers it, shortcuts included.
void press(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

void clickNamed(QWidget *window, const char *name)
{
    clickWidget(window->findChild<QWidget *>(QString::fromLatin1(name)));
}

// The cell at a 1-based place of the step window's grid.
void clickCell(StepWindow *w, LabObserver::Cell cell)
{
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    const QModelIndex index = grid->model()->index(w->trace()->table() ? cell.row - 1 : 0, cell.column - 1);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

// The same by keyboard: to the first cell, down and along, then Space.
void chooseByKeys(StepWindow *w, LabObserver::Cell cell)
{
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    for (int r = 1; r < (w->trace()->table() ? cell.row : 1); ++r)
        QTest::keyClick(grid, Qt::Key_Down);
    for (int c = 1; c < cell.column; ++c)
        QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Space);
}

// The teacher's own array through the dialog: typed in, or refused.
QString typeOwnArray(LabFixture &t, bool table, const QString &values)
{
    clickWidget(t.form().ownArrayButton);
    auto *dialog = t.form().findChild<OwnArrayDialog *>();
    if (table)
        clickNamed(dialog, "tableOption");
    clickNamed(dialog, "typedOption");
    auto *edit = dialog->findChild<QPlainTextEdit *>(QStringLiteral("typedValues"));
    edit->clear();
    const QStringList lines = values.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (&line != &lines.first())
            QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, line);
    }
    clickWidget(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok));
    QString refusal = dialog->isVisible() ? dialog->refusal() : QString();
    if (dialog->isVisible())
        dialog->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the dialog deletes itself
    QTest::qWait(0);
    return refusal;
}

} // namespace

class TestStepWindow : public QObject
{
    Q_OBJECT

private slots:
    void ownArray();
    void stepsThroughSort();
    void zoom();
    void guessing_data();
    void guessing();
};

void TestStepWindow::ownArray()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    QVERIFY(!t.form().ownArrayButton->isEnabled());
    t.setSizes(3, 2);
    QCOMPARE(typeOwnArray(t, true, QStringLiteral("1 2 x 4 5 6")),
             QStringLiteral("«x» — не целое число от -32768 до 32767"));
    QCOMPARE(typeOwnArray(t, true, QStringLiteral("1 2 3 4 5")), QStringLiteral("Чисел 5, а нужно 6: не хватает 1"));
    QCOMPARE(typeOwnArray(t, true, QStringLiteral("-32768 2 3\n4 5 32767")), QString());
    // Shown and offered exactly as after "Массив2".
    QCOMPARE(t.printed().mid(1), (QStringList{QStringLiteral("-32768  2  3 "), QStringLiteral(" 4  5  32767 ")}));
    QCOMPARE(t.form().current, LabForm::Current::Table);
    QCOMPARE(t.enabledButtons(), QStringLiteral("Command1 Command2 Command3 Command5 Command7 Command8 Command9"));
}

void TestStepWindow::stepsThroughSort()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillLinear({512, 127, 9, 5});
    clickWidget(t.form().stepsBox);
    t.click("Command4");
    StepWindow *w = t.form().stepWindow();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Пошагово — сорт1"));
    QCOMPARE(w->steps(), 9 + 6); // (4 - 1)^2 comparisons and 6 inversions
    QSignalSpy moved(w, &StepWindow::stepChanged);

    clickNamed(w, "forwardButton");
    QCOMPARE(w->step(), 1);
    QCOMPARE(w->kind(), QStringLiteral("compare"));
    QCOMPARE(w->touched(), (QList<int>{0, 1}));
    QVERIFY(w->code().at(w->codeLine()).contains(QStringLiteral("если a[i] > a[i + 1] то")));
    press(w, Qt::Key_Right);
    QCOMPARE(w->kind(), QStringLiteral("swap"));
    QCOMPARE(w->cells(), (QList<int>{127, 512, 9, 5}));
    QCOMPARE(w->swaps(), 1);
    clickNamed(w, "passButton"); // 512 has gone to the end
    QCOMPARE(w->cells(), (QList<int>{127, 9, 5, 512}));
    QCOMPARE(w->comparisons(), 3);
    w->setProperty("language", QStringLiteral("Python"));
    QCOMPARE(w->code().first(), QStringLiteral("for j in range(1, m):"));
    press(w, Qt::Key_End);
    QCOMPARE(w->cells(), (QList<int>{5, 9, 127, 512}));
    QCOMPARE(w->comparisons(), 9);
    QCOMPARE(w->swaps(), 6);
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("forwardButton"))->isEnabled(), false);
    clickNamed(w, "firstButton");
    QCOMPARE(w->step(), 0);
    QCOMPARE(w->codeLine(), -1);
    QCOMPARE(w->kind(), QString());
    QCOMPARE(moved.size(), 5);
    // The lab printed what the last step shows.
    QCOMPARE(t.printed().last(), LabFixture::numbers({5, 9, 127, 512}));

    // A later operation replaces the run; unticked, nothing is traced.
    t.click("Command9");
    QCOMPARE(w->windowTitle(), QStringLiteral("Пошагово — Поиск max"));
    QCOMPARE(w->step(), 0);
    clickWidget(t.form().stepsBox);
    t.click("Command7");
    QCOMPARE(w->operation(), QStringLiteral("Поиск max"));
}

void TestStepWindow::zoom()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillLinear({1, 2, 3});
    clickWidget(t.form().stepsBox);
    t.input().reply(QStringLiteral("2"));
    t.click("Command4");
    StepWindow *w = t.form().stepWindow();
    // A shift writes one cell and reads its neighbour; the size goes last.
    QVERIFY(w->setProperty("step", 1));
    QCOMPARE(w->kind(), QStringLiteral("assign"));
    QCOMPARE(w->touched(), (QList<int>{1, 2}));
    QVERIFY(w->setProperty("step", 99));
    QCOMPARE(w->step(), 2);
    QCOMPARE(w->kind(), QStringLiteral("resize"));
    QCOMPARE(w->touched(), QList<int>());
    QCOMPARE(w->columns(), 3);
    QCOMPARE(w->usedColumns(), 2);
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    const qreal before = grid->font().pointSizeF();
    for (int k = 0; k < 10; ++k)
        press(&t.form(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(t.form().zoom(), LabForm::MaximumZoom);
    QCOMPARE(t.form().surface()->zoom(), 3.0);
    QCOMPARE(grid->font().pointSizeF(), before * 3);
    press(w, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(t.form().zoom(), 275);
    press(&t.form(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(t.form().surface()->zoom(), 1.0);
    QCOMPARE(grid->font().pointSizeF(), before);
}

void TestStepWindow::guessing_data()
{
    QTest::addColumn<int>("lab");
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("keys"); // the right cells chosen by keyboard
    // Exchanges, shifts and new extremes are asked; comparisons go by themselves.
    QTest::newRow("сорт1") << int(LabFixture::Lab::Pelmar) << QVector<int>{3, 1, 2} << "" << QByteArray("Command4") << 2
                           << false;
    QTest::newRow("Удаление элемента") << int(LabFixture::Lab::Doloran) << QVector<int>{10, 20, 30, 40} << "2"
                                       << QByteArray("Command4") << 2 << false;
    QTest::newRow("Поиск max") << int(LabFixture::Lab::Pelmar) << QVector<int>{4, 8, 2, 9} << ""
                               << QByteArray("Command9") << 2 << true;
}

void TestStepWindow::guessing()
{
    QFETCH(int, lab);
    QFETCH(QVector<int>, values);
    QFETCH(QString, reply);
    QFETCH(QByteArray, button);
    QFETCH(int, asked);
    QFETCH(bool, keys);
    QTemporaryDir results;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(QDir().mkpath(config + QStringLiteral("/tesmora")));
    QFile settings(config + QStringLiteral("/tesmora/class.conf"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[class]\nresults=" + QFile::encodeName(results.path()) + "\n");
    settings.close();

    LabFixture t{LabFixture::Lab(lab)};
    t.fillLinear(values);
    clickWidget(t.form().stepsBox);
    if (!reply.isEmpty())
        t.input().reply(reply);
    t.click(button.constData());
    StepWindow *w = t.form().stepWindow();
    QSignalSpy guessed(w, &StepWindow::guessed);
    clickNamed(w, "guessBox");
    QVERIFY(w->guessing());
    QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("forwardButton"))->isEnabled());
    // The first change is missed once, then each is clicked right.
    bool missed = false;
    while (w->guessing()) {
        const StepTrace::Step &next = w->trace()->at(w->step() + 1);
        QVERIFY(StepTrace::changes(next));
        if (!missed) {
            const int step = w->step();
            clickCell(w, {1, qint16(next.a.column == 1 ? values.size() : 1)});
            QCOMPARE(w->step(), step);
            missed = true;
        }
        if (keys)
            chooseByKeys(w, next.a);
        else
            clickCell(w, next.a);
    }
    QCOMPARE(w->step(), w->steps());
    QCOMPARE(w->guesses(), asked);
    QCOMPARE(w->guessedRight(), asked - 1);
    QVERIFY(w->findChild<QLabel *>(QStringLiteral("prompt"))
                ->text()
                .startsWith(QStringLiteral("Угадано %1 из %2").arg(asked - 1).arg(asked)));
    QCOMPARE(guessed.size(), 1);

    // Handed in like a trainer's result, and it agrees with itself.
    QTRY_COMPARE(QDir(results.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size(), 1);
    QFile file(results.filePath(QDir(results.path()).entryList({QStringLiteral("*.json")}, QDir::Files).first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<ResultRecord> record = ResultRecord::fromJson(file.readAll());
    QVERIFY(record);
    QCOMPARE(record->mode, ResultMode::Lab);
    QCOMPARE(record->lab.lab,
             lab == int(LabFixture::Lab::Pelmar) ? QStringLiteral("pelmar") : QStringLiteral("doloran"));
    QCOMPARE(record->lab.operation, QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(record->lab.columns, values.size());
    QCOMPARE(record->lab.guesses, asked);
    QCOMPARE(record->lab.guessedRight, asked - 1);
    QCOMPARE(record->grade, RecordCheck::gradeFor(100.0 * (asked - 1) / asked));
    QCOMPARE(RecordCheck::disagreement(*record), QString());
    QVERIFY(QFile::remove(settings.fileName()));
}

QTEST_MAIN(TestStepWindow)
#include "tst_stepwindow.moc"
