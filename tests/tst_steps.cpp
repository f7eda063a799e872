// The steps an operation reports, replayed, counted, told and coded.
#include "steps/arrayinput.h"
#include "steps/labarrays.h"
#include "steps/labcode.h"
#include "steps/stepstory.h"
#include "steps/steptrace.h"

#include <QTest>

#include <random>

using Operation = LabCode::Operation;
using Language = LabCode::Language;
using Line = LabObserver::Line;

namespace {

// Sizes and values drawn from seed; small values so that equal ones occur.
LabArrays drawnArrays(quint32 seed, int m, int n)
{
    std::mt19937 engine(seed);
    LabArrays a;
    a.setSizes(qint16(m), qint16(n));
    for (int i = 1; i <= LabArrays::Bound; ++i) {
        a.setElement(i, qint16(int(engine() % 61) - 30));
        for (int j = 1; j <= LabArrays::Bound; ++j)
            a.setCell(i, j, qint16(int(engine() % 61) - 30));
    }
    return a;
}

void run(LabArrays &a, Operation operation, qint16 position, LabObserver *observer)
{
    switch (operation) {
    case Operation::DeleteElement:
        a.deleteElement(position, observer);
        break;
    case Operation::DeleteRow:
        a.deleteRow(position, observer);
        break;
    case Operation::DeleteColumn:
        a.deleteColumn(position, observer);
        break;
    case Operation::InsertRow:
        a.insertRow(LabArrays::insertPlace(position), observer);
        break;
    case Operation::InsertColumn:
        a.insertColumn(LabArrays::insertPlace(position), observer);
        break;
    case Operation::MinLinear:
        a.findExtremeLinear(LabArrays::Extreme::Minimum, observer);
        break;
    case Operation::MaxLinear:
        a.findExtremeLinear(LabArrays::Extreme::Maximum, observer);
        break;
    case Operation::MinTable:
        a.findExtremeTable(LabArrays::Extreme::Minimum, observer);
        break;
    case Operation::MaxTable:
        a.findExtremeTable(LabArrays::Extreme::Maximum, observer);
        break;
    case Operation::SortLinear:
        a.sortLinear(observer);
        break;
    case Operation::SortTable:
        a.sortTable(observer);
        break;
    }
}

// The elements in the order a sort sees them.
QVector<int> sequence(const LabArrays &a, bool table)
{
    QVector<int> values;
    for (int i = 1; i <= (table ? a.n() : 1); ++i)
        for (int j = 1; j <= a.m(); ++j)
            values << (table ? a.table()[i][j] : a.linear()[j]);
    return values;
}

int inversions(const QVector<int> &values)
{
    int count = 0;
    for (int x = 0; x < values.size(); ++x)
        for (int y = x + 1; y < values.size(); ++y)
            count += values[x] > values[y] ? 1 : 0;
    return count;
}

} // namespace

class TestSteps : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
    void listing_data();
    void listing();
    void sentence_data();
    void sentence();
    void typed_data();
    void typed();
};

void TestSteps::replay_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("position");
    // Random sizes and positions for every operation, with the edges: the
    // first and last place, an empty array, the full 30 x 30 table sorted.
    std::mt19937 engine(20261210);
    for (int operation = 0; operation <= int(Operation::SortTable); ++operation) {
        for (int k = 0; k < 6; ++k) {
            const int m = 1 + int(engine() % 30);
            const int n = 1 + int(engine() % 30);
            const int position = 1 + int(engine() % quint32(m + 1));
            QTest::addRow("op%d-%dx%d-at%d", operation, n, m, position) << operation << m << n << position;
        }
        QTest::addRow("op%d-first", operation) << operation << 7 << 5 << 1;
        QTest::addRow("op%d-empty", operation) << operation << 0 << 0 << 1;
    }
    QTest::newRow("delete-last-element") << int(Operation::DeleteElement) << 9 << 1 << 9;
    QTest::newRow("insert-at-40") << int(Operation::InsertColumn) << 39 << 3 << 40;
    QTest::newRow("sort-30x30") << int(Operation::SortTable) << 30 << 30 << 1;
}

void TestSteps::replay()
{
    QFETCH(int, operation);
    QFETCH(int, m);
    QFETCH(int, n);
    QFETCH(int, position);
    const auto op = Operation(operation);
    const bool table = LabCode::onTable(op);
    LabArrays lab = drawnArrays(quint32(operation * 1000 + m * 31 + n), m, n);
    const QVector<int> before = sequence(lab, table);
    StepTrace trace(lab, table);
    run(lab, op, qint16(position), &trace);

    // Replaying every step from the array before gives the array the lab left.
    const StepTrace::State after = trace.state(trace.size());
    QCOMPARE(after.columns, lab.m());
    if (table)
        QCOMPARE(after.rows, lab.n());
    for (int i = 1; i <= (table ? lab.n() : 1); ++i)
        for (int j = 1; j <= lab.m(); ++j)
            QCOMPARE(after.cells[i][j], table ? lab.table()[i][j] : lab.linear()[j]);
    if (LabCode::isSearch(op) && lab.m() > 0 && lab.n() > 0) {
        QCOMPARE(after.extreme, lab.extreme());
        QCOMPARE(after.count, lab.count());
    }
    // The counts the lessons teach.
    const int length = int(before.size());
    if (LabCode::isSort(op)) {
        QCOMPARE(after.comparisons, length > 0 ? (length - 1) * (length - 1) : 0);
        QCOMPARE(after.swaps, inversions(before));
        QCOMPARE(trace.passStarts().size(), qMax(length - 1, 0));
    }
    if (op == Operation::DeleteElement)
        QCOMPARE(after.assignments, qMax(m - qMax(position, 1), 0));
    // Any step rebuilt from its checkpoint is the step before it plus one action.
    const int middle = trace.size() / 2;
    if (middle > 0) {
        const StepTrace::State s = trace.state(middle);
        const StepTrace::State previous = trace.state(middle - 1);
        QCOMPARE(s.comparisons + s.swaps + s.assignments - previous.comparisons - previous.swaps - previous.assignments,
                 trace.at(middle).kind == StepTrace::Kind::Resize ? 0 : 1);
    }
}

void TestSteps::listing_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("line");
    const auto row = [](const char *name, Operation o, Language l, Line role, const char *line) {
        QTest::newRow(name) << int(o) << int(l) << int(role) << QString::fromUtf8(line);
    };
    row("sort-alg-compare", Operation::SortLinear, Language::Algorithmic, Line::Compare,
        "        если a[i] > a[i + 1] то");
    row("sort-pascal-swap", Operation::SortLinear, Language::Pascal, Line::Swap,
        "            temp := a[i]; a[i] := a[i + 1]; a[i + 1] := temp;");
    row("sort-python-swap", Operation::SortLinear, Language::Python, Line::Swap,
        "            temp = a[i]; a[i] = a[i + 1]; a[i + 1] = temp");
    row("sort2-python-compare", Operation::SortTable, Language::Python, Line::Compare, "        if b[i] > b[i + 1]:");
    row("delete-alg-shift", Operation::DeleteElement, Language::Algorithmic, Line::Shift, "        a[i] := a[i + 1]");
    row("delcol-python-shift", Operation::DeleteColumn, Language::Python, Line::Shift,
        "            a[i][j] = a[i][j + 1]");
    row("inscol-pascal-loop", Operation::InsertColumn, Language::Pascal, Line::Fill, "    a[i, k] := 100;");
    row("insrow-python-resize", Operation::InsertRow, Language::Python, Line::Resize, "n = n + 1");
    row("min-alg-test", Operation::MinTable, Language::Algorithmic, Line::ExtremeTest, "        если a[i, j] < min то");
    row("max-python-count", Operation::MaxLinear, Language::Python, Line::CountTest, "    if a[i] == max:");
    row("max-pascal-start", Operation::MaxLinear, Language::Pascal, Line::ExtremeStart, "max := a[1];");
}

void TestSteps::listing()
{
    QFETCH(int, operation);
    QFETCH(int, language);
    QFETCH(int, role);
    QFETCH(QString, line);
    const LabCode::Listing listing = LabCode::listing(Operation(operation), Language(language));
    const int at = listing.line(Line(role));
    QVERIFY(at >= 0);
    QCOMPARE(listing.lines[at], line);
    // Every block the code opens, it closes.
    if (Language(language) != Language::Python) {
        const QString open
            = Language(language) == Language::Pascal ? QStringLiteral("begin") : QStringLiteral("нц|то$");
        const QString close
            = Language(language) == Language::Pascal ? QStringLiteral("end;") : QStringLiteral("^ *(кц|все)$");
        QCOMPARE(listing.lines.filter(QRegularExpression(open)).size(),
                 listing.lines.filter(QRegularExpression(close)).size());
    }
}

void TestSteps::sentence_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("sentence");
    const QVector<int> four{5, 9, 512, 127};
    QTest::newRow("compare, greater") << int(Operation::SortLinear) << four << 3
                                      << "Сравниваем a[3] = 512 и a[4] = 127: больше, меняем местами";
    QTest::newRow("compare, not greater")
        << int(Operation::SortLinear) << four << 1 << "Сравниваем a[1] = 5 и a[2] = 9: не больше, оставляем";
    QTest::newRow("swap") << int(Operation::SortLinear) << four << 4
                          << "Меняем местами a[3] и a[4] через temp: теперь a[3] = 127, a[4] = 512";
    QTest::newRow("shift") << int(Operation::DeleteElement) << four << 1 << "a[2] := a[3], теперь a[2] = 512";
    QTest::newRow("resize") << int(Operation::DeleteElement) << four << 3 << "m := m - 1, теперь m = 3";
    QTest::newRow("new minimum") << int(Operation::MinLinear) << QVector<int>{9, 5} << 4
                                 << "min := a[2], теперь min = 5";
    QTest::newRow("counted") << int(Operation::MaxLinear) << QVector<int>{9, 9} << 5
                             << "a[2] = 9 равно max: count := count + 1, теперь count = 2";
    QTest::newRow("before") << int(Operation::MaxLinear) << four << 0 << "Массив до операции";
}

void TestSteps::sentence()
{
    QFETCH(int, operation);
    QFETCH(QVector<int>, values);
    QFETCH(int, step);
    QFETCH(QString, sentence);
    LabArrays a;
    a.setSizes(qint16(values.size()), 1);
    for (int e = 0; e < values.size(); ++e)
        a.setElement(e + 1, qint16(values[e]));
    StepTrace trace(a, false);
    run(a, Operation(operation), 2, &trace);
    QCOMPARE(StepStory(trace, Operation(operation)).sentence(step), sentence);
}

void TestSteps::typed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QVector<int>>("values");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("blanks and lines") << " 3\t-7\n 32767 -32768 " << 4 << QVector<int>{3, -7, 32767, -32768} << "";
    QTest::newRow("too large") << "1 32768" << 2 << QVector<int>{} << "«32768» — не целое число от -32768 до 32767";
    QTest::newRow("a fraction") << "1,5 2" << 2 << QVector<int>{} << "«1,5» — не целое число от -32768 до 32767";
    QTest::newRow("a word") << "1 два" << 2 << QVector<int>{} << "«два» — не целое число от -32768 до 32767";
    QTest::newRow("too few") << "1 2" << 5 << QVector<int>{} << "Чисел 2, а нужно 5: не хватает 3";
    QTest::newRow("too many") << "1 2 3" << 2 << QVector<int>{} << "Чисел 3, а нужно 2: лишних 1";
}

void TestSteps::typed()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QVector<int>, values);
    QFETCH(QString, refusal);
    const ArrayInput::Parsed parsed = ArrayInput::parse(text, count);
    QCOMPARE(parsed.refusal, refusal);
    if (refusal.isEmpty()) {
        QVector<int> got(parsed.values.cbegin(), parsed.values.cend());
        QCOMPARE(got, values);
    }
}

QTEST_GUILESS_MAIN(TestSteps)
#include "tst_steps.moc"
