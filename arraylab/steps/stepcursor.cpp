#include "stepcursor.h"

#include <algorithm>

using Line = LabObserver::Line;
using Operation = LabCode::Operation;

namespace {

bool isCopy(Line line)
{
    return line == Line::CopyIn || line == Line::CopyInNext || line == Line::CopyOut || line == Line::CopyOutNext;
}

// Statements that stand at no place of the array.
bool standsNowhere(const StepTrace::Step &s)
{
    return s.kind == StepTrace::Kind::Resize || s.line == Line::PositionFirst || s.line == Line::CopyInStart
        || s.line == Line::CopyOutStart;
}

} // namespace

StepCursor::StepCursor(std::shared_ptr<const StepTrace> trace, LabCode::Operation operation, qint16 position)
    : m_trace(std::move(trace))
    , m_operation(operation)
    , m_position(position)
    , m_listing(LabCode::listing(operation, m_language))
    , m_story(*m_trace, operation, position)
{
    for (int step = 1; step <= m_trace->size(); ++step) {
        if (StepTrace::changes(m_trace->at(step)))
            m_changes.append(step);
        if (m_trace->at(step).line == Line::CountReset)
            m_countReset = step;
    }
}

void StepCursor::setLanguage(LabCode::Language language)
{
    m_language = language;
    m_listing = LabCode::listing(m_operation, language);
    m_story.setBase(base());
}

StepTrace::State StepCursor::state(int step) const
{
    if (step != m_cachedStep) {
        m_cached = m_trace->state(step);
        m_cachedStep = step;
    }
    return m_cached;
}

QVector<StepCursor::Touch> StepCursor::touched(int step) const
{
    if (step <= 0 || step > steps())
        return {};
    const StepTrace::Step &s = m_trace->at(step);
    switch (s.line) {
    case Line::Compare:
        return {{s.a, Role::Compared}, {s.b, Role::Compared}};
    case Line::Swap:
        return {{s.a, Role::Changed}, {s.b, Role::Changed}};
    case Line::Shift:
        return {{s.a, Role::Changed}, {s.b, Role::Source}};
    case Line::Fill:
    case Line::ExtremeNew:
    case Line::CopyOut:
        return {{s.a, Role::Changed}};
    case Line::ExtremeTest:
    case Line::CountTest:
        return {{s.a, Role::Compared}};
    case Line::ExtremeStart:
    case Line::CountUp:
    case Line::CopyIn:
        return {{s.a, Role::Source}};
    default:
        return {};
    }
}

int StepCursor::codeLine(int step) const
{
    return step > 0 && step <= steps() ? m_listing.line(m_trace->at(step).line) : -1;
}

QString StepCursor::kind(int step) const
{
    if (step <= 0 || step > steps())
        return QString();
    switch (m_trace->at(step).kind) {
    case StepTrace::Kind::Compare:
        return QStringLiteral("compare");
    case StepTrace::Kind::Swap:
        return QStringLiteral("swap");
    case StepTrace::Kind::Assign:
        return QStringLiteral("assign");
    case StepTrace::Kind::Resize:
        return QStringLiteral("resize");
    case StepTrace::Kind::Other:
        break;
    }
    return QStringLiteral("other");
}

int StepCursor::placed(int step) const
{
    for (int s = std::min(step, steps()); s > 0; --s) {
        if (!standsNowhere(m_trace->at(s)))
            return s;
    }
    return 0;
}

int StepCursor::pass(int step) const
{
    const QVector<int> &starts = m_trace->passStarts();
    return int(std::upper_bound(starts.cbegin(), starts.cend(), step) - starts.cbegin());
}

void StepCursor::addLoopVariables(int step, Variables &out) const
{
    const int at = placed(step);
    if (at == 0)
        return; // no loop has begun
    const StepTrace::Step &s = m_trace->at(at);
    const bool sort = LabCode::isSort(m_operation);
    if (m_operation == Operation::SortTable && !isCopy(s.line)) {
        out.append({QStringLiteral("i"), m_story.index(m_story.bufferIndex(s.a))});
    } else if (!m_trace->table() || (sort && !isCopy(s.line))) {
        out.append({QStringLiteral("i"), m_story.index(s.a.column)});
    } else {
        out.append({QStringLiteral("i"), m_story.index(s.a.row)});
        out.append({QStringLiteral("j"), m_story.index(s.a.column)});
        return;
    }
    if (sort)
        out.append({QStringLiteral("j"), m_story.index(pass(at))});
}

std::optional<int> StepCursor::sortCounter(int step) const
{
    if (step <= 0)
        return std::nullopt;
    const StepTrace::Step &s = m_trace->at(std::min(step, steps()));
    switch (s.line) {
    case Line::CopyInStart:
    case Line::CopyOutStart:
        return 0;
    case Line::CopyIn:
    case Line::CopyOut:
        return m_story.bufferIndex(s.a) - 1;
    case Line::CopyInNext:
    case Line::CopyOutNext:
        return m_story.bufferIndex(s.a);
    default:
        break;
    }
    // The sort itself runs on all k copied in.
    const StepTrace::State before = m_trace->state(0);
    return std::max(0, int(before.rows)) * std::max(0, int(before.columns));
}

StepCursor::Variables StepCursor::variables(int step) const
{
    Variables out;
    addLoopVariables(step, out);
    const StepTrace::State s = state(step);
    if (LabCode::takesPosition(m_operation)) {
        // An insert's first statement puts a position before the first at the first.
        const bool first = LabCode::isInsert(m_operation) && step >= 1 && m_position < 1;
        out.append({QStringLiteral("k"), m_story.index(first ? 1 : m_position)});
    } else if (m_operation == Operation::SortTable) {
        if (const std::optional<int> k = sortCounter(step))
            out.append({QStringLiteral("k"), *k});
    }
    if (LabCode::isSort(m_operation) && s.swaps > 0 && m_language != LabCode::Language::Python)
        out.append({QStringLiteral("temp"), s.temp});
    if (LabCode::isSearch(m_operation) && step >= 1 && steps() > 0 && m_trace->at(1).line == Line::ExtremeStart)
        out.append({LabCode::extremeName(LabCode::isMinimum(m_operation)), s.extreme});
    if (m_countReset > 0 && step >= m_countReset)
        out.append({QStringLiteral("count"), s.count});
    out.append({QStringLiteral("m"), s.columns});
    if (m_trace->table())
        out.append({QStringLiteral("n"), s.rows});
    return out;
}

int StepCursor::lastChange(int step) const
{
    const auto after = std::upper_bound(m_changes.cbegin(), m_changes.cend(), step);
    return after == m_changes.cbegin() ? 0 : *(after - 1);
}

int StepCursor::nextChange(int step) const
{
    const auto next = std::upper_bound(m_changes.cbegin(), m_changes.cend(), step);
    return next == m_changes.cend() ? steps() + 1 : *next;
}

QString StepCursor::question(int standing) const
{
    const int next = nextChange(standing);
    if (next > steps())
        return QString();
    // Where the algorithm goes on from: the first test after the last change.
    const auto firstAfter = [this, standing, next](Line line) {
        for (int s = standing + 1; s <= next; ++s) {
            if (m_trace->at(s).line == line)
                return s;
        }
        return next;
    };
    if (LabCode::isSort(m_operation)) {
        const int compare = firstAfter(Line::Compare);
        return QStringLiteral("Проход %1, просмотр с %2. Какие элементы поменяются местами следующими?")
            .arg(pass(compare))
            .arg(m_story.cellName(m_trace->at(compare).a));
    }
    if (LabCode::isSearch(m_operation)) {
        const int test = firstAfter(Line::ExtremeTest);
        return QStringLiteral("Просмотр с %1. Какой элемент станет новым %2?")
            .arg(m_story.cellName(m_trace->at(test).a),
                 LabCode::isMinimum(m_operation) ? QStringLiteral("минимумом") : QStringLiteral("максимумом"));
    }
    return QStringLiteral("В какую ячейку запишется следующее значение?");
}

bool StepCursor::changedBy(int change, LabObserver::Cell cell) const
{
    if (change <= 0 || change > steps())
        return false;
    for (const Touch &t : touched(change)) {
        if (t.role == Role::Changed && t.cell.row == cell.row && t.cell.column == cell.column)
            return true;
    }
    return false;
}
