#pragma once

#include "resultmode.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

// One pupil's result as the teacher receives it: who, where, which topic and
// mode, when, the figures and the grade as printed, and every step taken.
// Stored as one UTF-8 JSON object.
struct ResultRecord
{
    // One step of a run: the question, the answer picked (shown, in Test 1),
    // the reply typed in Test 1, and whether it was right and counted (a
    // question picked again scores nothing). The texts are those the pupil
    // saw, so that a record still reads right after its topic is edited.
    struct Step
    {
        int question = 0;
        int answer = 0;
        QString reply; // Test 1 only
        bool right = false;
        bool counted = false;
        QString questionText;
        QString answerText;
    };

    // A lab's guessing run: which lab and operation, on how large an array,
    // and how many of the changes asked were guessed at the first try.
    struct LabRun
    {
        QString lab;
        QString operation;
        int rows = 0;
        int columns = 0;
        int guesses = 0;
        int guessedRight = 0;
    };

    static constexpr int Format = 1;
    // A record file larger than this is not a record.
    static constexpr qint64 MaxBytes = qint64(256) * 1024;

    QByteArray id; // 128 random bits in hex, drawn when the run starts
    QString user;
    QString name;
    QString host;
    QString topic;
    ResultMode::Value mode = ResultMode::Training;
    QDateTime started;
    QDateTime finished;
    qint64 limitSeconds = 0;
    bool timedOut = false;
    int matches = 0;
    int errors = 0;
    double percent = 0;
    QString grade; // empty after a time-out, written as null
    QVector<Step> steps;
    LabRun lab;             // mode Lab only
    QByteArray topicSha256; // hex

    // A record of this account on this computer, with nothing else filled in.
    static ResultRecord ofThisAccount();
    static QByteArray newId();
    // USER@HOST-YYYYMMDD-HHMMSS-XXXXXXXX.json, the last part from the id:
    // the same record always has the same name.
    QString fileName() const;

    QByteArray toJson() const;
    // The record in bytes, or nothing when they are not one.
    static std::optional<ResultRecord> fromJson(const QByteArray &bytes);
};
