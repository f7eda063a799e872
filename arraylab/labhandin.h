#pragma once

#include "resultrecord.h"

#include <QDateTime>
#include <QString>

class QObject;
class ResultCourier;

// A lab's finished guessing run, handed in like the trainer's results when
// the class has a results folder; without one nothing is written.
class LabHandIn
{
public:
    // The courier, once there is one, is a child of parent.
    explicit LabHandIn(QObject *parent);

    static ResultRecord record(const ResultRecord::LabRun &run, const QDateTime &started, const QDateTime &finished);
    // The class's results folder is read at the first hand-in: a lab that
    // is never used for guessing reads nothing at start.
    ResultCourier *courier();
    // False when the class has no results folder.
    bool handIn(const ResultRecord &record);

private:
    QObject *m_parent;
    ResultCourier *m_courier = nullptr;
    bool m_looked = false;
};
