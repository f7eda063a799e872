#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>

#include <array>

class RandomSource;

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
    bool hasQuestions() const { return !questions[1].isEmpty(); }

    void restartClock(float timeOfDay) { startTime = timeOfDay; }
    void setTimeLimit(const QString &limit) { timeLimit = limit; }
    // True once the time limit has passed; the limit is then back to an hour.
    bool timeRanOut(double timeOfDay);

    // True when help was already asked for or a pick is under way; help then scolds.
    bool helpScolds() const { return questionPicked != 0 || answerPicked != 0; }
    void helpShown() { questionPicked = True; }
    // Shows or hides the controls in turn; returns whether they are now shown.
    bool toggleControls();

    // What every mode does first: counts and marks start afresh.
    void startMode();
    void startTraining();
    void startTest1();
    void startTest2(RandomSource &random);

    QuestionPick pickQuestion(int row, Modes modes);
    AnswerPick pickAnswer(int row, Modes modes);
    QString pickedAnswerText() const { return answers[answerOrder[pickedAnswer]]; }

    // Test 1: draws the candidate answer of a turn, then scores the reply.
    void startTurn(int turn, RandomSource &random);
    void scoreReply(int turn, const QString &text, double value);

    Result result(Modes modes);

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

private:
    void reset();
    QString readTopicFile(const QString &path, const QString &what, std::array<QString, FileEntries> &entries);
    void clearMarks();
    void clearPicksIfPaired();
    bool pickIsRight() const;
    void scorePick(bool right);
    void drawWithoutRepeat(int range, int slot, RandomSource &random);
    void gradeResult(Result &r, Modes modes);
    void setGrade();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Trainer::Modes)
