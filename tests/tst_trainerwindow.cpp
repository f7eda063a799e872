#include "core/convert.h"
#include "forms/appsetup.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/label.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "trainertestsupport.h"

#include <QSignalSpy>
#include <QTest>

// The trainer's window at start, the level and mode choice, the clock with
// its countdown, help and exit.
class TestTrainerWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startState();
    void shippedTopicLoads();
    void topicFileProblems_data();
    void topicFileProblems();
    void modeChoice_data();
    void modeChoice();
    void levelRequestKeepsSize14();
    void optionsSetLimitAndRestartTiming_data();
    void optionsSetLimitAndRestartTiming();
    void clockLine();
    void countdown_data();
    void countdown();
    void help();
    void exit();
};

void TestTrainerWindow::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

void TestTrainerWindow::startState()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    QCOMPARE(f.windowTitle(), QStringLiteral("Tesmora"));
    QCOMPARE(f.size(), QSize(783, 605));
    QCOMPARE(f.ScaleWidth(), 11745);
    QCOMPARE(f.ScaleHeight(), 9075);
    QVERIFY(!f.windowIcon().isNull());
    QVERIFY(!f.Check3->Visible());
    QCOMPARE(t.modeButtons(), QStringLiteral("0000"));
    QCOMPARE(t.modeBoxes(), QStringLiteral("000"));
    QVERIFY(f.Check1->isEnabled() && f.Check2->isEnabled() && f.Check4->isEnabled());
    QVERIFY(f.Command4->isEnabled() && f.Command5->isEnabled());
    QVERIFY(!f.List1->Visible() && !f.List2->Visible());
    QVERIFY(!f.List2->isEnabled());
    for (OptionButton *o : {f.Option1, f.Option2, f.Option3})
        QVERIFY(o->isEnabled() && !o->Value());
    QCOMPARE(f.trainer().timeLimit(), QStringLiteral("1:00:00"));
    QCOMPARE(f.trainer().questions()[0], QStringLiteral("q0"));
    QCOMPARE(f.trainer().answers()[17], QStringLiteral("a17"));
    QCOMPARE(f.trainer().answers()[18], QString());
    QCOMPARE(f.List1->ForeColor(), 5444444u);
    QCOMPARE(f.List2->ForeColor(), 6444u);
    QCOMPARE(f.List1->FontSize(), 11.0);
    QCOMPARE(f.ForeColor(), 0x00FFFF80u);
    QCOMPARE(f.FontSize(), 11.25);
    QVERIFY(f.surface()->lines().isEmpty());
    // The clock box stands in front of every other control.
    QCOMPARE(f.children().last(), static_cast<QObject *>(f.Text1));
    QCOMPARE(f.Command1->text(), QStringLiteral("Обучение"));
    QCOMPARE(f.Command6->font().bold(), true);
    QCOMPARE(f.Label2->text(), QStringLiteral("Ответы"));
    QCOMPARE(f.Option3->text(), QStringLiteral("5 мин"));
    QCOMPARE(f.List2->geometry(), QRect(8, 304, 769, 178));
}

void TestTrainerWindow::shippedTopicLoads()
{
    // The topic that ships with the program, in Windows-1251.
    TrainerForm form(QStringLiteral(TESMORA_DATA_DIR));
    form.Timer1->setEnabled(false);
    form.load();
    QVERIFY(form.loadMessages().isEmpty());
    int entries = 0;
    for (const QString &q : form.trainer().questions())
        entries += q.isEmpty() ? 0 : 1;
    QVERIFY(entries >= 17);
    // Every question has its answer and no answer is split by a stray comma.
    int answerEntries = 0;
    for (const QString &a : form.trainer().answers())
        answerEntries += a.isEmpty() ? 0 : 1;
    QCOMPARE(answerEntries, entries);
    QVERIFY(form.trainer().questions()[0].contains(QStringLiteral("алгоритм")));
    bool commaKept = false;
    for (const QString &q : form.trainer().questions())
        commaKept = commaKept || q.contains(QLatin1Char(','));
    QVERIFY(commaKept);
}

void TestTrainerWindow::topicFileProblems_data()
{
    QTest::addColumn<bool>("questionsThere");
    QTest::addColumn<QByteArray>("questions");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("loaded");
    QTest::newRow("missing question file") << false << QByteArray() << "Не найден файл вопросов" << 0;
    QTest::newRow("empty question file") << true << QByteArray() << QString() << 0;
    QTest::newRow("more than 31 fields") << true << TrainerFixture::numberedLines("q", 40)
                                         << "В файле вопросов больше 31 записи" << 31;
    QTest::newRow("exactly 31 fields") << true << TrainerFixture::numberedLines("q", 31) << QString() << 31;
}

void TestTrainerWindow::topicFileProblems()
{
    QFETCH(bool, questionsThere);
    QFETCH(QByteArray, questions);
    QFETCH(QString, message);
    QFETCH(int, loaded);
    TrainerFixture t(questionsThere ? std::optional<QByteArray>(questions) : std::nullopt,
                     TrainerFixture::numberedLines("a", 18));
    int count = 0;
    for (const QString &q : t.form().trainer().questions())
        count += q.isEmpty() ? 0 : 1;
    QCOMPARE(count, loaded);
    if (loaded)
        QCOMPARE(t.form().trainer().questions()[30], QStringLiteral("q30"));
    QCOMPARE(t.form().trainer().answers()[0], QStringLiteral("a0"));
    if (message.isEmpty()) {
        QVERIFY(t.printed().isEmpty());
    } else {
        QCOMPARE(t.printed().size(), 1);
        QVERIFY2(t.printed()[0].startsWith(message), qPrintable(t.printed()[0]));
        QVERIFY(t.printed()[0].contains(QStringLiteral("test.txt")));
    }
    // The window always comes up with its start state.
    QVERIFY(t.form().isVisible());
    QCOMPARE(t.modeButtons(), QStringLiteral("0000"));
}

void TestTrainerWindow::modeChoice_data()
{
    // Clicks: o1..o3 level options, c1 c2 c4 mode boxes.
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("buttons"); // Command1, Command2, Command6, Command3
    QTest::addColumn<QString>("boxes");   // Check1, Check2, Check4
    QTest::addColumn<bool>("askedForLevel");
    QTest::newRow("load") << QStringList{} << "0000"
                          << "000" << false;
    QTest::newRow("training armed") << QStringList{"o1", "c1"} << "1000"
                                    << "100" << false;
    QTest::newRow("test 1 armed") << QStringList{"o2", "c2"} << "0100"
                                  << "010" << false;
    QTest::newRow("test 2 armed") << QStringList{"o3", "c4"} << "0010"
                                  << "001" << false;
    QTest::newRow("tick without level") << QStringList{"c1"} << "0000"
                                        << "100" << true;
    QTest::newRow("untick without level") << QStringList{"c2", "c2"} << "0000"
                                          << "000" << true;
    QTest::newRow("level after tick arms nothing") << QStringList{"c1", "o1"} << "0000"
                                                   << "100" << true;
    QTest::newRow("untick then tick arms") << QStringList{"c1", "o1", "c1", "c1"} << "1000"
                                           << "100" << true;
    QTest::newRow("untick the ticked box") << QStringList{"o1", "c4", "c4"} << "0000"
                                           << "000" << false;
    QTest::newRow("tick while another is ticked") << QStringList{"o1", "c1", "c2"} << "0000"
                                                  << "000" << false;
    QTest::newRow("second tick arms the new mode") << QStringList{"o1", "c1", "c2", "c2"} << "0100"
                                                   << "010" << false;
    QTest::newRow("test 2 over training") << QStringList{"o2", "c1", "c4"} << "0000"
                                          << "000" << false;
    QTest::newRow("training over test 2") << QStringList{"o2", "c4", "c1"} << "0000"
                                          << "000" << false;
}

void TestTrainerWindow::modeChoice()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, buttons);
    QFETCH(QString, boxes);
    QFETCH(bool, askedForLevel);
    TrainerFixture t;
    TrainerForm &f = t.form();
    const QHash<QString, QAbstractButton *> targets = {{"o1", f.Option1}, {"o2", f.Option2}, {"o3", f.Option3},
                                                       {"c1", f.Check1},  {"c2", f.Check2},  {"c4", f.Check4}};
    bool asked = false;
    for (const QString &click : clicks) {
        t.click(targets.value(click));
        asked = asked || t.printed().contains(QStringLiteral("Выберите уровень!"));
    }
    QCOMPARE(t.modeButtons(), buttons);
    QCOMPARE(t.modeBoxes(), boxes);
    QCOMPARE(asked, askedForLevel);
    QVERIFY(f.Text1->Visible());
    QVERIFY(!f.Check3->Visible());
}

void TestTrainerWindow::levelRequestKeepsSize14()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    f.Print(QStringLiteral("before"));
    t.click(f.Check1);
    QCOMPARE(t.printed(), QStringList{"Выберите уровень!"});
    const QVariantMap item = f.surface()->items().at(0).toMap();
    QCOMPARE(item.value("color").toUInt(), 255u);
    QCOMPARE(item.value("size").toDouble(), 14.0);
    QCOMPARE(item.value("bold").toBool(), true);
    QCOMPARE(f.ForeColor(), 0x00FFFF80u);
    QCOMPARE(f.FontBold(), false);
    QCOMPARE(f.FontSize(), 14.0);
}

void TestTrainerWindow::optionsSetLimitAndRestartTiming_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("limit");
    QTest::newRow("1 мин") << 1 << "0:00:60";
    QTest::newRow("2 мин") << 2 << "0:02:00";
    QTest::newRow("5 мин") << 3 << "0:05:00";
}

void TestTrainerWindow::optionsSetLimitAndRestartTiming()
{
    QFETCH(int, option);
    QFETCH(QString, limit);
    TrainerFixture t;
    TrainerForm &f = t.form();
    OptionButton *options[] = {f.Option1, f.Option2, f.Option3};
    const float loadTime = f.trainer().startTime();
    t.clock().advance(qint64(90) * 1000);
    t.click(options[option - 1]);
    QCOMPARE(f.trainer().timeLimit(), limit);
    QVERIFY(f.trainer().startTime() > loadTime);
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(options[k - 1]->isEnabled(), k == option);
    // A mode box also restarts the timing.
    const float optionTime = f.trainer().startTime();
    t.clock().advance(5000);
    t.click(f.Check1);
    QVERIFY(f.trainer().startTime() > optionTime);
}

void TestTrainerWindow::clockLine()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    t.clock().setNow(QDateTime(QDate(2026, 12, 7), QTime(9, 41, 5)));
    t.click(f.Option2);
    t.clock().advance(137 * 1000 + 400);
    f.Timer1_Timer();
    QCOMPARE(f.Text1->Text(), QStringLiteral("Дата 07.12.2026    Время 9:43:22   Время работы 0:02:17"));
    // The clock line is kept up to date while the box is hidden too.
    f.Text1->hide();
    t.clock().advance(1000);
    f.Timer1_Timer();
    QVERIFY(f.Text1->Text().endsWith(QStringLiteral("0:02:18")));
}

void TestTrainerWindow::countdown_data()
{
    QTest::addColumn<int>("option"); // 0: no level chosen, the hour from Load
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("limitSeconds");
    QTest::newRow("1 мин") << 1 << QTime(10, 15, 0, 250) << 60;
    QTest::newRow("2 мин") << 2 << QTime(10, 15, 0, 250) << 120;
    QTest::newRow("5 мин") << 3 << QTime(14, 0, 59, 999) << 300;
    QTest::newRow("an hour from load") << 0 << QTime(8, 0, 0) << 3600;
    QTest::newRow("1 мин across midnight") << 1 << QTime(23, 59, 30) << 60;
    QTest::newRow("5 мин across midnight") << 3 << QTime(23, 57, 0, 500) << 300;
}

void TestTrainerWindow::countdown()
{
    QFETCH(int, option);
    QFETCH(QTime, start);
    QFETCH(int, limitSeconds);
    TrainerFixture t;
    TrainerForm &f = t.form();
    t.clock().setNow(QDateTime(QDate(2026, 12, 7), start));
    OptionButton *options[] = {f.Option1, f.Option2, f.Option3};
    if (option)
        t.click(options[option - 1]);
    else
        t.click(f.Check4); // restarts the timing under the limit from Load
    t.click(f.Check1);
    t.click(f.Check1);
    const QString armed = t.modeButtons();
    f.Cls();
    f.Print(QStringLiteral("work in progress"));

    // Just short of the limit nothing happens.
    t.clock().advance(qint64(limitSeconds) * 1000 - 20);
    f.Timer1_Timer();
    QCOMPARE(t.printed(), QStringList{"work in progress"});
    QCOMPARE(t.modeButtons(), armed);

    // Just past it the time is up.
    t.clock().advance(40);
    f.Timer1_Timer();
    QCOMPARE(t.printed(), QStringList{"Ваше время истекло. Нажмите -Результат-"});
    QCOMPARE(t.modeButtons(), QStringLiteral("0001"));
    QVERIFY(!f.Check1->isEnabled() && !f.Check2->isEnabled() && !f.Check4->isEnabled());
    QVERIFY(!f.List1->Visible() && !f.List2->Visible());
    QCOMPARE(f.trainer().timeLimit(), QStringLiteral("1:00:00"));
    QVERIFY(f.Text1->Text().endsWith(Convert::spanText(limitSeconds)));

    // The clock keeps counting from the same start; no new time-out before the hour.
    if (limitSeconds < 3600) {
        f.Cls();
        t.clock().advance(qint64(3600 - limitSeconds) * 1000 - 1000);
        f.Timer1_Timer();
        QVERIFY(t.printed().isEmpty());
        t.clock().advance(1000);
        f.Timer1_Timer();
        QCOMPARE(t.printed(), QStringList{"Ваше время истекло. Нажмите -Результат-"});
    }
}

void TestTrainerWindow::help()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    const QStringList rest = {"работай и работай!",      "Для ТЕСТ1 при совпадении", "введите 1-да, либо 0-нет",
                              "Для ТЕСТ2 кликни мышкой", "сначала вопрос,",          "затем ответ."};
    auto rows = [&f] {
        QStringList texts;
        for (int k = 0; k < f.List2->ListCount(); ++k)
            texts << f.List2->List(k);
        return texts;
    };
    t.click(f.Command5);
    QCOMPARE(rows(), QStringList{"Нажимай кнопки и работай, "} + rest);
    QCOMPARE(f.List1->ListCount(), 0);
    QVERIFY(f.List1->Visible() && f.List1->isEnabled());
    QVERIFY(f.List2->Visible() && f.List2->isEnabled());
    QCOMPARE(f.List2->ForeColor(), 25555u);
    QCOMPARE(f.List2->FontSize(), 12.0);
    QCOMPARE(f.List2->FontBold(), false);
    QCOMPARE(f.trainer().questionPicked(), qint16(-1));
    QCOMPARE(t.modeButtons(), QStringLiteral("0000"));

    t.click(f.Command5);
    QCOMPARE(rows(), QStringList{"Сказано же, "} + rest);
    QCOMPARE(f.List2->ForeColor(), 25555u);
    QCOMPARE(f.List2->FontBold(), false);
}

void TestTrainerWindow::exit()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    t.click(f.Command5);
    QSignalSpy ended(&f, &Form::ended);
    t.click(f.Command4);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(f.List1->ListCount(), 0);
    QCOMPARE(f.List2->ListCount(), 0);
    QVERIFY(!f.List1->Visible() && !f.List2->Visible());
    QVERIFY(!f.isVisible());
}

QTEST_MAIN(TestTrainerWindow)
#include "tst_trainerwindow.moc"
