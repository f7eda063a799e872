#pragma once

#include "resultmode.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// Where a pupil stands in a run, kept while the trainer runs as one small
// file per run in the results folder (USER@HOST-XXXXXXXX.status, the last
// part from the run's id, so that nobody can take the name first), so that
// the teacher sees who works now and who stopped without handing in. A file
// server has no appends: each step writes the whole file under a hidden
// name and renames it over the last.
struct PupilStatus
{
    static const QString Suffix;
    static constexpr int Steps = 16;
    static constexpr qint64 MaxBytes = 4096;

    QByteArray id; // the run's
    QString user;
    QString name;
    QString host;
    QString topic;
    ResultMode::Value mode = ResultMode::Training;
    int step = 0; // steps taken
    QDateTime started;
    qint64 limitSeconds = 0;
    QDateTime updated;
    qint64 owner = -1; // the file's, as read; -1 where not known

    QString fileName() const; // USER@HOST-XXXXXXXX.status
    static bool isStatusName(const QString &name);
    QByteArray toJson() const;
    static std::optional<PupilStatus> fromJson(const QByteArray &bytes);

    // Writes it into folder; why not, or empty.
    static QString write(const QString &folder, const PupilStatus &status);
    // The same by way of the hidden name given, noted by the caller first
    // so that what a kill leaves there is removed later.
    static QString writeVia(const QString &folder, const PupilStatus &status, const QString &hidden);
    static void remove(const QString &folder, const QString &fileName);
    // Every status in folder that reads as one under its own name.
    static QVector<PupilStatus> readAll(const QString &folder, const QStringList &names);
};
