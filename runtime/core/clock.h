#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// The time of day and the date as the programs see them. Tests put a
// ManualClock in its place.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;

    QDate date() const { return now().date(); }
    QTime time() const { return now().time(); }

    // Time of day as a fraction of a day (0.5 is noon).
    double timeOfDay() const;
    // The same, stored in single precision and never later than the true time,
    // so a span measured from it never starts below zero.
    float timeOfDaySingle() const;
    double secondsSinceMidnight() const;

    static Clock &system();
};
