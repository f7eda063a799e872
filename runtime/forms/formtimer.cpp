#include "forms/formtimer.h"

#include "core/clock.h"

#include <cmath>

namespace {
constexpr double kDayMs = 86400000.0;
// Wake a little after the second has turned, never before.
constexpr int kMarginMs = 2;
} // namespace

FormTimer::FormTimer(const QString &name, const Clock *clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
    setObjectName(name);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FormTimer::fire);
    scheduleNext(0);
}

void FormTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (enabled)
        scheduleNext(0);
    else
        m_timer.stop();
}

void FormTimer::followSpanFrom(double startFraction)
{
    if (m_spanStart && *m_spanStart == startFraction)
        return;
    m_spanStart = startFraction;
    if (m_enabled)
        scheduleNext(0);
}

int FormTimer::nextDelay() const
{
    const double now = m_clock->time().msecsSinceStartOfDay();
    double wait = 1000.0 - std::fmod(now, 1000.0);
    if (m_spanStart) {
        double span = std::fmod(now - *m_spanStart * kDayMs, kDayMs);
        if (span < 0)
            span += kDayMs;
        wait = std::min(wait, 1000.0 - std::fmod(span, 1000.0));
    }
    return std::clamp(int(std::ceil(wait)) + kMarginMs, 1, 1000 + kMarginMs);
}

void FormTimer::fire()
{
    if (!m_enabled)
        return;
    emit Timer();
    if (m_enabled && !m_timer.isActive())
        scheduleNext(nextDelay());
}

void FormTimer::scheduleNext(int delay)
{
    m_timer.start(delay);
}
