#include "labcode.h"

#include <QRegularExpression>

#include <optional>

namespace {

using Line = LabObserver::Line;
using Language = LabCode::Language;
using Operation = LabCode::Operation;

// Writes one algorithm in one language from statements in a neutral form:
// ":=" assigns, "=" compares, a[i, j] indexes a table. Pascal and the
// algorithmic language count from 1; Python from 0, so each loop and each
// statement that names a first or last place gives Python's form too. The
// bodies read the same in all three: a[i + 1] is the next element either way.
class Writer
{
public:
    explicit Writer(Language language)
        : m_language(language)
    {}

    bool python() const { return m_language == Language::Python; }

    // for v from first to last; Python's range() of the same elements.
    void forUp(const QString &v, const QString &first, const QString &last, const QString &pythonRange)
    {
        open(m_language == Language::Algorithmic  ? QStringLiteral("нц для %1 от %2 до %3").arg(v, first, last)
                 : m_language == Language::Pascal ? QStringLiteral("for %1 := %2 to %3 do begin").arg(v, first, last)
                                                  : QStringLiteral("for %1 in range(%2):").arg(v, pythonRange));
    }
    void forDown(const QString &v, const QString &first, const QString &last, const QString &pythonRange)
    {
        open(m_language == Language::Algorithmic ? QStringLiteral("нц для %1 от %2 до %3 шаг -1").arg(v, first, last)
                 : m_language == Language::Pascal
                 ? QStringLiteral("for %1 := %2 downto %3 do begin").arg(v, first, last)
                 : QStringLiteral("for %1 in range(%2):").arg(v, pythonRange));
    }
    void endFor() { close(QStringLiteral("кц")); }
    void ifThen(QString condition, std::optional<Line> role = std::nullopt)
    {
        if (python())
            condition.replace(QStringLiteral(" = "), QStringLiteral(" == "));
        open(m_language == Language::Algorithmic  ? QStringLiteral("если %1 то").arg(condition)
                 : m_language == Language::Pascal ? QStringLiteral("if %1 then begin").arg(condition)
                                                  : QStringLiteral("if %1:").arg(condition),
             role);
    }
    void endIf() { close(QStringLiteral("все")); }
    // One statement; pythonText where Python says it otherwise (counting from 0).
    void statement(QString text, std::optional<Line> role = std::nullopt, const QString &pythonText = QString())
    {
        if (python() && !pythonText.isEmpty())
            text = pythonText;
        if (m_language == Language::Pascal)
            text += QLatin1Char(';');
        else if (python())
            text.replace(QStringLiteral(":="), QStringLiteral("="));
        add(text, role);
    }
    // A test and its one statement on one line.
    void ifOneLine(const QString &condition, const QString &then, Line role, const QString &pythonCondition,
                   const QString &pythonThen)
    {
        add(m_language == Language::Algorithmic  ? QStringLiteral("если %1 то %2 все").arg(condition, then)
                : m_language == Language::Pascal ? QStringLiteral("if %1 then %2;").arg(condition, then)
                                                 : QStringLiteral("if %1: %2").arg(pythonCondition, pythonThen),
            role);
    }
    // The exchange on one line: through temp, or Python's own.
    void exchange(const QString &x, const QString &y)
    {
        add(python() ? QStringLiteral("%1, %2 = %2, %1").arg(x, y)
                     : QStringLiteral("temp := %1; %1 := %2; %2 := temp%3")
                           .arg(x, y, m_language == Language::Pascal ? QStringLiteral(";") : QString()),
            Line::Swap);
    }
    LabCode::Listing done() { return m_listing; }

private:
    void open(const QString &text, std::optional<Line> role = std::nullopt)
    {
        add(text, role);
        ++m_depth;
    }
    void close(const QString &algorithmic)
    {
        --m_depth;
        if (m_language == Language::Algorithmic)
            add(algorithmic, std::nullopt);
        else if (m_language == Language::Pascal)
            add(QStringLiteral("end;"), std::nullopt);
    }
    void add(QString text, std::optional<Line> role)
    {
        static const QRegularExpression tableIndex(QStringLiteral("\\[([^\\],]+), ([^\\]]+)\\]"));
        if (python())
            text.replace(tableIndex, QStringLiteral("[\\1][\\2]"));
        if (role)
            m_listing.lineOf[size_t(*role)] = int(m_listing.lines.size());
        m_listing.lines.append(QString(qsizetype(m_depth) * 4, QLatin1Char(' ')) + text);
    }

    Language m_language;
    int m_depth = 0;
    LabCode::Listing m_listing;
};

void deleteElement(Writer &w)
{
    w.forUp(QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("m - 1"), QStringLiteral("m - 1"));
    w.ifThen(QStringLiteral("i >= k"), Line::PositionTest);
    w.statement(QStringLiteral("a[i] := a[i + 1]"), Line::Shift);
    w.endIf();
    w.endFor();
    w.statement(QStringLiteral("m := m - 1"), Line::Resize);
}

void deleteLine(Writer &w, bool column)
{
    if (column) {
        w.forUp(QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("n"), QStringLiteral("n"));
        w.forUp(QStringLiteral("j"), QStringLiteral("1"), QStringLiteral("m - 1"), QStringLiteral("m - 1"));
        w.ifThen(QStringLiteral("j >= k"), Line::PositionTest);
        w.statement(QStringLiteral("a[i, j] := a[i, j + 1]"), Line::Shift);
    } else {
        w.forUp(QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("n - 1"), QStringLiteral("n - 1"));
        w.forUp(QStringLiteral("j"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("m"));
        w.ifThen(QStringLiteral("i >= k"), Line::PositionTest);
        w.statement(QStringLiteral("a[i, j] := a[i + 1, j]"), Line::Shift);
    }
    w.endIf();
    w.endFor();
    w.endFor();
    w.statement(column ? QStringLiteral("m := m - 1") : QStringLiteral("n := n - 1"), Line::Resize);
}

void insertLine(Writer &w, bool column)
{
    // The lab takes a position before the first as the first.
    w.ifOneLine(QStringLiteral("k < 1"), QStringLiteral("k := 1"), Line::PositionFirst, QStringLiteral("k < 0"),
                QStringLiteral("k = 0"));
    if (column) {
        w.forUp(QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("n"), QStringLiteral("n"));
        w.forDown(QStringLiteral("j"), QStringLiteral("m + 1"), QStringLiteral("k + 1"), QStringLiteral("m, k, -1"));
        w.statement(QStringLiteral("a[i, j] := a[i, j - 1]"), Line::Shift);
        w.endFor();
        w.statement(QStringLiteral("a[i, k] := 100"), Line::Fill);
    } else {
        w.forUp(QStringLiteral("j"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("m"));
        w.forDown(QStringLiteral("i"), QStringLiteral("n + 1"), QStringLiteral("k + 1"), QStringLiteral("n, k, -1"));
        w.statement(QStringLiteral("a[i, j] := a[i - 1, j]"), Line::Shift);
        w.endFor();
        w.statement(QStringLiteral("a[k, j] := 100"), Line::Fill);
    }
    w.endFor();
    w.statement(column ? QStringLiteral("m := m + 1") : QStringLiteral("n := n + 1"), Line::Resize);
}

// Loops over every element of the linear array or the table; returns the element.
QString openAll(Writer &w, bool table)
{
    if (!table) {
        w.forUp(QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("m"));
        return QStringLiteral("a[i]");
    }
    w.forUp(QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("n"), QStringLiteral("n"));
    w.forUp(QStringLiteral("j"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("m"));
    return QStringLiteral("a[i, j]");
}

void closeAll(Writer &w, bool table)
{
    w.endFor();
    if (table)
        w.endFor();
}

void search(Writer &w, bool table, bool minimum)
{
    const QString x = LabCode::extremeName(minimum);
    w.statement(QStringLiteral("%1 := %2").arg(x, table ? QStringLiteral("a[1, 1]") : QStringLiteral("a[1]")),
                Line::ExtremeStart,
                QStringLiteral("%1 := %2").arg(x, table ? QStringLiteral("a[0, 0]") : QStringLiteral("a[0]")));
    QString element = openAll(w, table);
    w.ifThen(QStringLiteral("%1 %2 %3").arg(element, minimum ? QStringLiteral("<") : QStringLiteral(">"), x),
             Line::ExtremeTest);
    w.statement(QStringLiteral("%1 := %2").arg(x, element), Line::ExtremeNew);
    w.endIf();
    closeAll(w, table);
    w.statement(QStringLiteral("count := 0"), Line::CountReset);
    element = openAll(w, table);
    w.ifThen(QStringLiteral("%1 = %2").arg(element, x), Line::CountTest);
    w.statement(QStringLiteral("count := count + 1"), Line::CountUp);
    w.endIf();
    closeAll(w, table);
}

void exchangeSort(Writer &w, const QString &a, const QString &length)
{
    const QString last = length + QStringLiteral(" - 1");
    w.forUp(QStringLiteral("j"), QStringLiteral("1"), last, last);
    w.forUp(QStringLiteral("i"), QStringLiteral("1"), last, last);
    w.ifThen(QStringLiteral("%1[i] > %1[i + 1]").arg(a), Line::Compare);
    w.exchange(a + QStringLiteral("[i]"), a + QStringLiteral("[i + 1]"));
    w.endIf();
    w.endFor();
    w.endFor();
}

// The table goes into the row b, row by row, is sorted there, and comes back.
void copyTable(Writer &w, bool back)
{
    w.statement(QStringLiteral("k := 0"), back ? Line::CopyOutStart : Line::CopyInStart);
    openAll(w, true);
    w.statement(back ? QStringLiteral("a[i, j] := b[k + 1]") : QStringLiteral("b[k + 1] := a[i, j]"),
                back ? Line::CopyOut : Line::CopyIn,
                back ? QStringLiteral("a[i, j] := b[k]") : QStringLiteral("b[k] := a[i, j]"));
    w.statement(QStringLiteral("k := k + 1"), back ? Line::CopyOutNext : Line::CopyInNext);
    closeAll(w, true);
}

void sortTable(Writer &w)
{
    copyTable(w, false);
    exchangeSort(w, QStringLiteral("b"), QStringLiteral("k"));
    copyTable(w, true);
}

} // namespace

LabCode::Listing LabCode::listing(Operation operation, Language language)
{
    Writer w(language);
    switch (operation) {
    case Operation::DeleteElement:
        deleteElement(w);
        break;
    case Operation::DeleteRow:
    case Operation::DeleteColumn:
        deleteLine(w, operation == Operation::DeleteColumn);
        break;
    case Operation::InsertRow:
    case Operation::InsertColumn:
        insertLine(w, operation == Operation::InsertColumn);
        break;
    case Operation::MinLinear:
    case Operation::MaxLinear:
    case Operation::MinTable:
    case Operation::MaxTable:
        search(w, onTable(operation), isMinimum(operation));
        break;
    case Operation::SortLinear:
        exchangeSort(w, QStringLiteral("a"), QStringLiteral("m"));
        break;
    case Operation::SortTable:
        sortTable(w);
        break;
    }
    return w.done();
}

QString LabCode::languageName(Language language)
{
    switch (language) {
    case Language::Algorithmic:
        break;
    case Language::Pascal:
        return QStringLiteral("Паскаль");
    case Language::Python:
        return QStringLiteral("Python");
    }
    return QStringLiteral("Алгоритмический язык");
}

QString LabCode::extremeName(bool minimum)
{
    // Not min and max: the names of built-in functions of the algorithmic
    // language and of Python.
    return minimum ? QStringLiteral("mn") : QStringLiteral("mx");
}

bool LabCode::onTable(Operation operation)
{
    return operation != Operation::DeleteElement && operation != Operation::MinLinear
        && operation != Operation::MaxLinear && operation != Operation::SortLinear;
}

bool LabCode::isSort(Operation operation)
{
    return operation == Operation::SortLinear || operation == Operation::SortTable;
}

bool LabCode::isSearch(Operation operation)
{
    return operation >= Operation::MinLinear && operation <= Operation::MaxTable;
}

bool LabCode::isMinimum(Operation operation)
{
    return operation == Operation::MinLinear || operation == Operation::MinTable;
}

bool LabCode::isInsert(Operation operation)
{
    return operation == Operation::InsertRow || operation == Operation::InsertColumn;
}

bool LabCode::takesPosition(Operation operation)
{
    return operation <= Operation::InsertColumn;
}
