#include "doloranform.h"
#include "forms/appsetup.h"
#include "forms/commandbutton.h"
#include "forms/printsurface.h"
#include "labtestsupport.h"

#include <QTest>

namespace {

// The rows of a table whose cell (i, j) held 100 * i + j, after the given
// rows and columns (numbered from 1) were kept, in order.
QStringList rowsOf(const QVector<int> &rows, const QVector<int> &columns)
{
    QStringList lines;
    for (int i : rows) {
        QVector<int> values;
        for (int j : columns)
            values << (i == 0 || j == 0 ? 100 : 100 * i + j);
        lines << LabFixture::numbers(values);
    }
    return lines;
}

enum Edit { DeleteElement, DeleteColumn, DeleteRow, InsertColumn, InsertRow };
const std::array<void (LabArrays::*)(qint16, LabObserver *), 5> kEdits
    = {&LabArrays::deleteElement, &LabArrays::deleteColumn, &LabArrays::deleteRow, &LabArrays::insertColumn,
       &LabArrays::insertRow};

} // namespace

class TestDoloran : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deleteElement_data();
    void deleteElement();
    void deleteUntilNegative();
    void deleteColumn_data();
    void deleteColumn();
    void deleteRow_data();
    void deleteRow();
    void deleteLastRowAndColumn();
    void insertColumn_data();
    void insertColumn();
    void insertRow_data();
    void insertRow();
    void insertUpToForty();
    void insertIntoEmptyTable();
    void cancelChangesNothing();
    void editRules_data();
    void editRules();
};

void TestDoloran::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

void TestDoloran::deleteElement_data()
{
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<int>("k");
    QTest::addColumn<QVector<int>>("after");
    QTest::newRow("last") << QStringList{"5"} << 5 << QVector<int>{100, 200, 300, 400};
    QTest::newRow("above the limit asked again") << QStringList{"6", "x", "2"} << 2 << QVector<int>{100, 300, 400, 500};
}

void TestDoloran::deleteElement()
{
    QFETCH(QStringList, replies);
    QFETCH(int, k);
    QFETCH(QVector<int>, after);
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillLinear({100, 200, 300, 400, 500});
    t.input().replies(replies);
    t.click("Command4");
    QCOMPARE(t.input().prompts().last(), QStringLiteral("№ удаляемого числа"));
    QCOMPARE(t.input().prompts().size(), 2 + replies.size());
    QCOMPARE(t.printed(),
             (QStringList{LabForm::LinearTitle, LabFixture::numbers({100, 200, 300, 400, 500}) + " Исходный массив",
                          QString(), QString(), LabFixture::numbers(after) + " Новый массив"}));
    QList<quint32> marked;
    for (int i = 1; i <= 5; ++i)
        marked << (i == k ? kMark : kPlain);
    QCOMPARE(t.colours(1), marked);
    QCOMPARE(t.colours(4), QList<quint32>(4, kPlain));
    // The heading takes the colour of the last number printed before it.
    const QVariantList items = t.form().surface()->items();
    const QVariantMap heading = items[6].toMap();
    QCOMPARE(heading.value("text").toString(), QStringLiteral(" Исходный массив"));
    QCOMPARE(heading.value("color").toUInt(), k == 5 ? kMark : kPlain);
    QCOMPARE(int(t.form().arrays().m()), 4);
    QCOMPARE(t.enabledButtons(), QStringLiteral("Command1 Command2 Command3 Command4 Command6"));
}

void TestDoloran::deleteUntilNegative()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillLinear({700});
    t.input().reply("1");
    t.click("Command4");
    QCOMPARE(t.printed().last(), QStringLiteral(" Новый массив"));
    QCOMPARE(int(t.form().arrays().m()), 0);
    // At m = 0 only 0 or less is taken.
    t.input().replies({"1", "0"});
    t.click("Command4");
    QCOMPARE(t.printed(),
             (QStringList{LabForm::LinearTitle, " Исходный массив", QString(), QString(), " Новый массив"}));
    QCOMPARE(t.form().surface()->items()[1].toMap().value("color").toUInt(), LabForm::TitleColor);
    QCOMPARE(int(t.form().arrays().m()), -1);
    t.input().reply("-7");
    t.click("Command4");
    QCOMPARE(int(t.form().arrays().m()), -2);
    // A later "Массив1" fills nothing while the length is negative.
    t.click("Command1");
    QCOMPARE(t.printed(), QStringList{LabForm::LinearTitle});
    // The size never wraps round from the smallest 16-bit value.
    t.input().replies({"-32768", "1"});
    t.click("Command6");
    t.click("Command1");
    t.input().reply("-32768");
    t.click("Command4");
    QCOMPARE(int(t.form().arrays().m()), -32768);
}

void TestDoloran::deleteColumn_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("k");
    QTest::addColumn<QVector<int>>("kept");
    QTest::newRow("middle") << "2" << 2 << QVector<int>{1, 3, 4};
}

void TestDoloran::deleteColumn()
{
    QFETCH(QString, reply);
    QFETCH(int, k);
    QFETCH(QVector<int>, kept);
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(4, 3);
    t.input().replies({"5", reply}); // 5 columns is beyond the limit: asked again
    t.click("Command5");
    QCOMPARE(t.input().prompts().last(), QStringLiteral("№ удаляемого столбца"));
    QStringList expected = QStringList{LabForm::TableTitle, " Исходный массив"} + rowsOf({1, 2, 3}, {1, 2, 3, 4});
    expected << QString() << " Новый массив";
    expected += rowsOf({1, 2, 3}, kept);
    QCOMPARE(t.printed(), expected);
    for (int line = 2; line <= 4; ++line) {
        QList<quint32> marked;
        for (int j = 1; j <= 4; ++j)
            marked << (j == k ? kMark : kPlain);
        QCOMPARE(t.colours(line), marked);
    }
    QCOMPARE(t.colours(7), QList<quint32>(3, kPlain));
    QCOMPARE(int(t.form().arrays().m()), 3);
    QVERIFY(t.form().current == LabForm::Current::Table);
    QCOMPARE(t.enabledButtons(),
             QStringLiteral("Command1 Command2 Command3 Command5 Command6 Command7 Command8 Command9"));
}

void TestDoloran::deleteRow_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QVector<int>>("kept");
    QTest::newRow("middle") << "2" << QVector<int>{1, 3};
}

void TestDoloran::deleteRow()
{
    QFETCH(QString, reply);
    QFETCH(QVector<int>, kept);
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(2, 3);
    t.input().reply(reply);
    t.click("Command7");
    QCOMPARE(t.input().prompts().last(), QStringLiteral("№ удаляемой строки"));
    QStringList expected = QStringList{LabForm::TableTitle, " Исходный массив"} + rowsOf({1, 2, 3}, {1, 2});
    expected << QString() << QString() << " Новый массив";
    expected += rowsOf(kept, {1, 2});
    QCOMPARE(t.printed(), expected);
    const int k = reply.toInt();
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(t.colours(1 + i), QList<quint32>(2, i == k ? kMark : kPlain));
    QCOMPARE(int(t.form().arrays().n()), 2);
}

void TestDoloran::deleteLastRowAndColumn()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(1, 1);
    t.input().reply("1");
    t.click("Command7");
    QCOMPARE(t.printed().last(), QStringLiteral(" Новый массив"));
    QCOMPARE(int(t.form().arrays().n()), 0);
    t.input().replies({"1", "0"});
    t.click("Command7");
    QCOMPARE(int(t.form().arrays().n()), -1);

    LabFixture c(LabFixture::Lab::Doloran);
    c.fillTable(1, 2);
    c.input().reply("1");
    c.click("Command5");
    QCOMPARE(int(c.form().arrays().m()), 0);
    QCOMPARE(c.printed().mid(c.printed().size() - 3), (QStringList{" Новый массив", QString(), QString()}));
    // A later "Массив1" fills one element fewer for every deleted column.
    c.click("Command1");
    QCOMPARE(c.printed(), QStringList{LabForm::LinearTitle});
}

void TestDoloran::insertColumn_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("k");
    QTest::addColumn<QVector<int>>("columns"); // 0 stands for the new column of 100s
    QTest::newRow("middle") << "2" << 2 << QVector<int>{1, 0, 2, 3};
    QTest::newRow("below 1 goes first") << "-5" << 1 << QVector<int>{0, 1, 2, 3};
}

void TestDoloran::insertColumn()
{
    QFETCH(QString, reply);
    QFETCH(int, k);
    QFETCH(QVector<int>, columns);
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(3, 2);
    t.input().replies({"5", reply});
    t.click("Command8");
    QCOMPARE(t.input().prompts().last(), QStringLiteral("№ вставляемого столбца"));
    QStringList expected = QStringList{LabForm::TableTitle, " Исходный массив"} + rowsOf({1, 2}, {1, 2, 3});
    expected << QString() << QString() << " Новый массив";
    expected += rowsOf({1, 2}, columns);
    QCOMPARE(t.printed(), expected);
    QList<quint32> before, after;
    for (int j = 1; j <= 3; ++j)
        before << (j == k ? kMark : kPlain);
    for (int j = 1; j <= 4; ++j)
        after << (j == k ? kMark : kPlain);
    QCOMPARE(t.colours(2), before);
    QCOMPARE(t.colours(7), after);
    QCOMPARE(int(t.form().arrays().m()), 4);
    QCOMPARE(t.enabledButtons(),
             QStringLiteral("Command1 Command2 Command3 Command5 Command6 Command7 Command8 Command9"));
}

void TestDoloran::insertRow_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QVector<int>>("rows"); // 0 stands for the new row of 100s
    QTest::newRow("middle") << "2" << QVector<int>{1, 0, 2};
    QTest::newRow("zero goes first") << "0" << QVector<int>{0, 1, 2};
}

void TestDoloran::insertRow()
{
    QFETCH(QString, reply);
    QFETCH(QVector<int>, rows);
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(2, 2);
    t.input().reply(reply);
    t.click("Command9");
    QStringList expected = QStringList{LabForm::TableTitle, " Исходный массив"} + rowsOf({1, 2}, {1, 2});
    expected << QString() << QString() << " Новый массив";
    expected += rowsOf(rows, {1, 2});
    QCOMPARE(t.printed(), expected);
    const int newRow = int(rows.indexOf(0));
    for (int r = 0; r < 3; ++r)
        QCOMPARE(t.colours(7 + r), QList<quint32>(2, r == newRow ? kMark : kPlain));
    QCOMPARE(int(t.form().arrays().n()), 3);
}

void TestDoloran::insertUpToForty()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(30, 30);
    for (int step = 0; step < 10; ++step) {
        t.input().replies({"1", "1"});
        t.click("Command8");
        t.click("Command9");
    }
    QCOMPARE(int(t.form().arrays().m()), 40);
    QCOMPARE(int(t.form().arrays().n()), 40);
    QCOMPARE(int(t.form().arrays().table()[40][40]), 100 * 30 + 30);
    QCOMPARE(int(t.form().arrays().table()[1][1]), 100);
    const auto before = t.form().arrays().table();

    // A 41st column or row is refused with a message below the table shown;
    // nothing else changes.
    const QStringList shown = t.printed();
    const PrintState state = t.form().printState();
    t.click("Command8");
    QCOMPARE(t.printed(), shown + QStringList{"В таблице уже 40 столбцов - вставить ещё один нельзя."});
    t.click("Command9");
    QCOMPARE(t.printed(),
             shown
                 + (QStringList{"В таблице уже 40 столбцов - вставить ещё один нельзя.",
                                "В таблице уже 40 строк - вставить ещё одну нельзя."}));
    QVERIFY(t.form().printState() == state);
    QCOMPARE(t.input().prompts().size(), 2 + 20); // sizes, 20 positions, none for the refusals
    QCOMPARE(int(t.form().arrays().m()), 40);
    QCOMPARE(int(t.form().arrays().n()), 40);
    QVERIFY(t.form().arrays().table() == before);
    // Deleting makes room again.
    t.input().replies({"40", "2"});
    t.click("Command5");
    t.click("Command8");
    QCOMPARE(int(t.form().arrays().m()), 40);
}

void TestDoloran::insertIntoEmptyTable()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(3, 1);
    t.input().reply("1");
    t.click("Command7"); // n = 0
    t.input().reply("1");
    t.click("Command9");
    QCOMPARE(t.printed().mid(3), (QStringList{QString(), " Новый массив", LabFixture::numbers({100, 100, 100})}));
    QCOMPARE(t.colours(5), QList<quint32>(3, kMark));

    t.input().reply("1");
    t.click("Command7"); // n = 0 again
    t.input().reply("1");
    t.click("Command8"); // a column into no rows: only m grows
    QCOMPARE(int(t.form().arrays().m()), 4);
    QCOMPARE(t.printed(),
             (QStringList{LabForm::TableTitle, " Исходный массив", QString(), QString(), " Новый массив"}));
}

void TestDoloran::cancelChangesNothing()
{
    LabFixture t(LabFixture::Lab::Doloran);
    t.fillTable(3, 3);
    const QStringList shown = t.printed();
    // The print state too: a cancelled table prompt once left the font italic.
    const PrintState state = t.form().printState();
    for (const char *b : {"Command5", "Command7", "Command8", "Command9", "Command6"}) {
        t.input().cancel();
        t.click(b);
        QCOMPARE(t.printed(), shown);
        QVERIFY2(t.form().printState() == state, b);
        QCOMPARE(int(t.form().arrays().m()), 3);
        QCOMPARE(int(t.form().arrays().n()), 3);
    }
    t.click("Command1");
    const QStringList linear = t.printed();
    QCOMPARE(t.form().surface()->items().last().toMap().value("italic").toBool(), false);
    const PrintState linearState = t.form().printState();
    t.input().cancel();
    t.click("Command4");
    QCOMPARE(t.printed(), linear);
    QVERIFY(t.form().printState() == linearState);
    QCOMPARE(int(t.form().arrays().m()), 3);
}

void TestDoloran::editRules_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("after"); // the linear array, or the table's rows
    QTest::newRow("element first") << DeleteElement << 1 << rowsOf({1}, {2, 3});
    QTest::newRow("element far below 1") << DeleteElement << -32768 << rowsOf({1}, {2, 3});
    QTest::newRow("column last") << DeleteColumn << 3 << rowsOf({1, 2}, {1, 2});
    QTest::newRow("column below 1") << DeleteColumn << -2 << rowsOf({1, 2}, {2, 3});
    QTest::newRow("row last") << DeleteRow << 2 << rowsOf({1}, {1, 2, 3});
    QTest::newRow("row below 1") << DeleteRow << 0 << rowsOf({2}, {1, 2, 3});
    QTest::newRow("insert column after the last") << InsertColumn << 4 << rowsOf({1, 2}, {1, 2, 3, 0});
    QTest::newRow("insert row first") << InsertRow << 1 << rowsOf({0, 1, 2}, {1, 2, 3});
    QTest::newRow("insert row after the last") << InsertRow << 3 << rowsOf({1, 2, 0}, {1, 2, 3});
}

void TestDoloran::editRules()
{
    QFETCH(Edit, edit);
    QFETCH(int, position);
    QFETCH(QStringList, after);
    LabArrays a; // as rowsOf counts: 3 columns, 2 rows, and the linear array like row 1
    a.setSizes(3, 2);
    for (int j = 1; j <= 3; ++j) {
        a.setElement(j, qint16(100 + j));
        a.setCell(1, j, qint16(100 + j));
        a.setCell(2, j, qint16(200 + j));
    }
    (a.*kEdits[edit])(qint16(position), nullptr);
    QStringList rows;
    for (int i = 1; i <= (edit == DeleteElement ? 1 : a.n()); ++i) {
        QVector<int> values;
        for (int j = 1; j <= a.m(); ++j)
            values << (edit == DeleteElement ? a.linear()[j] : a.table()[i][j]);
        rows << LabFixture::numbers(values);
    }
    QCOMPARE(rows, after);
}

QTEST_MAIN(TestDoloran)
#include "tst_doloran.moc"
