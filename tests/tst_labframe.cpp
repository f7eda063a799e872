#include "forms/appsetup.h"
#include "forms/commandbutton.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "labtestsupport.h"

#include <QSignalSpy>
#include <QTest>

using Lab = LabFixture::Lab;
Q_DECLARE_METATYPE(LabFixture::Lab)

class TestLabFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startState_data();
    void startState();
    void layout_data();
    void layout();
    void sizePrompt_data();
    void sizePrompt();
    void fillLinear_data();
    void fillLinear();
    void fillTable_data();
    void fillTable();
    void buttonStates_data();
    void buttonStates();
    void minimumDisplay_data();
    void minimumDisplay();
    void tableMinimumDisplay();
    void clockBox_data();
    void clockBox();
    void clockLine();
};

void TestLabFrame::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

void TestLabFrame::startState_data()
{
    QTest::addColumn<Lab>("lab");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("doloran") << Lab::Doloran << "Form1" << QSize(575, 529) << "Command3 Command6";
    QTest::newRow("pelmar") << Lab::Pelmar << "Pelmar" << QSize(592, 531) << "Command3 Command5";
}

void TestLabFrame::startState()
{
    QFETCH(Lab, lab);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(QString, enabled);
    LabFixture t(lab);
    QCOMPARE(t.form().windowTitle(), caption);
    QCOMPARE(t.form().windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    QCOMPARE(t.form().size(), size);
    QCOMPARE(t.enabledButtons(), enabled);
    QVERIFY(!t.form().Text1->Visible());
    QVERIFY(t.printed().isEmpty());
    QCOMPARE(int(t.form().arrays().m()), 0);
    QCOMPARE(t.form().button("Command3")->text(), QStringLiteral("Выход"));
    QCOMPARE(t.form().Text1->font().bold(), true);
}

void TestLabFrame::layout_data()
{
    QTest::addColumn<Lab>("lab");
    QTest::addColumn<int>("widthPx"); // 0: the start size
    QTest::addColumn<int>("heightPx");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::newRow("doloran Массив1") << Lab::Doloran << 0 << 0 << "Command1" << 5975 << 5835;
    QTest::newRow("doloran Выход") << Lab::Doloran << 0 << 0 << "Command3" << 7325 << 7235;
    QTest::newRow("doloran Ввод m,n") << Lab::Doloran << 0 << 0 << "Command6" << 7325 << 4335;
    QTest::newRow("doloran clock box stays") << Lab::Doloran << 0 << 0 << "Text1" << 6360 << 1200;
    QTest::newRow("pelmar Ввод m,n") << Lab::Pelmar << 0 << 0 << "Command5" << 7580 << 4465;
    QTest::newRow("pelmar clock box") << Lab::Pelmar << 0 << 0 << "Text1" << 6280 << 1365;
    QTest::newRow("pelmar сорт2") << Lab::Pelmar << 0 << 0 << "Command8" << 6230 << 6665;
    QTest::newRow("doloran wide") << Lab::Doloran << 800 << 700 << "Command9" << 12000 - 1300 << 10500 - 2700;
    QTest::newRow("doloran clock box after resize") << Lab::Doloran << 800 << 700 << "Text1" << 6360 << 1200;
    QTest::newRow("doloran narrow") << Lab::Doloran << 134 << 100 << "Command5" << 2010 - 2650 << 1500 - 1300;
    QTest::newRow("pelmar narrow") << Lab::Pelmar << 134 << 100 << "Text1" << 2010 - 2600 << 1500 - 6600;
    QTest::newRow("pelmar narrow Выход") << Lab::Pelmar << 134 << 100 << "Command3" << 2010 - 1300 << 1500 - 700;
}

void TestLabFrame::layout()
{
    QFETCH(Lab, lab);
    QFETCH(int, widthPx);
    QFETCH(int, heightPx);
    QFETCH(QString, control);
    QFETCH(int, left);
    QFETCH(int, top);
    LabFixture t(lab);
    if (widthPx)
        t.form().resize(widthPx, heightPx);
    if (control == QLatin1String("Text1")) {
        QCOMPARE(t.form().Text1->Left(), left);
        QCOMPARE(t.form().Text1->Top(), top);
    } else {
        QCOMPARE(t.form().button(control)->Left(), left);
        QCOMPARE(t.form().button(control)->Top(), top);
    }
}

void TestLabFrame::sizePrompt_data()
{
    QTest::addColumn<Lab>("lab");
    QTest::addColumn<QStringList>("replies"); // "<cancel>" cancels
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<bool>("armed");
    QTest::newRow("plain") << Lab::Doloran << QStringList{"5", "3"} << 5 << 3 << 2 << true;
    QTest::newRow("31 and words asked again")
        << Lab::Pelmar << QStringList{"31", "abc", "", "7", "40", "3"} << 7 << 3 << 6 << true;
    QTest::newRow("out of 16-bit range asked again")
        << Lab::Doloran << QStringList{"99999", "0x10", "30", "30"} << 30 << 30 << 4 << true;
    QTest::newRow("zero and negative taken") << Lab::Pelmar << QStringList{"0", "-4"} << 0 << -4 << 2 << true;
    QTest::newRow("fraction rounds") << Lab::Doloran << QStringList{"2.5", "3,5"} << 2 << 4 << 2 << true;
    QTest::newRow("cancel first") << Lab::Doloran << QStringList{"<cancel>"} << 0 << 0 << 1 << false;
    QTest::newRow("cancel second keeps both") << Lab::Pelmar << QStringList{"9", "<cancel>"} << 0 << 0 << 2 << false;
}

void TestLabFrame::sizePrompt()
{
    QFETCH(Lab, lab);
    QFETCH(QStringList, replies);
    QFETCH(int, m);
    QFETCH(int, n);
    QFETCH(int, prompts);
    QFETCH(bool, armed);
    LabFixture t(lab);
    for (const QString &r : replies) {
        if (r == QLatin1String("<cancel>"))
            t.input().cancel();
        else
            t.input().reply(r);
    }
    const PrintState state = t.form().printState();
    t.click(t.form().design().sizeInput.toLatin1().constData());
    if (!armed) // cancelled: the print state as it was
        QVERIFY(t.form().printState() == state);
    QCOMPARE(int(t.form().arrays().m()), m);
    QCOMPARE(int(t.form().arrays().n()), n);
    QCOMPARE(t.input().prompts().size(), prompts);
    QCOMPARE(t.input().prompts().first(), QStringLiteral("Введите m - число столбцов (не более 30)"));
    if (prompts > 1)
        QCOMPARE(t.input().prompts().last(),
                 armed ? QStringLiteral("Введите n - число строк (не более 30)") : t.input().prompts().last());
    QCOMPARE(t.button("Command1")->isEnabled(), armed);
    QCOMPARE(t.button("Command2")->isEnabled(), armed);
    QCOMPARE(t.input().pending(), 0);
    QVERIFY(t.printed().isEmpty());
}

void TestLabFrame::fillLinear_data()
{
    QTest::addColumn<int>("m");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("30") << 30;
    QTest::newRow("negative") << -3;
}

void TestLabFrame::fillLinear()
{
    QFETCH(int, m);
    LabFixture t(Lab::Doloran);
    t.setSizes(m, 2);
    t.click("Command1");
    const QStringList lines = t.printed();
    QCOMPARE(lines.first(), LabForm::LinearTitle);
    QCOMPARE(lines.size(), m > 0 ? 2 : 1);
    const QVariantMap title = t.form().surface()->items().first().toMap();
    QCOMPARE(title.value("color").toUInt(), LabForm::TitleColor);
    QVERIFY(title.value("bold").toBool() && title.value("underline").toBool());
    if (m > 0) {
        const QStringList values = lines[1].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(values.size(), m);
        for (int k = 0; k < m; ++k) {
            QCOMPARE(values[k].toInt(), int(t.form().arrays().linear()[k + 1]));
            QVERIFY(values[k].toInt() >= 100 && values[k].toInt() <= 999);
        }
        QCOMPARE(t.colours(1), QList<quint32>(m, kMark));
        // The line is left open: the next print continues it.
        t.form().Print(QStringLiteral("+"));
        QVERIFY(t.printed()[1].endsWith(QStringLiteral(" +")));
    }
    QVERIFY(t.form().current == LabForm::Current::Linear);
}

void TestLabFrame::fillTable_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("n");
    QTest::newRow("30 x 30") << 30 << 30;
    QTest::newRow("1 x 1") << 1 << 1;
    QTest::newRow("no columns") << 0 << 3;
    QTest::newRow("no rows") << 4 << 0;
}

void TestLabFrame::fillTable()
{
    QFETCH(int, m);
    QFETCH(int, n);
    LabFixture t(Lab::Pelmar);
    t.setSizes(m, n);
    t.click("Command2");
    const QStringList lines = t.printed();
    QCOMPARE(lines.size(), 1 + qMax(n, 0));
    QCOMPARE(lines.first(), LabForm::TableTitle);
    const QVariantMap title = t.form().surface()->items().first().toMap();
    QVERIFY(title.value("italic").toBool() && title.value("underline").toBool());
    QSet<int> distinct;
    for (int i = 1; i <= n; ++i) {
        const QStringList values = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(values.size(), qMax(m, 0));
        for (int j = 1; j <= m; ++j) {
            const int v = values[j - 1].toInt();
            QCOMPARE(v, int(t.form().arrays().table()[i][j]));
            QVERIFY(v >= 100 && v <= 999);
            distinct.insert(v);
        }
    }
    if (m * n >= 900)
        QVERIFY(distinct.size() > 500); // really random, not one value repeated
    QVERIFY(t.form().current == LabForm::Current::Table);
}

void TestLabFrame::buttonStates_data()
{
    QTest::addColumn<Lab>("lab");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("doloran Массив1") << Lab::Doloran << "Command1"
                                     << "Command1 Command2 Command3 Command4 Command6";
    QTest::newRow("doloran Массив2") << Lab::Doloran << "Command2"
                                     << "Command1 Command2 Command3 Command5 Command6 Command7 Command8 Command9";
    QTest::newRow("pelmar Массив1") << Lab::Pelmar << "Command1"
                                    << "Command1 Command2 Command3 Command4 Command5 Command7 Command9";
    QTest::newRow("pelmar Массив2") << Lab::Pelmar << "Command2"
                                    << "Command1 Command2 Command3 Command5 Command7 Command8 Command9";
}

void TestLabFrame::buttonStates()
{
    QFETCH(Lab, lab);
    QFETCH(QString, fill);
    QFETCH(QString, enabled);
    LabFixture t(lab);
    t.setSizes(3, 3);
    // The other fill first, so that the one under test must also switch buttons off.
    t.click(fill == QLatin1String("Command1") ? "Command2" : "Command1");
    t.click(fill.toLatin1().constData());
    QCOMPARE(t.enabledButtons(), enabled);
    t.setSizes(4, 4); // the size input changes no other button
    QCOMPARE(t.enabledButtons(), enabled);
}

void TestLabFrame::minimumDisplay_data()
{
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QList<quint32>>("colours");
    QTest::newRow("two equal minima") << QVector<int>{512, 130, 877, 130} << "min= 130 \t 2 шт"
                                      << QList<quint32>{kPlain, kMark, kPlain, kMark};
}

void TestLabFrame::minimumDisplay()
{
    QFETCH(QVector<int>, values);
    QFETCH(QString, summary);
    QFETCH(QList<quint32>, colours);
    LabFixture t(Lab::Doloran);
    t.fillLinear(values);
    t.clickWindow();
    QCOMPARE(t.printed(), (QStringList{LabForm::LinearTitle, LabFixture::numbers(values), QString(), summary}));
    QCOMPARE(t.colours(1), colours);
    QCOMPARE(int(t.form().arrays().count()), int(values.count(*std::min_element(values.begin(), values.end()))));
    QCOMPARE(t.form().FontBold(), true);
    QCOMPARE(t.form().FontUnderline(), false);
    QCOMPARE(t.form().ForeColor(), kMark);
}

void TestLabFrame::tableMinimumDisplay()
{
    LabFixture t(Lab::Pelmar);
    t.fillTable(3, 2); // 101 102 103 / 201 202 203
    t.form().arrays().setCell(2, 3, 101);
    t.click("Command9"); // Поиск max
    QCOMPARE(t.printed(),
             (QStringList{LabForm::TableTitle, LabFixture::numbers({101, 102, 103}),
                          LabFixture::numbers({201, 202, 101}), QString(), "max= 202 \t 1 шт"}));
    QCOMPARE(t.colours(2), (QList<quint32>{kPlain, kMark, kPlain}));
    t.click("Command7"); // Поиск min: both 101s
    QCOMPARE(t.printed().last(), QStringLiteral("min= 101 \t 2 шт"));
    QCOMPARE(t.colours(1), (QList<quint32>{kMark, kPlain, kPlain}));
    QVERIFY(!t.form().Text1->Visible()); // the buttons never touch the clock box

    // No columns: the rows are empty lines, the summary shows table(1, 1) and 0.
    t.setSizes(0, 2);
    t.click("Command7");
    QCOMPARE(t.printed(), (QStringList{LabForm::TableTitle, QString(), QString(), QString(), "min= 101 \t 0 шт"}));
}

void TestLabFrame::clockBox_data()
{
    QTest::addColumn<Lab>("lab");
    QTest::addColumn<QString>("fill"); // empty: no array yet
    QTest::addColumn<QString>("visibleAfterClicks");
    QTest::addColumn<bool>("doubleClicks");
    QTest::newRow("doloran, no array") << Lab::Doloran << QString() << "11" << false;
    QTest::newRow("doloran, linear") << Lab::Doloran << "Command1"
                                     << "11" << false;
    QTest::newRow("doloran, table") << Lab::Doloran << "Command2"
                                    << "00" << false;
    QTest::newRow("pelmar, no array") << Lab::Pelmar << QString() << "10" << false;
    QTest::newRow("pelmar, table") << Lab::Pelmar << "Command2"
                                   << "101" << false;
    // A double-click is one Click, then DblClick: the box toggles once each time.
    QTest::newRow("pelmar, double-clicks") << Lab::Pelmar << "Command2"
                                           << "101" << true;
}

void TestLabFrame::clockBox()
{
    QFETCH(Lab, lab);
    QFETCH(QString, fill);
    QFETCH(QString, visibleAfterClicks);
    QFETCH(bool, doubleClicks);
    LabFixture t(lab);
    if (!fill.isEmpty()) {
        t.setSizes(2, 2);
        t.click(fill.toLatin1().constData());
    }
    QString seen;
    QSignalSpy clicks(t.form().surface(), &PrintSurface::clicked);
    for (int c = 0; c < visibleAfterClicks.size(); ++c) {
        if (doubleClicks)
            t.doubleClickWindow();
        else
            t.clickWindow();
        seen += t.form().Text1->Visible() ? QLatin1Char('1') : QLatin1Char('0');
    }
    QCOMPARE(seen, visibleAfterClicks);
    QCOMPARE(clicks.count(), visibleAfterClicks.size());
    if (fill.isEmpty())
        QVERIFY(t.printed().isEmpty()); // nothing to show yet
}

void TestLabFrame::clockLine()
{
    LabFixture t(Lab::Pelmar);
    ManualClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    t.form().setClock(&clock);
    t.form().startTime = clock.timeOfDaySingle();
    clock.advance(qint64(312) * 1000);
    t.form().Timer1_Timer();
    QCOMPARE(t.form().Text1->Text(), QStringLiteral("Дата 07.12.2026    Время 10:05:12   Время работы 0:05:12"));
}

QTEST_MAIN(TestLabFrame)
#include "tst_labframe.moc"
