// The steps an operation reports, replayed, counted, told and coded.
#include "steps/arrayinput.h"
#include "steps/guesstally.h"
#include "steps/labarrays.h"
#include "steps/labcode.h"
#include "steps/labprogram.h"
#include "steps/stepcursor.h"
#include "steps/steptrace.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
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
        a.insertRow(position, observer);
        break;
    case Operation::InsertColumn:
        a.insertColumn(position, observer);
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

// How often a new extreme is found scanning from the first element.
int records(const QVector<int> &values, bool minimum)
{
    int found = 0;
    for (int x = 1; x < values.size(); ++x) {
        const int best = minimum ? *std::min_element(values.cbegin(), values.cbegin() + x)
                                 : *std::max_element(values.cbegin(), values.cbegin() + x);
        found += minimum ? values[x] < best : values[x] > best;
    }
    return found;
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
    void programs_data();
    void programs();
    void algorithmicSyntax_data();
    void algorithmicSyntax();
    void randomGuesses_data();
    void randomGuesses();
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
    // The counts the lessons teach, as the code shown counts them.
    const int length = int(before.size());
    if (LabCode::isSort(op)) {
        QCOMPARE(after.comparisons, length > 0 ? (length - 1) * (length - 1) : 0);
        QCOMPARE(after.swaps, inversions(before));
        QCOMPARE(trace.passStarts().size(), qMax(length - 1, 0));
        // The table's sort copies every cell into b and back.
        QCOMPARE(after.assignments, op == Operation::SortTable ? 2 * length : 0);
    }
    if (op == Operation::DeleteElement)
        QCOMPARE(after.assignments, qMax(m - qMax(position, 1), 0));
    if (op == Operation::DeleteRow)
        QCOMPARE(after.assignments, qMax(n - qMax(position, 1), 0) * m);
    if (LabCode::isSearch(op) && length > 0) {
        QCOMPARE(after.comparisons, 2 * length);
        QCOMPARE(after.assignments, 1 + records(before, LabCode::isMinimum(op)));
    }
    // Every statement the run carries out lights a line of the code shown,
    // in every language; the sizes and the position are among the variables.
    auto shared = std::make_shared<StepTrace>(trace);
    StepCursor cursor(shared, op, qint16(position));
    for (LabCode::Language language : LabCode::Languages) {
        cursor.setLanguage(language);
        for (int step = 1; step <= cursor.steps(); ++step)
            QVERIFY2(cursor.codeLine(step) >= 0, qPrintable(QStringLiteral("step %1").arg(step)));
        const StepCursor::Variables variables = cursor.variables(cursor.steps());
        const auto value = [&variables](const QString &name) {
            for (const auto &[key, v] : variables)
                if (key == name)
                    return v;
            return -99999;
        };
        QCOMPARE(value(QStringLiteral("m")), int(lab.m()));
        if (LabCode::takesPosition(op))
            QCOMPARE(value(QStringLiteral("k")),
                     (LabCode::isInsert(op) ? qMax(position, 1) : position) - 1 + cursor.base());
    }
    // Any step rebuilt from its checkpoint is the step before it plus one
    // statement, counted once unless it is a size's change or none of the three.
    const int middle = trace.size() / 2;
    if (middle > 0) {
        const StepTrace::State s = trace.state(middle);
        const StepTrace::State previous = trace.state(middle - 1);
        QCOMPARE(s.comparisons + s.swaps + s.assignments - previous.comparisons - previous.swaps - previous.assignments,
                 trace.at(middle).kind == StepTrace::Kind::Resize || trace.at(middle).kind == StepTrace::Kind::Other
                     ? 0
                     : 1);
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
    row("sort-alg-swap", Operation::SortLinear, Language::Algorithmic, Line::Swap,
        "            temp := a[i]; a[i] := a[i + 1]; a[i + 1] := temp");
    row("sort-pascal-swap", Operation::SortLinear, Language::Pascal, Line::Swap,
        "            temp := a[i]; a[i] := a[i + 1]; a[i + 1] := temp;");
    row("sort-python-loop", Operation::SortLinear, Language::Python, Line::Compare, "        if a[i] > a[i + 1]:");
    row("sort-python-swap", Operation::SortLinear, Language::Python, Line::Swap,
        "            a[i], a[i + 1] = a[i + 1], a[i]");
    row("sort2-python-compare", Operation::SortTable, Language::Python, Line::Compare, "        if b[i] > b[i + 1]:");
    row("sort2-python-copy", Operation::SortTable, Language::Python, Line::CopyIn, "        b[k] = a[i][j]");
    row("sort2-pascal-copy-back", Operation::SortTable, Language::Pascal, Line::CopyOut,
        "        a[i, j] := b[k + 1];");
    row("delete-alg-test", Operation::DeleteElement, Language::Algorithmic, Line::PositionTest, "    если i >= k то");
    row("delete-alg-shift", Operation::DeleteElement, Language::Algorithmic, Line::Shift, "        a[i] := a[i + 1]");
    row("delcol-python-shift", Operation::DeleteColumn, Language::Python, Line::Shift,
        "            a[i][j] = a[i][j + 1]");
    row("inscol-pascal-first", Operation::InsertColumn, Language::Pascal, Line::PositionFirst, "if k < 1 then k := 1;");
    row("inscol-python-first", Operation::InsertColumn, Language::Python, Line::PositionFirst, "if k < 0: k = 0");
    row("inscol-pascal-fill", Operation::InsertColumn, Language::Pascal, Line::Fill, "    a[i, k] := 100;");
    row("insrow-python-resize", Operation::InsertRow, Language::Python, Line::Resize, "n = n + 1");
    row("min-alg-test", Operation::MinTable, Language::Algorithmic, Line::ExtremeTest, "        если a[i, j] < mn то");
    row("max-python-count", Operation::MaxLinear, Language::Python, Line::CountTest, "    if a[i] == mx:");
    row("max-python-count-up", Operation::MaxLinear, Language::Python, Line::CountUp, "        count = count + 1");
    row("max-pascal-start", Operation::MaxLinear, Language::Pascal, Line::ExtremeStart, "mx := a[1];");
    row("max-python-start", Operation::MaxTable, Language::Python, Line::ExtremeStart, "mx = a[0][0]");
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
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("sentence");
    const QVector<int> four{5, 9, 512, 127};
    const int pascal = int(Language::Pascal);
    const int python = int(Language::Python);
    QTest::newRow("compare, greater") << int(Operation::SortLinear) << four << 3 << pascal
                                      << "Сравниваем a[3] = 512 и a[4] = 127: больше, меняем местами";
    QTest::newRow("compare, from 0 in Python") << int(Operation::SortLinear) << four << 3 << python
                                               << "Сравниваем a[2] = 512 и a[3] = 127: больше, меняем местами";
    QTest::newRow("compare, not greater")
        << int(Operation::SortLinear) << four << 1 << pascal << "Сравниваем a[1] = 5 и a[2] = 9: не больше, оставляем";
    QTest::newRow("swap") << int(Operation::SortLinear) << four << 4 << pascal
                          << "Меняем местами a[3] и a[4]: теперь a[3] = 127, a[4] = 512";
    QTest::newRow("the position tested") << int(Operation::DeleteElement) << four << 1 << pascal
                                         << "i = 1, k = 2: до позиции k, пропускаем";
    QTest::newRow("the position tested, Python")
        << int(Operation::DeleteElement) << four << 2 << python << "i = 1, k = 1: с позиции k и дальше, сдвигаем";
    QTest::newRow("shift") << int(Operation::DeleteElement) << four << 3 << pascal << "a[2] := a[3], теперь a[2] = 512";
    QTest::newRow("resize") << int(Operation::DeleteElement) << four << 6 << pascal << "m := m - 1, теперь m = 3";
    QTest::newRow("new minimum") << int(Operation::MinLinear) << QVector<int>{9, 5} << 4 << pascal
                                 << "mn := a[2], теперь mn = 5";
    QTest::newRow("count reset") << int(Operation::MaxLinear) << QVector<int>{9, 9} << 4 << pascal
                                 << "count := 0: считаем элементы, равные mx = 9";
    QTest::newRow("counted") << int(Operation::MaxLinear) << QVector<int>{9, 9} << 8 << pascal
                             << "count := count + 1, теперь count = 2";
    QTest::newRow("before") << int(Operation::MaxLinear) << four << 0 << pascal << "Массив до операции";
}

void TestSteps::sentence()
{
    QFETCH(int, operation);
    QFETCH(QVector<int>, values);
    QFETCH(int, step);
    QFETCH(QString, sentence);
    QFETCH(int, language);
    LabArrays a;
    a.setSizes(qint16(values.size()), 1);
    for (int e = 0; e < values.size(); ++e)
        a.setElement(e + 1, qint16(values[e]));
    auto trace = std::make_shared<StepTrace>(a, false);
    run(a, Operation(operation), 2, trace.get());
    StepCursor cursor(trace, Operation(operation), 2);
    cursor.setLanguage(Language(language));
    QCOMPARE(cursor.sentence(step), sentence);
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

namespace {

// The values the lab leaves, row by row, and a search's extreme and count.
QStringList labAfter(const LabArrays &a, Operation operation)
{
    QStringList out;
    const bool table = LabCode::onTable(operation);
    for (int i = 1; i <= (table ? a.n() : 1); ++i)
        for (int j = 1; j <= a.m(); ++j)
            out << QString::number(table ? a.table()[i][j] : a.linear()[j]);
    if (LabCode::isSearch(operation) && a.m() > 0 && (!table || a.n() > 0))
        out << QString::number(a.extreme()) << QString::number(a.count());
    return out;
}

// Runs the program in the language's own tools; what it printed, or why not.
QString runProgram(LabCode::Language language, const QString &program, const QTemporaryDir &dir, int k)
{
    const QString base = dir.filePath(QStringLiteral("lab%1").arg(k));
    QFile source(base + LabProgram::suffix(language));
    if (!source.open(QIODevice::WriteOnly) || source.write(program.toUtf8()) < 0)
        return QStringLiteral("cannot write the source");
    source.close();
    QProcess p;
    if (language == LabCode::Language::Pascal) {
        p.start(QStringLiteral("fpc"),
                {QStringLiteral("-v0"), QStringLiteral("-FE") + dir.path(), QStringLiteral("-o") + base,
                 source.fileName()});
        p.waitForFinished(60000);
        if (p.exitCode() != 0)
            return QStringLiteral("fpc: ") + QString::fromUtf8(p.readAll());
        p.start(base, {});
    } else {
        p.start(QStringLiteral("python3"), {source.fileName()});
    }
    p.waitForFinished(30000);
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput())
                             : QStringLiteral("failed: ") + QString::fromUtf8(p.readAllStandardError());
}

} // namespace

void TestSteps::programs_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("position");
    std::mt19937 engine(20261211);
    for (int operation = 0; operation <= int(Operation::SortTable); ++operation) {
        const int m = 2 + int(engine() % 8);
        const int n = 2 + int(engine() % 6);
        const int last = operation == int(Operation::DeleteRow) || operation == int(Operation::InsertRow) ? n : m;
        QTest::addRow("op%d-random", operation) << operation << m << n << 1 + int(engine() % quint32(last));
        if (!LabCode::takesPosition(Operation(operation)))
            continue;
        QTest::addRow("op%d-first", operation) << operation << m << n << 1;
        QTest::addRow("op%d-last", operation)
            << operation << m << n << (LabCode::isInsert(Operation(operation)) ? last + 1 : last);
        QTest::addRow("op%d-below-1", operation) << operation << m << n << (operation % 2 ? 0 : -3);
    }
}

// The program the step window offers runs as shown: compiled by fpc, run by
// python3, it prints what the lab printed after the operation.
void TestSteps::programs()
{
    QFETCH(int, operation);
    QFETCH(int, m);
    QFETCH(int, n);
    QFETCH(int, position);
    const auto op = Operation(operation);
    if (QStandardPaths::findExecutable(QStringLiteral("fpc")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        QSKIP("needs fpc and python3, which scripts/test installs");
    LabArrays lab = drawnArrays(quint32(operation * 977 + m * 13 + n + position), m, n);
    const StepTrace::State before = StepTrace(lab, LabCode::onTable(op)).state(0);
    run(lab, op, qint16(position), nullptr);
    const QStringList expected = labAfter(lab, op);
    QTemporaryDir dir;
    int k = 0;
    for (LabCode::Language language : {LabCode::Language::Pascal, LabCode::Language::Python}) {
        const QString program = LabProgram::text(op, language, before, qint16(position));
        const QString printed = runProgram(language, program, dir, k++);
        QVERIFY2(printed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts) == expected,
                 qPrintable(QStringLiteral("%1\n---\n%2\n--- expected: %3")
                                .arg(program, printed, expected.join(QLatin1Char(' ')))));
    }
}

void TestSteps::algorithmicSyntax_data()
{
    QTest::addColumn<int>("operation");
    for (int operation = 0; operation <= int(Operation::SortTable); ++operation)
        QTest::addRow("op%d", operation) << operation;
}

// The algorithmic language's program against the language's documented
// rules: each line a declaration, a loop or a test of its own form, an
// assignment with ":=", or output; blocks closed; every name declared, and
// none that the language reserves for its own algorithms.
void TestSteps::algorithmicSyntax()
{
    QFETCH(int, operation);
    LabArrays lab = drawnArrays(7, 4, 3);
    const StepTrace::State before = StepTrace(lab, LabCode::onTable(Operation(operation))).state(0);
    const QString program = LabProgram::text(Operation(operation), Language::Algorithmic, before, 2);
    static const QStringList reserved
        = {QStringLiteral("min"),   QStringLiteral("max"),  QStringLiteral("imin"), QStringLiteral("imax"),
           QStringLiteral("мин"),   QStringLiteral("макс"), QStringLiteral("div"),  QStringLiteral("mod"),
           QStringLiteral("abs"),   QStringLiteral("iabs"), QStringLiteral("sqrt"), QStringLiteral("sign"),
           QStringLiteral("int"),   QStringLiteral("rnd"),  QStringLiteral("irnd"), QStringLiteral("rand"),
           QStringLiteral("irand"), QStringLiteral("длин"), QStringLiteral("sin"),  QStringLiteral("cos"),
           QStringLiteral("нс"),    QStringLiteral("да"),   QStringLiteral("нет"),  QStringLiteral("знач")};
    const QList<QRegularExpression> forms = {
        QRegularExpression(QStringLiteral("^(алг \\S+|нач|кон|кц|все|вывод нс)$")),
        QRegularExpression(QStringLiteral("^цел ([a-z]+)(, [a-z]+)*$")),
        QRegularExpression(QStringLiteral("^целтаб [a-z]+\\[1:\\d+(, 1:\\d+)?\\]$")),
        QRegularExpression(QStringLiteral("^нц для [a-z]+ от .+ до .+( шаг -1)?$")),
        QRegularExpression(QStringLiteral("^если .+ то( [a-z]+ := .+ все)?$")),
        QRegularExpression(QStringLiteral("^[a-z]+(\\[[^\\]]+\\])? := [^;]+(; [a-z]+(\\[[^\\]]+\\])? := [^;]+)*$")),
        QRegularExpression(QStringLiteral("^вывод .+$")),
    };
    QStringList declared;
    int loops = 0;
    int tests = 0;
    for (QString line : program.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        line = line.trimmed();
        QVERIFY2(std::any_of(forms.cbegin(), forms.cend(), [&line](const auto &f) { return f.match(line).hasMatch(); }),
                 qPrintable(line));
        if (line.startsWith(QStringLiteral("цел ")))
            declared << line.mid(4).split(QStringLiteral(", "));
        if (line.startsWith(QStringLiteral("целтаб ")))
            declared << line.mid(7).section(QLatin1Char('['), 0, 0);
        loops += line.startsWith(QStringLiteral("нц ")) - (line == QStringLiteral("кц"));
        tests += (line.startsWith(QStringLiteral("если ")) && !line.endsWith(QStringLiteral(" все")))
            - (line == QStringLiteral("все"));
        QVERIFY(loops >= 0 && tests >= 0);
        // Every Latin name in the line is declared, and none is reserved.
        static const QRegularExpression name(QStringLiteral("\\b[a-z]+\\b"));
        for (auto it = name.globalMatch(line.section(QLatin1Char('"'), 0, 0)); it.hasNext();) {
            const QString used = it.next().captured();
            if (line.startsWith(QStringLiteral("цел")))
                continue;
            QVERIFY2(declared.contains(used), qPrintable(used + QStringLiteral(" in ") + line));
        }
    }
    QCOMPARE(loops, 0);
    QCOMPARE(tests, 0);
    for (const QString &n : std::as_const(declared))
        QVERIFY2(!reserved.contains(n), qPrintable(n));
}

void TestSteps::randomGuesses_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("below"); // percent
    QTest::newRow("сорт1 of 6") << int(Operation::SortLinear) << 6 << 1 << 40.0;
    QTest::newRow("a column deleted from 5 x 4") << int(Operation::DeleteColumn) << 5 << 4 << 10.0;
    QTest::newRow("a row deleted from 5 x 4") << int(Operation::DeleteRow) << 5 << 4 << 10.0;
}

// A pupil who clicks a cell at random guesses the changes seldom: measured
// over many runs, not assumed.
void TestSteps::randomGuesses()
{
    QFETCH(int, operation);
    QFETCH(int, m);
    QFETCH(int, n);
    QFETCH(double, below);
    const auto op = Operation(operation);
    std::mt19937 engine(20261212);
    int right = 0;
    int asked = 0;
    for (int run = 0; run < 200; ++run) {
        LabArrays lab = drawnArrays(engine(), m, n);
        auto trace = std::make_shared<StepTrace>(lab, LabCode::onTable(op));
        ::run(lab, op, qint16(1 + int(engine() % quint32(m))), trace.get());
        StepCursor cursor(trace, op, 1);
        GuessTally tally;
        for (int change = cursor.nextChange(0); change <= cursor.steps(); change = cursor.nextChange(change)) {
            const int rows = LabCode::onTable(op) ? n : 1;
            while (tally.choose(cursor, change,
                                {qint16(1 + int(engine() % quint32(rows))), qint16(1 + int(engine() % quint32(m)))})
                   == GuessTally::Choice::Wrong) {}
        }
        right += tally.right();
        asked += tally.guesses();
        QCOMPARE(tally.guesses(), cursor.changes());
    }
    const double percent = 100.0 * right / std::max(asked, 1);
    qInfo("a random clicker: %d of %d, %.1f %%", right, asked, percent);
    QVERIFY(asked > 0);
    QVERIFY2(percent < below, qPrintable(QString::number(percent)));
}

QTEST_GUILESS_MAIN(TestSteps)
#include "tst_steps.moc"
