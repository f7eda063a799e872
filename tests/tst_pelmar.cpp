#include "core/randomsource.h"
#include "forms/appsetup.h"
#include "forms/printsurface.h"
#include "labtestsupport.h"
#include "pelmarform.h"

#include <QTest>

#include <algorithm>

class TestPelmar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sortLinear_data();
    void sortLinear();
    void sortTwiceAndAfterDisplay();
    void sortLinearEmpty_data();
    void sortLinearEmpty();
    void sortTable();
    void sortTableWithoutColumns();
    void searchAfterSort();
    void sortAndSearchRules();
};

void TestPelmar::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

void TestPelmar::sortLinear_data()
{
    QTest::addColumn<QVector<int>>("values");
    QTest::newRow("duplicates") << QVector<int>{300, 100, 300, 200, 100};
}

void TestPelmar::sortLinear()
{
    QFETCH(QVector<int>, values);
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillLinear(values);
    t.form().Cls();
    t.form().Print(LabForm::LinearTitle);
    for (int v : values)
        t.form().Print(v, Separator::SameLine);
    t.click("Command4");
    QVector<int> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    // Right after "Массив1" the line is open: the sorted line comes straight under it.
    QCOMPARE(t.printed(),
             (QStringList{LabForm::LinearTitle, LabFixture::numbers(values), LabFixture::numbers(sorted)}));
    for (int k = 0; k < values.size(); ++k)
        QCOMPARE(int(t.form().arrays().linear()[k + 1]), sorted[k]);
    const QVariantMap item = t.form().surface()->items().last().toMap();
    QCOMPARE(item.value("color").toUInt(), kMark);
    QVERIFY(item.value("bold").toBool() && item.value("underline").toBool());
    QCOMPARE(item.value("size").toDouble(), 12.0);
    QVERIFY(t.form().current == LabForm::Current::Linear);
}

void TestPelmar::sortTwiceAndAfterDisplay()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillLinear({300, 200, 100});
    t.click("Command7"); // the display ends with a closed summary line
    t.click("Command4");
    QCOMPARE(t.printed().mid(3), (QStringList{"min= 100 \t 1 шт", QString(), LabFixture::numbers({100, 200, 300})}));
    t.click("Command4");
    QCOMPARE(t.printed().mid(5),
             (QStringList{LabFixture::numbers({100, 200, 300}), LabFixture::numbers({100, 200, 300})}));
}

void TestPelmar::sortLinearEmpty_data()
{
    QTest::addColumn<int>("m");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
    QTest::newRow("smallest 16-bit length") << -32768;
}

void TestPelmar::sortLinearEmpty()
{
    QFETCH(int, m);
    LabFixture t(LabFixture::Lab::Pelmar);
    t.setSizes(m, 1);
    t.click("Command1");
    t.click("Command4");
    QCOMPARE(t.printed(), (QStringList{LabForm::LinearTitle, QString()}));
    QCOMPARE(int(t.form().arrays().m()), m);
}

void TestPelmar::sortTable()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillTable(3, 2);
    const QVector<int> start = {900, 850, 850, 300, 999, 100};
    for (int c = 0; c < 6; ++c)
        t.form().arrays().setCell(1 + c / 3, 1 + c % 3, qint16(start[c]));
    t.form().Cls();
    t.form().printTable();
    t.click("Command8");
    // Rows end closed, so one blank line stands between the two tables.
    QCOMPARE(t.printed(),
             (QStringList{LabFixture::numbers({900, 850, 850}), LabFixture::numbers({300, 999, 100}), QString(),
                          LabFixture::numbers({100, 300, 850}), LabFixture::numbers({850, 900, 999})}));
    QCOMPARE(int(t.form().arrays().table()[1][1]), 100);
    QCOMPARE(int(t.form().arrays().table()[2][3]), 999);
    QCOMPARE(t.colours(4), QList<quint32>(3, kMark));
    QVERIFY(t.form().current == LabForm::Current::Table);
}

void TestPelmar::sortTableWithoutColumns()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.setSizes(0, 2);
    t.click("Command2");
    t.click("Command8");
    QCOMPARE(t.printed(), (QStringList{LabForm::TableTitle, QString(), QString(), QString(), QString(), QString()}));
}

void TestPelmar::searchAfterSort()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillLinear({500, 100, 900, 900});
    t.click("Command4");
    t.click("Command7");
    QCOMPARE(t.colours(1), (QList<quint32>{kMark, kPlain, kPlain, kPlain}));
    t.click("Command9");
    QCOMPARE(t.colours(1), (QList<quint32>{kPlain, kPlain, kMark, kMark}));
    QCOMPARE(t.printed().last(), QStringLiteral("max= 900 \t 2 шт"));
}

void TestPelmar::sortAndSearchRules()
{
    LabArrays a;
    a.setSizes(4, 0);
    const QVector<qint16> start = {999, 500, 999, 101};
    for (int e = 1; e <= 4; ++e)
        a.setElement(e, start[e - 1]);
    a.findExtremeLinear(LabArrays::Extreme::Maximum);
    QCOMPARE(int(a.count()), 2);
    a.sortLinear();
    QCOMPARE(QVector<int>(a.linear().begin() + 1, a.linear().begin() + 5), (QVector<int>{101, 500, 999, 999}));
    // The same for a full table, sorted as one row read row by row.
    a.setSizes(30, 30);
    RandomSource random;
    a.fillTable(random);
    a.setCell(30, 30, 100);
    a.setCell(7, 9, 100);
    QVector<int> values;
    for (int i = 1; i <= 30; ++i)
        values += QVector<int>(a.table()[i].begin() + 1, a.table()[i].begin() + 31);
    std::sort(values.begin(), values.end());
    a.findExtremeTable(LabArrays::Extreme::Minimum);
    QCOMPARE(int(a.extreme()), 100);
    QCOMPARE(int(a.count()), int(values.count(100)));
    a.sortTable();
    for (int i = 1; i <= 30; ++i)
        QCOMPARE(QVector<int>(a.table()[i].begin() + 1, a.table()[i].begin() + 31),
                 values.mid(qsizetype(30) * (i - 1), 30));
}

QTEST_MAIN(TestPelmar)
#include "tst_pelmar.moc"
