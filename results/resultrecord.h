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

    // A lab's guessing run, guessed from its first step to its end: which lab
    // and operation, on how large an array, how many changes the run has, how
    // many were asked and how many of them were guessed at the first try.
    struct LabRun
    {
        QString lab;
        QString operation;
        int rows = 0;
        int columns = 0;
        int guesses = 0;
        int guessedRight = 0;
        int changes = 0; // the changes the run has; 0 in a record from before it was kept
    };

    static constexpr int Format = 1;
    // A record file larger than this is not a record.
    static constexpr qint64 MaxBytes = qint64(256) * 1024;
    // What a record may hold: a run has 16 steps, and no text the trainer
    // shows is longer than a topic's entry.
    static constexpr int MaxSteps = 64;
    static constexpr int MaxText = 2000;
    static constexpr int MaxIndex = 1000;

    QByteArray id; // 128 random bits in hex, drawn when the run starts
    // The attempt a record ends: the opening record's id, where it is not the
    // record's own (a run that ran out of time and was then graded hands in
    // two records). Empty: the record's own id.
    QByteArray attempt;
    // Handed in as the run starts, so that the teacher sees every attempt:
    // no figures, no steps, its end time its start.
    bool opening = false;
    // Closed without an end of its own: its state could not go on (other
    // topic files). No grade; the steps it holds.
    bool unfinished = false;
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
    // The opening record of the attempt this record ends: the same who,
    // where, topic, mode, start and limit, nothing of its course.
    static ResultRecord openingOf(const ResultRecord &record);
    // USER@HOST-YYYYMMDD-HHMMSS-XXXXXXXX.json, the last part from the id:
    // the same record always has the same name. An opening record ends in
    // .start instead, so that nothing takes it for a result.
    QString fileName() const;
    static inline const QString Ending = QStringLiteral(".json");
    static inline const QString OpeningEnding = QStringLiteral(".start");
    // The attempt this record belongs to.
    QByteArray attemptId() const { return attempt.isEmpty() ? id : attempt; }
    // Whether name is one that fileName() gives a record of user, its last
    // part free (a record handed in under another name keeps its id).
    static bool isFileNameOf(const QString &name, const QString &user);
    // The same name with other random digits in its last part.
    static QString withFreshDigits(const QString &name);

    QByteArray toJson() const;
    // The record in bytes, its texts cleaned of control characters; or
    // nothing when they are not one, with why ("не запись: …") in *reason.
    static std::optional<ResultRecord> fromJson(const QByteArray &bytes, QString *reason = nullptr);
};
