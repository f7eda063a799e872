#pragma once

#include <QString>

#include <array>

// Everything the trainer remembers between events. Whole numbers are 16-bit;
// a flag holds 0 (false) or -1 (true).
struct TrainerState
{
    static constexpr int FileEntries = 31; // indices 0..30
    static constexpr int Rows = 21;        // indices 0..20

    std::array<QString, FileEntries> questions;
    std::array<QString, FileEntries> answers;
    QString timeLimit;
    float startTime = 0; // time of day as a fraction of a day
    std::array<QString, Rows> replyTexts;
    std::array<qint16, Rows> marks{};
    qint16 correctCount = 0;
    qint16 errorCount = 0;
    qint16 matchCount = 0;
    float percent = 0;
    QString grade;
    std::array<qint16, Rows> drawn{};
    qint16 candidate = 0;
    qint16 innerIndex = 0;
    qint16 loopIndex = 0;
    qint16 questionPicked = 0;
    qint16 answerPicked = 0;
    qint16 pickedQuestion = 0;
    qint16 pickedAnswer = 0;
    std::array<qint16, Rows> questionMap{};
    std::array<qint16, Rows> answerOrder{};
    qint16 answeredCount = 0;
    QString rowText;
    qint16 controlsShown = 0;
    std::array<bool, Rows> scored{}; // questions already scored in this run
};
