// The step window and the lab controls behind it, driven by real clicks and keys.
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/printsurface.h"
#include "labtestsupport.h"
#include "ownarraydialog.h"
#include "recordcheck.h"
#include "resultrecord.h"
#include "stepmodel.h"
#include "stepwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <random>

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
    if (!w->trace()->table())
        cell.row = 1;
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
    void zoomAndVariables();
    void guessing_data();
    void guessing();
    void clickers_data();
    void clickers();
    void program();
    void onScreen_data();
    void onScreen();
    void placed();
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
    // The variables as they stand: the exchange went through temp.
    QCOMPARE(w->variables(), (QVariantMap{{"i", 1}, {"j", 1}, {"temp", 512}, {"m", 4}}));
    // Python counts from 0 and exchanges without temp, and so do the window's numbers.
    w->setProperty("language", QStringLiteral("Python"));
    QCOMPARE(w->code().first(), QStringLiteral("for j in range(m - 1):"));
    QCOMPARE(w->variables(), (QVariantMap{{"i", 0}, {"j", 0}, {"m", 4}}));
    QVERIFY(w->sentence().startsWith(QStringLiteral("Меняем местами a[0] и a[1]")));
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toInt(), 0);
    w->setProperty("language", QStringLiteral("Паскаль"));
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toInt(), 1);
    clickNamed(w, "passButton"); // 512 has gone to the end
    QCOMPARE(w->cells(), (QList<int>{127, 9, 5, 512}));
    QCOMPARE(w->comparisons(), 3);
    press(w, Qt::Key_End);
    QCOMPARE(w->cells(), (QList<int>{5, 9, 127, 512}));
    QCOMPARE(w->comparisons(), 9);
    QCOMPARE(w->swaps(), 6);
    QCOMPARE(w->assignments(), 0);
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("forwardButton"))->isEnabled(), false);
    clickNamed(w, "firstButton");
    QCOMPARE(w->step(), 0);
    QCOMPARE(w->codeLine(), -1);
    QCOMPARE(w->kind(), QString());
    QCOMPARE(moved.size(), 5);
    // The lab printed what the last step shows.
    QCOMPARE(t.printed().last(), LabFixture::numbers({5, 9, 127, 512}));
    // Each counter says what it counts.
    QVERIFY(w->findChild<QLabel *>(QStringLiteral("assignments"))->toolTip().contains(QStringLiteral("кроме обменов")));

    // A later operation replaces the run; unticked, nothing is traced.
    t.click("Command9");
    QCOMPARE(w->windowTitle(), QStringLiteral("Пошагово — Поиск max"));
    QCOMPARE(w->step(), 0);
    clickWidget(t.form().stepsBox);
    t.click("Command7");
    QCOMPARE(w->operation(), QStringLiteral("Поиск max"));
}

void TestStepWindow::zoomAndVariables()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillLinear({1, 2, 3});
    clickWidget(t.form().stepsBox);
    t.input().reply(QStringLiteral("2"));
    t.click("Command4");
    StepWindow *w = t.form().stepWindow();
    // The position's test is a step of its own, then the shift that reads its neighbour.
    QVERIFY(w->setProperty("step", 2));
    QCOMPARE(w->kind(), QStringLiteral("other"));
    QVERIFY(w->code().at(w->codeLine()).contains(QStringLiteral("если i >= k то")));
    QCOMPARE(w->variables(), (QVariantMap{{"i", 2}, {"k", 2}, {"m", 3}}));
    QVERIFY(w->setProperty("step", 3));
    QCOMPARE(w->kind(), QStringLiteral("assign"));
    QCOMPARE(w->touched(), (QList<int>{1, 2}));
    QCOMPARE(w->assignments(), 1);
    // Python's sentence writes the assignment as its code does.
    w->setProperty("language", QStringLiteral("Python"));
    QCOMPARE(w->sentence(), QStringLiteral("a[1] = a[2], теперь a[1] = 3"));
    w->setProperty("language", QStringLiteral("Паскаль"));
    QCOMPARE(w->sentence(), QStringLiteral("a[2] := a[3], теперь a[2] = 3"));
    QVERIFY(w->setProperty("step", 99));
    QCOMPARE(w->step(), 4);
    QCOMPARE(w->kind(), QStringLiteral("resize"));
    QCOMPARE(w->touched(), QList<int>());
    // The array after the step: m values; the grid drawn keeps the old place.
    QCOMPARE(w->cells(), (QList<int>{1, 3}));
    QCOMPARE(w->columns(), 2);
    QCOMPARE(w->grid(), (QList<int>{1, 3, 3}));
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    const QModelIndex outside = grid->model()->index(0, 2);
    QCOMPARE(outside.data(Qt::BackgroundRole).value<QBrush>().color(), StepModel::OutsideBack);
    // The whole window scales: the cells, the buttons, the code.
    auto *button = w->findChild<QPushButton *>(QStringLiteral("forwardButton"));
    const qreal cells = grid->font().pointSizeF();
    const qreal text = button->font().pointSizeF();
    QVERIFY(cells >= StepWindow::SmallestCellPoints);
    for (int k = 0; k < 10; ++k)
        press(&t.form(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(t.form().zoom(), LabForm::MaximumZoom);
    QCOMPARE(t.form().surface()->zoom(), 3.0);
    QCOMPARE(button->font().pointSizeF(), text * 3);
    QVERIFY(grid->font().pointSizeF() >= StepWindow::SmallestCellPoints * 3);
    press(w, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(t.form().zoom(), 275);
    press(&t.form(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(t.form().surface()->zoom(), 1.0);
    QCOMPARE(button->font().pointSizeF(), text);
}

namespace {

// The cells marked on the screen now (the grey of a missed guess with them
// where asked).
QList<LabObserver::Cell> markedCells(StepWindow *w, bool misses = true)
{
    QList<LabObserver::Cell> marked;
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            const QVariant back = grid->model()->index(r, c).data(Qt::BackgroundRole);
            const QColor colour = back.value<QBrush>().color();
            if (back.isValid() && colour != StepModel::OutsideBack && (misses || colour != StepModel::MissBack))
                marked << LabObserver::Cell{qint16(r + 1), qint16(c + 1)};
        }
    }
    return marked;
}

// An answer played at once, as "В конец" plays it.
void answered(StepWindow *w)
{
    auto *last = w->findChild<QPushButton *>(QStringLiteral("lastButton"));
    if (!w->asking() && last->isEnabled())
        clickWidget(last);
}

} // namespace

void TestStepWindow::guessing_data()
{
    QTest::addColumn<int>("lab");
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("keys"); // the right cells chosen by keyboard
    QTest::newRow("сорт1") << int(LabFixture::Lab::Pelmar) << QVector<int>{3, 1, 2} << "" << QByteArray("Command4")
                           << "Проход 1, просмотр с a[1]. Какие элементы поменяются местами следующими?" << false;
    QTest::newRow("Удаление элемента") << int(LabFixture::Lab::Doloran) << QVector<int>{10, 20, 30, 40} << "2"
                                       << QByteArray("Command4") << "В какую ячейку запишется следующее значение?"
                                       << false;
    QTest::newRow("Поиск max") << int(LabFixture::Lab::Pelmar) << QVector<int>{4, 8, 2, 9} << ""
                               << QByteArray("Command9") << "Просмотр с a[1]. Какой элемент станет новым максимумом?"
                               << true;
}

// Guessing stands at the last change and shows nothing of the next one:
// no cell marked, the last change's sentence and line, and a question; the
// answer then plays up to and including the change.
void TestStepWindow::guessing()
{
    QFETCH(int, lab);
    QFETCH(QVector<int>, values);
    QFETCH(QString, reply);
    QFETCH(QByteArray, button);
    QFETCH(QString, question);
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
    const StepCursor &cursor = *w->cursor();
    press(w, Qt::Key_End); // ticking starts from the first step, wherever the window stood
    QSignalSpy guessed(w, &StepWindow::guessed);
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    auto *prompt = w->findChild<QLabel *>(QStringLiteral("prompt"));
    w->findChild<QSlider *>(QStringLiteral("speed"))->setValue(5); // a beat of 200 ms, long enough to see
    clickNamed(w, "guessBox");
    QVERIFY(w->asking());
    QCOMPARE(w->step(), 0);
    QCOMPARE(w->question(), question);
    QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("forwardButton"))->isEnabled());
    bool missed = false;
    int asked = 0;
    while (w->guessing()) {
        QVERIFY(w->asking());
        ++asked;
        // Standing at the last change, nothing of the next on the screen.
        QCOMPARE(w->step(), cursor.lastChange(w->step()));
        QVERIFY(markedCells(w).isEmpty());
        QCOMPARE(w->sentence(), cursor.sentence(w->step()));
        const int next = cursor.nextChange(w->step());
        const LabObserver::Cell right = cursor.touched(next).first().cell;
        QVERIFY(!grid->currentIndex().isValid()); // no focus frame pointing anywhere
        if (!missed) {
            const LabObserver::Cell wrong{1, qint16(right.column == 1 ? values.size() : 1)};
            clickCell(w, wrong);
            QCOMPARE(w->step(), cursor.lastChange(w->step()));
            QCOMPARE(markedCells(w).size(), 1); // the miss, in grey
            missed = true;
        }
        if (keys)
            chooseByKeys(w, right);
        else
            clickCell(w, right);
        QVERIFY(!w->asking());
        if (asked == 1) {
            // Played at its speed, the change stays marked a moment, the question gone.
            QVERIFY(prompt->text().startsWith(QStringLiteral("Угадано ")));
            QTRY_VERIFY(w->step() == next && !w->asking());
            const QList<LabObserver::Cell> marks = markedCells(w, false);
            QVERIFY(std::any_of(marks.cbegin(), marks.cend(), [&](const LabObserver::Cell &c) {
                return c.row == right.row && c.column == right.column;
            }));
        }
        answered(w);
        if (w->asking())
            QCOMPARE(w->step(), next); // the change shown, then the next question
        // After the last change the rest of the run plays to its end.
        while (w->guessing() && !w->asking())
            answered(w);
    }
    QTRY_COMPARE(w->step(), w->steps());
    QCOMPARE(asked, cursor.changes());
    QCOMPARE(w->guesses(), cursor.changes());
    QCOMPARE(w->guessedRight(), cursor.changes() - 1);
    QVERIFY(
        prompt->text().startsWith(QStringLiteral("Угадано %1 из %2").arg(cursor.changes() - 1).arg(cursor.changes())));
    QCOMPARE(guessed.size(), 1);

    // Handed in like a trainer's result, out of the run's changes, and it agrees with itself.
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
    QCOMPARE(record->lab.changes, cursor.changes());
    QCOMPARE(record->lab.guessedRight, cursor.changes() - 1);
    QCOMPARE(record->percent, 100.0 * (cursor.changes() - 1) / cursor.changes());
    QCOMPARE(RecordCheck::disagreement(*record), QString());
    // A run guessed only in part is no record: ticked, then unticked.
    clickNamed(w, "guessBox");
    clickNamed(w, "guessBox");
    QVERIFY(!w->guessing());
    QTest::qWait(50);
    QCOMPARE(QDir(results.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size(), 1);
    QVERIFY(QFile::remove(settings.fileName()));
}

void TestStepWindow::clickers_data()
{
    QTest::addColumn<int>("lab");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("n");
    QTest::newRow("сорт1 of 6") << int(LabFixture::Lab::Pelmar) << QByteArray("Command4") << 6 << 1;
    QTest::newRow("a column deleted from 5 x 4") << int(LabFixture::Lab::Doloran) << QByteArray("Command5") << 5 << 4;
}

// A pupil who always clicks a cell the screen marks at the ask does no
// better than one who clicks at random: nothing on the screen gives the
// answer away. Measured through the window over many runs.
void TestStepWindow::clickers()
{
    QFETCH(int, lab);
    QFETCH(QByteArray, button);
    QFETCH(int, m);
    QFETCH(int, n);
    double rate[2] = {0, 0};
    for (const bool marked : {false, true}) {
        std::mt19937 engine(5);
        int right = 0;
        int asked = 0;
        for (int run = 0; run < 25; ++run) {
            LabFixture t{LabFixture::Lab(lab)};
            if (n == 1) {
                QVector<int> values;
                for (int k = 0; k < m; ++k)
                    values << 100 + int(engine() % 900);
                t.fillLinear(values);
            } else {
                t.fillTable(m, n);
                t.input().reply(QString::number(1 + engine() % quint32(m)));
            }
            clickWidget(t.form().stepsBox);
            t.click(button.constData());
            StepWindow *w = t.form().stepWindow();
            if (w->changes() == 0)
                continue; // the last column: nothing moves, nothing is asked
            w->findChild<QSlider *>(QStringLiteral("speed"))->setValue(StepWindow::MaximumSpeed);
            clickNamed(w, "guessBox");
            while (w->guessing()) {
                while (w->asking()) {
                    const QList<LabObserver::Cell> onScreen = markedCells(w, false);
                    const LabObserver::Cell cell = marked && !onScreen.isEmpty()
                        ? onScreen[int(engine() % quint32(onScreen.size()))]
                        : LabObserver::Cell{qint16(1 + engine() % quint32(n)), qint16(1 + engine() % quint32(m))};
                    clickCell(w, cell);
                }
                answered(w);
            }
            right += w->guessedRight();
            asked += w->guesses();
        }
        rate[marked] = 100.0 * right / std::max(asked, 1);
        qInfo("%s clicker: %d of %d, %.1f %%", marked ? "a marked-cell" : "a random", right, asked, rate[marked]);
    }
    QVERIFY(rate[1] <= rate[0] + 5);
}

void TestStepWindow::program()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillLinear({3, 1, 2});
    clickWidget(t.form().stepsBox);
    t.click("Command4");
    StepWindow *w = t.form().stepWindow();
    w->setProperty("language", QStringLiteral("Python"));
    clickNamed(w, "programButton");
    auto *dialog = w->findChild<QDialog *>(QStringLiteral("ProgramDialog"));
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->findChild<QPlainTextEdit *>(QStringLiteral("programText"))->toPlainText(), w->program());
    QVERIFY(w->program().contains(QStringLiteral("a[0:3] = [3, 1, 2]")));
    QVERIFY(w->program().contains(QStringLiteral("a[i], a[i + 1] = a[i + 1], a[i]")));
    clickNamed(dialog, "copyButton");
    QCOMPARE(QGuiApplication::clipboard()->text(), w->program());
    dialog->reject();
}

void TestStepWindow::onScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("zoom");
    for (const QSize screen : {QSize(1024, 768), QSize(800, 600)})
        for (const int zoom : {100, 300})
            QTest::addRow("%dx%d at %d %%", screen.width(), screen.height(), zoom) << screen << zoom;
}

// The windows on a projector's screen, each size in a process of its own
// (the platform's screen is set as the program starts): see placed().
void TestStepWindow::onScreen()
{
    QFETCH(QSize, screen);
    QFETCH(int, zoom);
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QJsonDocument::fromVariant(QVariantMap{{"screens",
                                                         QVariantList{QVariantMap{{"name", "projector"},
                                                                                  {"x", 0},
                                                                                  {"y", 0},
                                                                                  {"width", screen.width()},
                                                                                  {"height", screen.height()},
                                                                                  {"logicalDpi", 96},
                                                                                  {"logicalBaseDpi", 96},
                                                                                  {"dpr", 1}}}}})
                     .toJson());
    config.close();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config.fileName());
    env.insert(QStringLiteral("STEPWINDOW_ZOOM"), QString::number(zoom));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("placed")});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitCode() == 0, child.readAll().constData());
}

// Run by onScreen() on a screen of its size: the step window opens inside
// the screen at any zoom, the current step's cells in sight, the cells as
// large as their room allows but never below the least; the lab's window
// takes the screen for a zoomed print that no longer fits, and scrolls it.
void TestStepWindow::placed()
{
    const int zoom = qEnvironmentVariableIntValue("STEPWINDOW_ZOOM");
    if (zoom == 0)
        QSKIP("run by onScreen");
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillTable(30, 30);
    t.form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.form()));
    clickWidget(t.form().stepsBox);
    t.click("Command8");
    StepWindow *w = t.form().stepWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    for (int k = 100; k < zoom; k += LabForm::ZoomStep)
        press(&t.form(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(w->zoom(), zoom);
    QVERIFY2(room.contains(w->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(w->frameGeometry().x())
                            .arg(w->frameGeometry().y())
                            .arg(w->frameGeometry().width())
                            .arg(w->frameGeometry().height())));
    auto *grid = w->findChild<QTableView *>(QStringLiteral("cells"));
    QVERIFY(grid->font().pointSizeF() >= StepWindow::SmallestCellPoints * zoom / 100 - 0.01);
    // Far into the run, the cells of the step in sight.
    w->setStep(w->steps() / 2 + 7);
    const QVector<StepCursor::Touch> touched = w->cursor()->touched(w->step());
    QVERIFY(!touched.isEmpty());
    for (const StepCursor::Touch &c : touched) {
        // A pair that wraps from a row's end to the next row's start may not
        // fit at once: then the first of them.
        if (c.cell.row != touched.first().cell.row)
            continue;
        const QRect cell = grid->visualRect(grid->model()->index(c.cell.row - 1, c.cell.column - 1));
        QVERIFY2(grid->viewport()->rect().contains(cell.center()),
                 qPrintable(QStringLiteral("column %1 at %2 of %3")
                                .arg(c.cell.column)
                                .arg(cell.center().x())
                                .arg(grid->viewport()->width())));
    }
    // Three-digit values: each column as wide as its values, not as -32768.
    const QFontMetrics metrics(grid->font());
    QVERIFY(grid->columnWidth(0) < metrics.horizontalAdvance(QStringLiteral("-32768")));
    QVERIFY(grid->columnWidth(0) >= metrics.horizontalAdvance(QStringLiteral("999")));
    // The grey of the cells beyond the sizes reads on a weak projector.
    const auto luminance = [](const QColor &c) {
        const auto channel = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    QVERIFY((luminance(StepModel::OutsideBack) + 0.05) / (luminance(StepModel::OutsideText) + 0.05) >= 4.5);
    // The lab's window: at 100 % as designed, zoomed it takes the screen and scrolls.
    auto *down = t.form().findChild<QScrollBar *>(QStringLiteral("printDown"));
    if (zoom == 100) {
        QVERIFY(!down->isVisible());
    } else {
        QTRY_COMPARE(t.form().frameGeometry().size(), room.size());
        QVERIFY(down->isVisible() && down->maximum() > 0);
        down->setValue(down->maximum());
        QCOMPARE(t.form().surface()->offset().y(), down->maximum());
    }
}

QTEST_MAIN(TestStepWindow)
#include "tst_stepwindow.moc"
