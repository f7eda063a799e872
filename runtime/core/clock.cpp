#include "core/clock.h"

#include <cmath>

QDateTime Clock::now() const
{
    return QDateTime::currentDateTime();
}

double Clock::timeOfDay() const
{
    return time().msecsSinceStartOfDay() / 86400000.0;
}

float Clock::timeOfDaySingle() const
{
    const double exact = timeOfDay();
    float single = static_cast<float>(exact);
    if (double(single) > exact)
        single = std::nextafter(single, 0.0f);
    return single;
}

double Clock::secondsSinceMidnight() const
{
    return time().msecsSinceStartOfDay() / 1000.0;
}

Clock &Clock::system()
{
    static Clock clock;
    return clock;
}
