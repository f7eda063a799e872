#include "trainer.h"

#include "core/convert.h"
#include "core/randomsource.h"
#include "topicfile.h"

#include <QDir>

namespace {
const QString kHour = QStringLiteral("1:00:00");
}

QStringList Trainer::load(const QString &folder)
{
    reset();
    QStringList problems;
    const QDir dir(folder);
    problems << readTopicFile(dir.filePath(TopicFile::QuestionsName), QStringLiteral("вопросов"), questions);
    problems << readTopicFile(dir.filePath(TopicFile::AnswersName), QStringLiteral("ответов"), answers);
    problems.removeAll(QString());
    timeLimit = kHour;
    return problems;
}

void Trainer::reset()
{
    errorCount = 0;
    correctCount = 0;
    controlsShown = 0;
    pickedAnswer = 0;
    matchCount = 0;
    grade.clear();
    percent = 0;
    for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex) {
        drawn[loopIndex] = 0;
        marks[loopIndex] = 0;
    }
    pickedQuestion = 0;
    questionPicked = 0;
    answerPicked = 0;
}

QString Trainer::readTopicFile(const QString &path, const QString &what, std::array<QString, FileEntries> &entries)
{
    const TopicFile::TrainerColumn column = TopicFile::readForTrainer(path, what);
    if (column.opened)
        loopIndex = qint16(column.entries.size());
    std::copy(column.entries.begin(), column.entries.end(), entries.begin());
    return column.problem;
}

bool Trainer::timeRanOut(double timeOfDay)
{
    // The limit is compared as a duration: "0:00:60" is sixty seconds.
    const qint64 elapsed = Convert::elapsedSeconds(timeOfDay, startTime);
    const std::optional<qint64> limit = Convert::spanSeconds(timeLimit);
    if (!limit || elapsed < *limit)
        return false;
    timeLimit = kHour;
    return true;
}

bool Trainer::toggleControls()
{
    controlsShown = controlsShown == 0 ? True : qint16(0);
    return controlsShown != 0;
}

void Trainer::startMode()
{
    answeredCount = 0;
    errorCount = 0;
    correctCount = 0;
    clearMarks();
}

void Trainer::clearMarks()
{
    // A new run must not report the marks of an earlier one.
    for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex)
        marks[loopIndex] = 0;
    scored.fill(false);
}

void Trainer::startTraining()
{
    pickedAnswer = 0;
    matchCount = 0;
    grade.clear();
    percent = 0;
    for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex)
        drawn[loopIndex] = 0;
    pickedQuestion = 0;
    questionPicked = 0;
    answerPicked = 0;
}

void Trainer::startTest1()
{
    matchCount = 0;
    grade.clear();
    percent = 0;
    for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex)
        drawn[loopIndex] = 0;
}

void Trainer::startTest2(RandomSource &random)
{
    matchCount = 0;
    grade.clear();
    percent = 0;
    // Every answer 0..16 once, in random order.
    for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex)
        drawWithoutRepeat(LastRow + 1, loopIndex, random);
    questionPicked = 0;
    pickedQuestion = 0;
    answerPicked = 0;
    if (hasQuestions()) {
        for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex)
            answerOrder[loopIndex] = drawn[loopIndex];
    }
}

void Trainer::drawWithoutRepeat(int range, int slot, RandomSource &random)
{
    // Draws into drawn(slot) a number in 0..range-1 not taken by an earlier slot;
    // questionPicked marks a number already taken.
    do {
        questionPicked = 0;
        candidate = qint16(Convert::wholePart(range * random.draw() - slot) + slot);
        for (innerIndex = 0; innerIndex < slot; ++innerIndex) {
            if (drawn[innerIndex] == candidate)
                questionPicked = True;
        }
    } while (questionPicked != 0);
    drawn[slot] = candidate;
}

void Trainer::clearPicksIfPaired()
{
    if (questionPicked == True && answerPicked == True) {
        questionPicked = 0;
        answerPicked = 0;
        rowText.clear();
    }
}

Trainer::QuestionPick Trainer::pickQuestion(int row, Modes modes)
{
    const bool test2 = modes.testFlag(Mode::Test2);
    // Rows above 20 cannot be recorded in the pick arrays; such a click is ignored.
    if (answeredCount >= Steps || row < 0 || row >= Rows)
        return QuestionPick::Ignored;
    ++answeredCount;
    pickedQuestion = qint16(row);
    questionMap[pickedQuestion] = pickedQuestion;
    const bool plain = questionPicked == 0 && test2 && answerPicked == 0;
    questionPicked = True;
    clearPicksIfPaired();
    return plain ? QuestionPick::Plain : QuestionPick::WithIndex;
}

Trainer::AnswerPick Trainer::pickAnswer(int row, Modes modes)
{
    const bool test2 = modes.testFlag(Mode::Test2);
    const bool trainingOrTest1 = modes & (Mode::Training | Mode::Test1);
    AnswerPick pick;
    if (answeredCount > Steps || row < 0 || row >= Rows)
        return pick;
    pick.taken = true;
    if (questionPicked == True && test2 && answerPicked == 0) {
        // A Test 2 pick is scored like a training pick, silently.
        pickedAnswer = qint16(row);
        answerPicked = True;
        scorePick(pickIsRight());
    }
    if (trainingOrTest1 && questionPicked == True && answerPicked == 0) {
        pickedAnswer = qint16(row);
        answerOrder[pickedAnswer] = qint16(row);
        answerPicked = True;
        pick.right = pickIsRight();
        scorePick(pick.right);
    }
    clearPicksIfPaired();
    if (answeredCount < Steps)
        return pick;
    questionPicked = True;
    answerPicked = True;
    pick.finished = true;
    return pick;
}

bool Trainer::pickIsRight() const
{
    return answers[questionMap[pickedQuestion]] == answers[answerOrder[pickedAnswer]];
}

void Trainer::scorePick(bool right)
{
    // A question counts once per run: picking it again is a step, but adds
    // no match and no error and leaves its mark as it was.
    if (scored[pickedQuestion])
        return;
    scored[pickedQuestion] = true;
    if (right) {
        ++correctCount;
        ++matchCount;
        marks[pickedQuestion] = 1;
    } else {
        ++errorCount;
        marks[pickedQuestion] = 0;
    }
}

void Trainer::startTurn(int turn, RandomSource &random)
{
    loopIndex = qint16(turn);
    answeredCount = qint16(turn + 1);
    drawWithoutRepeat(Steps, turn, random);
}

void Trainer::scoreReply(int turn, const QString &text, double value)
{
    replyTexts[turn] = text;
    if (candidate == turn)
        ++matchCount;
    // A reply too large for a mark counts as neither right nor wrong.
    const std::optional<qint16> reply = Convert::roundToInteger16(value);
    if (!reply)
        return;
    marks[turn] = *reply;
    if ((marks[turn] == 1 && candidate == turn) || (marks[turn] == 0 && candidate != turn))
        ++correctCount;
    if ((marks[turn] == 1 && candidate != turn) || (marks[turn] == 0 && candidate == turn))
        ++errorCount;
}

Trainer::Result Trainer::result(Modes modes)
{
    Result r;
    timeLimit = kHour;
    if (!(replyTexts[1].isEmpty() && questions[1].isEmpty())) {
        pickedAnswer = 0;
        if (answeredCount < Steps)
            r.outcome = Result::Outcome::TooFewAnswers;
        else
            gradeResult(r, modes);
    }
    if (r.outcome != Result::Outcome::Graded && !hasQuestions()) {
        r.hintLines = {QStringLiteral("Ишь чего захотел."), NoQuestionsHint, QStringLiteral("затем клавишу ТЕСТ")};
        rowText = r.hintLines.last();
    }
    return r;
}

void Trainer::gradeResult(Result &r, Modes modes)
{
    const bool training = modes.testFlag(Mode::Training);
    const bool test1 = modes.testFlag(Mode::Test1);
    const bool test2 = modes.testFlag(Mode::Test2);
    r.outcome = Result::Outcome::Graded;
    for (loopIndex = 0; loopIndex <= LastRow; ++loopIndex) {
        ++pickedAnswer;
        // Each row shows the answer with the mark of its own question.
        if (test2 || training)
            rowText = answers[loopIndex] + Convert::numberText(int(marks[loopIndex]));
        r.rows << rowText;
        rowText.clear();
    }
    const QString matched = Convert::numberText(int(matchCount)) + QStringLiteral(" cовпало");
    const QStringList none = {QStringLiteral("Совпадений "), QStringLiteral("не было")};
    const float fromCorrect = float(double(correctCount) / 16.0 * 100.0);
    if ((training || test2) && matchCount != 0) {
        r.matchLines << matched;
        percent = fromCorrect;
    }
    if (test1 && matchCount != 0) {
        r.matchLines << matched;
        percent = fromCorrect;
    }
    if (test1 && matchCount == 0) {
        r.noMatchLines << none;
        // Graded on the replies, as every other test is.
        percent = fromCorrect;
    }
    if ((training || test2) && matchCount == 0) {
        r.noMatchLines << none;
        percent = 0;
        clearMarks();
    }
    setGrade();
    r.percentLine = Convert::numberText(percent) + QStringLiteral("%") + QStringLiteral(" правильных ответов,");
    r.errorLine = QStringLiteral(" ошибок - ") + Convert::numberText(int(errorCount));
    r.gradeLine = QStringLiteral("оценка ") + grade;
}

void Trainer::setGrade()
{
    // Outside 0..100 the grade stays as it was.
    if (percent == 100)
        grade = QStringLiteral("5");
    if (percent >= 80 && percent < 100)
        grade = QStringLiteral("4");
    if (percent >= 50 && percent < 80)
        grade = QStringLiteral("3");
    if (percent >= 30 && percent < 50)
        grade = QStringLiteral("2");
    if (percent >= 0 && percent < 30)
        grade = QStringLiteral("1");
}
