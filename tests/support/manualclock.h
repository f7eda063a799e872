#pragma once

#include "core/clock.h"

// A clock that stands still until told otherwise.
class ManualClock : public Clock
{
public:
    explicit ManualClock(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(12, 0)));

    QDateTime now() const override { return m_now; }
    void setNow(const QDateTime &now) { m_now = now; }
    void advance(qint64 msecs) { m_now = m_now.addMSecs(msecs); }

private:
    QDateTime m_now;
};
