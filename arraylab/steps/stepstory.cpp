#include "stepstory.h"

#include <algorithm>

using Line = LabObserver::Line;

StepStory::StepStory(const StepTrace &trace, LabCode::Operation operation, qint16 position)
    : m_trace(trace)
    , m_operation(operation)
    , m_position(position)
    , m_extreme(LabCode::extremeName(LabCode::isMinimum(operation)))
    , m_bufferColumns(std::max<int>(trace.state(0).columns, 1))
{}

QString StepStory::cellName(LabObserver::Cell cell) const
{
    if (m_operation == LabCode::Operation::SortTable)
        return QStringLiteral("b[%1]").arg(index(bufferIndex(cell)));
    if (!m_trace.table())
        return QStringLiteral("a[%1]").arg(index(cell.column));
    const QString format = m_base == 0 ? QStringLiteral("a[%1][%2]") : QStringLiteral("a[%1, %2]");
    return format.arg(index(cell.row)).arg(index(cell.column));
}

QString StepStory::named(LabObserver::Cell cell, const StepTrace::State &state) const
{
    return QStringLiteral("%1 = %2").arg(cellName(cell)).arg(state.cells[cell.row][cell.column]);
}

QString StepStory::sentence(int step) const
{
    // Under Python the assignments read as its code writes them.
    QString text = told(step);
    if (m_base == 0)
        text.replace(QStringLiteral(" := "), QStringLiteral(" = "));
    return text;
}

QString StepStory::told(int step) const
{
    if (step <= 0 || step > m_trace.size())
        return QStringLiteral("Массив до операции");
    const StepTrace::Step &s = m_trace.at(step);
    const StepTrace::State before = m_trace.state(step - 1);
    switch (s.kind) {
    case StepTrace::Kind::Compare:
        return compared(s, before);
    case StepTrace::Kind::Swap: {
        const StepTrace::State after = m_trace.state(step);
        return QStringLiteral("Меняем местами %1 и %2: теперь %3, %4")
            .arg(cellName(s.a), cellName(s.b), named(s.a, after), named(s.b, after));
    }
    case StepTrace::Kind::Assign:
        return assigned(s, before, m_trace.state(step));
    case StepTrace::Kind::Resize: {
        const bool rows = s.size == 0;
        const qint16 was = rows ? before.rows : before.columns;
        const QString name = rows ? QStringLiteral("n") : QStringLiteral("m");
        return QStringLiteral("%1 := %1 %2 1, теперь %1 = %3")
            .arg(name, s.b.row < was ? QStringLiteral("-") : QStringLiteral("+"))
            .arg(s.b.row);
    }
    case StepTrace::Kind::Other:
        return other(s, before, m_trace.state(step));
    }
    return QString();
}

QString StepStory::compared(const StepTrace::Step &s, const StepTrace::State &before) const
{
    if (s.line == Line::Compare) {
        return QStringLiteral("Сравниваем %1 и %2: %3")
            .arg(named(s.a, before), named(s.b, before),
                 s.outcome ? QStringLiteral("больше, меняем местами") : QStringLiteral("не больше, оставляем"));
    }
    const QString element = named(s.a, before);
    const QString extreme = QStringLiteral("%1 = %2").arg(m_extreme).arg(before.extreme);
    if (s.line == Line::CountTest) {
        return s.outcome ? QStringLiteral("%1 равно %2: считаем").arg(element, extreme)
                         : QStringLiteral("%1 не равно %2").arg(element, extreme);
    }
    const QString relation = LabCode::isMinimum(m_operation) ? QStringLiteral("меньше") : QStringLiteral("больше");
    return QStringLiteral("Сравниваем %1 с %2: %3")
        .arg(element, extreme,
             s.outcome ? relation + QStringLiteral(", запоминаем") : QStringLiteral("не ") + relation);
}

QString StepStory::assigned(const StepTrace::Step &s, const StepTrace::State &before,
                            const StepTrace::State &after) const
{
    switch (s.line) {
    case Line::Shift:
        return QStringLiteral("%1 := %2, теперь %3").arg(cellName(s.a), cellName(s.b), named(s.a, after));
    case Line::Fill:
        return QStringLiteral("%1 := %2: новое место заполнено").arg(cellName(s.a)).arg(s.b.row);
    case Line::ExtremeStart:
        return QStringLiteral("Начинаем с первого элемента: %1 := %2").arg(m_extreme, named(s.a, before));
    case Line::CopyIn:
    case Line::CopyOut: {
        const QString table = QStringLiteral("a[%1, %2]").arg(index(s.a.row)).arg(index(s.a.column));
        const QString row = QStringLiteral("b[%1]").arg(index(bufferIndex(s.a)));
        const qint16 value = after.cells[s.a.row][s.a.column];
        return s.line == Line::CopyIn ? QStringLiteral("%1 := %2 = %3: в строку b").arg(row, table).arg(value)
                                      : QStringLiteral("%1 := %2 = %3: обратно в таблицу").arg(table, row).arg(value);
    }
    default:
        break;
    }
    return QStringLiteral("%1 := %2, теперь %1 = %3").arg(m_extreme, cellName(s.a)).arg(after.extreme);
}

QString StepStory::other(const StepTrace::Step &s, const StepTrace::State &before, const StepTrace::State &after) const
{
    switch (s.line) {
    case Line::PositionTest: {
        const bool column = m_operation == LabCode::Operation::DeleteColumn;
        const int at = m_trace.table() && !column ? s.a.row : s.a.column;
        const QString v = m_trace.table() && column ? QStringLiteral("j") : QStringLiteral("i");
        return QStringLiteral("%1 = %2, k = %3: %4")
            .arg(v)
            .arg(index(at))
            .arg(index(m_position))
            .arg(s.outcome ? QStringLiteral("с позиции k и дальше, сдвигаем")
                           : QStringLiteral("до позиции k, пропускаем"));
    }
    case Line::PositionFirst:
        return s.outcome ? QStringLiteral("k = %1 — раньше первого места: вставляем первым, k := %2")
                               .arg(index(m_position))
                               .arg(index(1))
                         : QStringLiteral("k = %1: вставляем на это место").arg(index(m_position));
    case Line::CountReset:
        return QStringLiteral("count := 0: считаем элементы, равные %1 = %2").arg(m_extreme).arg(before.extreme);
    case Line::CountUp:
        return QStringLiteral("count := count + 1, теперь count = %1").arg(after.count);
    case Line::CopyInStart:
        return QStringLiteral("k := 0: таблица пойдёт в строку b по строкам");
    case Line::CopyOutStart:
        return QStringLiteral("k := 0: строка b пойдёт обратно в таблицу");
    default:
        break;
    }
    return QStringLiteral("k := k + 1, теперь k = %1").arg(bufferIndex(s.a));
}
