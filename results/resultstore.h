#pragma once

#include "resultrecord.h"

#include <QString>

// The results folder on the school's file server. Each record is written whole
// under a hidden name, synced and read back, then given its own name
// USER@HOST-YYYYMMDD-HHMMSS-XXXXXXXX.json, never taking another's: no
// appending and no locks, which a network file system does not keep.
class ResultStore
{
public:
    struct Written
    {
        bool saved = false;
        QString fileName;
        QString message; // why not, in Russian
    };

    static Written write(const QString &folder, const ResultRecord &record);
    static QString fileNameFor(const ResultRecord &record, quint32 random);

private:
    static QString safe(const QString &text);
};
