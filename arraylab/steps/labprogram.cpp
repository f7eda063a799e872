#include "labprogram.h"

#include "labarrays.h"

#include <algorithm>

using Language = LabCode::Language;
using Operation = LabCode::Operation;

namespace {

constexpr int kPerLine = 8; // assignments of values on one line of the program

QString indented(const QStringList &lines, int by)
{
    QStringList out;
    for (const QString &line : lines)
        out << QString(by, QLatin1Char(' ')) + line;
    return out.join(QLatin1Char('\n'));
}

// The names the program declares besides the array: the loops', the
// position's, the sizes, and what the operation keeps.
QStringList scalars(Operation operation)
{
    QStringList names{QStringLiteral("i"), QStringLiteral("j"), QStringLiteral("k"), QStringLiteral("m"),
                      QStringLiteral("n")};
    if (LabCode::isSort(operation))
        names << QStringLiteral("temp");
    if (LabCode::isSearch(operation))
        names << LabCode::extremeName(LabCode::isMinimum(operation)) << QStringLiteral("count");
    return names;
}

QString pascal(Operation operation, const QStringList &sizes, const QStringList &values, const QStringList &algorithm)
{
    const bool table = LabCode::onTable(operation);
    QStringList p{QStringLiteral("program Lab;"), QStringLiteral("var")};
    p << (table ? QStringLiteral("  a: array[1..40, 1..40] of integer;")
                : QStringLiteral("  a: array[1..40] of integer;"));
    if (operation == Operation::SortTable)
        p << QStringLiteral("  b: array[1..1600] of integer;");
    p << QStringLiteral("  %1: integer;").arg(scalars(operation).join(QStringLiteral(", ")));
    p << QStringLiteral("begin");
    for (const QString &line : sizes + values)
        p << QStringLiteral("  ") + line;
    p << indented(algorithm, 2);
    if (table)
        p << QStringLiteral("  for i := 1 to n do") << QStringLiteral("    for j := 1 to m do")
          << QStringLiteral("      write(a[i, j], ' ');");
    else
        p << QStringLiteral("  for i := 1 to m do") << QStringLiteral("    write(a[i], ' ');");
    p << QStringLiteral("  writeln;");
    if (LabCode::isSearch(operation))
        p << QStringLiteral("  writeln(%1, ' ', count);").arg(LabCode::extremeName(LabCode::isMinimum(operation)));
    p << QStringLiteral("end.");
    return p.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString python(Operation operation, const QStringList &sizes, const QStringList &values, const QStringList &algorithm)
{
    const bool table = LabCode::onTable(operation);
    // As many places as the lab's array has, so that an insert has room.
    QStringList p{QStringLiteral("N = 40")};
    p << (table ? QStringLiteral("a = [[0] * N for i in range(N)]") : QStringLiteral("a = [0] * N"));
    if (operation == Operation::SortTable)
        p << QStringLiteral("b = [0] * (N * N)");
    p << sizes << values << algorithm;
    p << (table ? QStringLiteral("print(*[a[i][j] for i in range(n) for j in range(m)])")
                : QStringLiteral("print(*[a[i] for i in range(m)])"));
    if (LabCode::isSearch(operation))
        p << QStringLiteral("print(%1, count)").arg(LabCode::extremeName(LabCode::isMinimum(operation)));
    return p.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString algorithmic(Operation operation, const QStringList &sizes, const QStringList &values,
                    const QStringList &algorithm)
{
    const bool table = LabCode::onTable(operation);
    QStringList p{QStringLiteral("алг Лаборатория"), QStringLiteral("нач")};
    p << QStringLiteral("  цел %1").arg(scalars(operation).join(QStringLiteral(", ")));
    p << (table ? QStringLiteral("  целтаб a[1:40, 1:40]") : QStringLiteral("  целтаб a[1:40]"));
    if (operation == Operation::SortTable)
        p << QStringLiteral("  целтаб b[1:1600]");
    for (const QString &line : sizes + values)
        p << QStringLiteral("  ") + line;
    p << indented(algorithm, 2);
    if (table)
        p << QStringLiteral("  нц для i от 1 до n") << QStringLiteral("    нц для j от 1 до m")
          << QStringLiteral("      вывод a[i, j], \" \"") << QStringLiteral("    кц") << QStringLiteral("  кц");
    else
        p << QStringLiteral("  нц для i от 1 до m") << QStringLiteral("    вывод a[i], \" \"")
          << QStringLiteral("  кц");
    p << QStringLiteral("  вывод нс");
    if (LabCode::isSearch(operation))
        p << QStringLiteral("  вывод %1, \" \", count, нс").arg(LabCode::extremeName(LabCode::isMinimum(operation)));
    p << QStringLiteral("кон");
    return p.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QStringList LabProgram::values(const StepTrace::State &before, bool table, Language language)
{
    const int rows = table ? std::clamp<int>(before.rows, 0, LabArrays::Bound) : 1;
    const int columns = std::clamp<int>(before.columns, 0, LabArrays::Bound);
    QStringList lines;
    for (int r = 1; r <= rows; ++r) {
        if (language == Language::Python) {
            QStringList row;
            for (int c = 1; c <= columns; ++c)
                row << QString::number(before.cells[r][c]);
            if (columns > 0)
                lines << QStringLiteral("%1[0:%2] = [%3]")
                             .arg(table ? QStringLiteral("a[%1]").arg(r - 1) : QStringLiteral("a"))
                             .arg(columns)
                             .arg(row.join(QStringLiteral(", ")));
            continue;
        }
        QStringList line;
        for (int c = 1; c <= columns; ++c) {
            const QString place = table ? QStringLiteral("a[%1, %2]").arg(r).arg(c) : QStringLiteral("a[%1]").arg(c);
            line << QStringLiteral("%1 := %2").arg(place).arg(before.cells[r][c]);
            if (line.size() == kPerLine || c == columns) {
                lines << line.join(QStringLiteral("; "))
                        + (language == Language::Pascal ? QStringLiteral(";") : QString());
                line.clear();
            }
        }
    }
    return lines;
}

QString LabProgram::text(Operation operation, Language language, const StepTrace::State &before, qint16 position)
{
    const bool table = LabCode::onTable(operation);
    const QString end = language == Language::Pascal ? QStringLiteral(";") : QString();
    const QString assign = language == Language::Python ? QStringLiteral(" = ") : QStringLiteral(" := ");
    QStringList sizes{QStringLiteral("m") + assign + QString::number(before.columns) + end};
    if (table)
        sizes << QStringLiteral("n") + assign + QString::number(before.rows) + end;
    if (LabCode::takesPosition(operation)) {
        // Python counts places from 0: the place typed, one less.
        const int k = language == Language::Python ? position - 1 : position;
        sizes << QStringLiteral("k") + assign + QString::number(k) + end;
    }
    const QStringList lines = values(before, table, language);
    const QStringList algorithm = LabCode::listing(operation, language).lines;
    switch (language) {
    case Language::Pascal:
        return pascal(operation, sizes, lines, algorithm);
    case Language::Python:
        return python(operation, sizes, lines, algorithm);
    case Language::Algorithmic:
        break;
    }
    return algorithmic(operation, sizes, lines, algorithm);
}

QString LabProgram::suffix(Language language)
{
    switch (language) {
    case Language::Pascal:
        return QStringLiteral(".pas");
    case Language::Python:
        return QStringLiteral(".py");
    case Language::Algorithmic:
        break;
    }
    return QStringLiteral(".kum");
}
