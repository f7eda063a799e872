#pragma once

#include <QObject>
#include <QTimer>

#include <optional>

class Clock;

// A window timer. Its design interval is 1 ms, but what it drives is a clock
// line whose text changes once a second, so it wakes only when that text can
// change: at each whole second of the time of day and, when told to follow a
// span, at each whole second of that span. An idle window then costs next to
// nothing while the line stays on time.
class FormTimer : public QObject
{
    Q_OBJECT

public:
    FormTimer(const QString &name, const Clock *clock, QObject *parent);

    int Interval() const { return 1; }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setClock(const Clock *clock) { m_clock = clock; }

    // Also wake when the span measured from this time of day (a fraction of a
    // day) passes a whole second. A new start time is taken up at once.
    void followSpanFrom(double startFraction);

    // Milliseconds until the next tick is due, as computed from the clock.
    int nextDelay() const;

signals:
    void Timer();

private:
    void fire();
    void scheduleNext(int delay);

    QTimer m_timer;
    const Clock *m_clock;
    bool m_enabled = true;
    std::optional<double> m_spanStart;
};
