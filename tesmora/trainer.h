#pragma once

#include "resultrecord.h"

#include <QDateTime>
#include <QFlags>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class RandomSource;
struct RunState;

// The trainer's state and rules, without a window: the topic read from its two
// files, the draws of the tests, the scoring of every pick and reply, and the
// figures and grade of the result. Whole numbers are 16-bit; a flag holds 0
// (false) or -1 (true). The window reads these fields and prints them.
class Trainer
{
public:
    static constexpr int FileEntries = 31; // indices 0..30
    static constexpr int Rows = 21;        // indices 0..20
    static constexpr int Steps = 16;       // questions asked in every mode
    static constexpr int LastRow = 16;     // the lists show rows 0..16
    static constexpr qint16 True = -1;
    // Shown where the modes and the result find no questions loaded.
    inline static const QString NoQuestionsHint = QStringLiteral("Нажмите клавишу ОБУЧЕНИЕ");

    // The mode boxes ticked: they tell the picks and the result which mode ran.
    enum class Mode { Training = 1, Test1 = 2, Test2 = 4 };
    Q_DECLARE_FLAGS(Modes, Mode)

    // What a click on a question row does.
    enum class QuestionPick { Ignored, Plain, WithIndex };

    // What a click on an answer row does.
    struct AnswerPick
    {
        bool taken = false;
        bool right = false;    // a training or Test 1 pick that is right, shown as such
        bool finished = false; // the run's last step
    };

    // One step of a run, in the order taken, as the teacher's record keeps it.
    using Step = ResultRecord::Step;

    // What the result shows.
    struct Result
    {
        enum class Outcome { NotRun, TooFewAnswers, Graded };
        Outcome outcome = Outcome::NotRun;
        QStringList rows;         // per question row: its answer and mark
        QStringList matchLines;   // in the answers list
        QStringList noMatchLines; // in the questions list
        QString percentLine;
        QString errorLine;
        QString gradeLine;
        QStringList hintLines; // no questions loaded
    };

    // Reads test.txt and test1.txt from folder and starts afresh; returns the
    // problems met, as shown to the pupil.
    QStringList load(const QString &folder);
    // The topic's entries, in the order of the files (the first FileEntries of each).
    void setTopic(const QStringList &questions, const QStringList &answers);
    bool hasQuestions() const { return !m_questions[1].isEmpty(); }

    void restartClock(float timeOfDay) { m_startTime = timeOfDay; }
    void setTimeLimit(const QString &limit) { m_timeLimit = limit; }
    // True once the time limit has passed; the limit is then back to an hour.
    bool timeRanOut(double timeOfDay);

    // True when help was already asked for or a pick is under way; help then scolds.
    bool helpScolds() const { return m_questionPicked != 0 || m_answerPicked != 0; }
    void helpShown() { m_questionPicked = True; }
    // Shows or hides the controls in turn; returns whether they are now shown.
    bool toggleControls();

    // What every mode does first: counts and marks start afresh, and a run
    // begins at now under the time limit in force, with an id of its own.
    void startMode(const QDateTime &now = QDateTime());
    void startTraining();
    void startTest1();
    void startTest2(RandomSource &random);

    QuestionPick pickQuestion(int row, Modes modes);
    AnswerPick pickAnswer(int row, Modes modes);
    QString pickedAnswerText() const { return m_answers[m_answerOrder[m_pickedAnswer]]; }

    // Test 1: draws the candidate answer of a turn, then scores the reply.
    void startTurn(int turn, RandomSource &random);
    // The turn of a run gone on with, its candidate the one drawn before.
    void resumeTurn(int turn, int candidate);
    void scoreReply(int turn, const QString &text, double value);

    Result result(Modes modes);

    // The record of the run for the teacher, as it stands at finished: the
    // mode that ran, its figures, its grade (none after a time-out) and its
    // steps; who, where and which topic are the caller's to fill in. Nothing
    // before a run was started or without a mode.
    std::optional<ResultRecord> record(Modes modes, bool timedOut, const QDateTime &finished) const;
    // The run's opening record: who and where are the caller's, as above.
    std::optional<ResultRecord> opening(Modes modes) const;
    // Where the run stands, to go on with it later; who, where, which topic
    // and the last step's time are the caller's.
    std::optional<RunState> state(Modes modes) const;
    // Goes on with a run where state left it: the same id, start, limit and
    // draws, its steps taken again by the rules above, so that the figures
    // are the trainer's own. False, the trainer as after startMode, where
    // the steps do not replay (a state edited, or of other topic files).
    bool resume(const RunState &state);
    static Modes modesOf(ResultMode::Value mode);
    // Time limit text for a number of seconds: "0:05:00".
    static QString limitText(qint64 seconds);

    // The state, under its names; it changes only through the operations above.
    const std::array<QString, FileEntries> &questions() const { return m_questions; }
    const std::array<QString, FileEntries> &answers() const { return m_answers; }
    const QString &timeLimit() const { return m_timeLimit; }
    float startTime() const { return m_startTime; }
    const std::array<QString, Rows> &replyTexts() const { return m_replyTexts; }
    const std::array<qint16, Rows> &marks() const { return m_marks; }
    qint16 correctCount() const { return m_correctCount; }
    qint16 errorCount() const { return m_errorCount; }
    qint16 matchCount() const { return m_matchCount; }
    float percent() const { return m_percent; }
    const QString &grade() const { return m_grade; }
    const std::array<qint16, Rows> &drawn() const { return m_drawn; }
    qint16 candidate() const { return m_candidate; }
    qint16 questionPicked() const { return m_questionPicked; }
    qint16 answerPicked() const { return m_answerPicked; }
    qint16 pickedQuestion() const { return m_pickedQuestion; }
    qint16 pickedAnswer() const { return m_pickedAnswer; }
    const std::array<qint16, Rows> &questionMap() const { return m_questionMap; }
    const std::array<qint16, Rows> &answerOrder() const { return m_answerOrder; }
    qint16 answeredCount() const { return m_answeredCount; }
    const QString &rowText() const { return m_rowText; }
    qint16 controlsShown() const { return m_controlsShown; }
    const std::array<bool, Rows> &scored() const { return m_scored; }
    const QVector<Step> &steps() const { return m_steps; }

private:
    std::array<QString, FileEntries> m_questions;
    std::array<QString, FileEntries> m_answers;
    QString m_timeLimit;
    float m_startTime = 0; // time of day as a fraction of a day
    std::array<QString, Rows> m_replyTexts;
    std::array<qint16, Rows> m_marks{};
    qint16 m_correctCount = 0;
    qint16 m_errorCount = 0;
    qint16 m_matchCount = 0;
    float m_percent = 0;
    QString m_grade;
    std::array<qint16, Rows> m_drawn{};
    qint16 m_candidate = 0;
    qint16 m_questionPicked = 0;
    qint16 m_answerPicked = 0;
    qint16 m_pickedQuestion = 0;
    qint16 m_pickedAnswer = 0;
    std::array<qint16, Rows> m_questionMap{};
    std::array<qint16, Rows> m_answerOrder{};
    qint16 m_answeredCount = 0;
    QString m_rowText;
    qint16 m_controlsShown = 0;
    std::array<bool, Rows> m_scored{}; // questions already scored in this run
    QVector<Step> m_steps;
    QDateTime m_runStarted;
    qint64 m_runLimit = 0;
    // A run that ran out of time and is then graded hands in two records.
    QByteArray m_runId;
    QByteArray m_timeOutId;

    void reset();
    void clearMarks();
    bool replay(const RunState &state, Modes modes);
    void clearPicksIfPaired();
    bool pickIsRight() const;
    void scorePick(bool right);
    void drawWithoutRepeat(int range, int slot, RandomSource &random);
    void gradeResult(Result &r, Modes modes);
    void setGrade();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Trainer::Modes)
