#include "manualclock.h"

ManualClock::ManualClock(const QDateTime &start)
    : m_now(start)
{}
