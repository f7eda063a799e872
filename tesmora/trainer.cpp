#include "trainer.h"

#include "core/convert.h"
#include "core/randomsource.h"
#include "runstate.h"
#include "topicfile.h"

#include <QDir>

namespace {
const QString kHour = QStringLiteral("1:00:00");
}

QStringList Trainer::load(const QString &folder)
{
    reset();
    const QDir dir(folder);
    QStringList problems;
    QStringList columns[2];
    int k = 0;
    // No folder is no topic: nothing is read, not even from the working folder.
    for (const auto &[name, what] : {std::pair{TopicFile::QuestionsName, QStringLiteral("вопросов")},
                                     std::pair{TopicFile::AnswersName, QStringLiteral("ответов")}}) {
        if (folder.isEmpty())
            break;
        const TopicFile::TrainerColumn column = TopicFile::readForTrainer(dir.filePath(name), what);
        columns[k++] = column.entries;
        if (!column.problem.isEmpty())
            problems << column.problem;
    }
    setTopic(columns[0], columns[1]);
    m_timeLimit = kHour;
    return problems;
}

void Trainer::setTopic(const QStringList &questions, const QStringList &answers)
{
    std::copy_n(questions.begin(), qMin<qsizetype>(questions.size(), FileEntries), m_questions.begin());
    std::copy_n(answers.begin(), qMin<qsizetype>(answers.size(), FileEntries), m_answers.begin());
}

void Trainer::reset()
{
    m_errorCount = 0;
    m_correctCount = 0;
    m_controlsShown = 0;
    m_pickedAnswer = 0;
    m_matchCount = 0;
    m_grade.clear();
    m_percent = 0;
    for (int row = 0; row <= LastRow; ++row) {
        m_drawn[row] = 0;
        m_marks[row] = 0;
    }
    m_pickedQuestion = 0;
    m_questionPicked = 0;
    m_answerPicked = 0;
}

bool Trainer::timeRanOut(double timeOfDay)
{
    // The limit is compared as a duration: "0:00:60" is sixty seconds.
    const qint64 elapsed = Convert::elapsedSeconds(timeOfDay, m_startTime);
    const std::optional<qint64> limit = Convert::spanSeconds(m_timeLimit);
    if (!limit || elapsed < *limit)
        return false;
    m_timeLimit = kHour;
    return true;
}

bool Trainer::toggleControls()
{
    m_controlsShown = m_controlsShown == 0 ? True : qint16(0);
    return m_controlsShown != 0;
}

void Trainer::startMode(const QDateTime &now)
{
    m_runStarted = now;
    m_runLimit = Convert::spanSeconds(m_timeLimit).value_or(0);
    m_runId = ResultRecord::newId();
    m_timeOutId = ResultRecord::newId();
    m_answeredCount = 0;
    m_errorCount = 0;
    m_correctCount = 0;
    m_steps.clear();
    clearMarks();
}

void Trainer::clearMarks()
{
    // A new run must not report the marks of an earlier one.
    for (int row = 0; row <= LastRow; ++row)
        m_marks[row] = 0;
    m_scored.fill(false);
}

void Trainer::startTraining()
{
    m_pickedAnswer = 0;
    m_matchCount = 0;
    m_grade.clear();
    m_percent = 0;
    for (int row = 0; row <= LastRow; ++row)
        m_drawn[row] = 0;
    m_pickedQuestion = 0;
    m_questionPicked = 0;
    m_answerPicked = 0;
}

void Trainer::startTest1()
{
    m_matchCount = 0;
    m_grade.clear();
    m_percent = 0;
    for (int row = 0; row <= LastRow; ++row)
        m_drawn[row] = 0;
}

void Trainer::startTest2(RandomSource &random)
{
    m_matchCount = 0;
    m_grade.clear();
    m_percent = 0;
    // Every answer 0..16 once, in random order.
    for (int row = 0; row <= LastRow; ++row)
        drawWithoutRepeat(LastRow + 1, row, random);
    m_questionPicked = 0;
    m_pickedQuestion = 0;
    m_answerPicked = 0;
    if (hasQuestions()) {
        for (int row = 0; row <= LastRow; ++row)
            m_answerOrder[row] = m_drawn[row];
    }
}

void Trainer::drawWithoutRepeat(int range, int slot, RandomSource &random)
{
    // Draws into m_drawn(slot) a number in 0..range-1 not taken by an earlier slot;
    // a flag marks a number already taken.
    do {
        m_questionPicked = 0;
        m_candidate = qint16(Convert::wholePart(range * random.draw() - slot) + slot);
        for (int earlier = 0; earlier < slot; ++earlier) {
            if (m_drawn[earlier] == m_candidate)
                m_questionPicked = True;
        }
    } while (m_questionPicked != 0);
    m_drawn[slot] = m_candidate;
}

void Trainer::clearPicksIfPaired()
{
    if (m_questionPicked == True && m_answerPicked == True) {
        m_questionPicked = 0;
        m_answerPicked = 0;
        m_rowText.clear();
    }
}

Trainer::QuestionPick Trainer::pickQuestion(int row, Modes modes)
{
    const bool test2 = modes.testFlag(Mode::Test2);
    // Rows above 20 cannot be recorded in the pick arrays; such a click is ignored.
    if (m_answeredCount >= Steps || row < 0 || row >= Rows)
        return QuestionPick::Ignored;
    ++m_answeredCount;
    m_pickedQuestion = qint16(row);
    m_questionMap[m_pickedQuestion] = m_pickedQuestion;
    const bool plain = m_questionPicked == 0 && test2 && m_answerPicked == 0;
    m_questionPicked = True;
    clearPicksIfPaired();
    return plain ? QuestionPick::Plain : QuestionPick::WithIndex;
}

Trainer::AnswerPick Trainer::pickAnswer(int row, Modes modes)
{
    const bool test2 = modes.testFlag(Mode::Test2);
    const bool trainingOrTest1 = modes & (Mode::Training | Mode::Test1);
    AnswerPick pick;
    if (m_answeredCount > Steps || row < 0 || row >= Rows)
        return pick;
    pick.taken = true;
    if (m_questionPicked == True && test2 && m_answerPicked == 0) {
        // A Test 2 pick is scored like a training pick, silently.
        m_pickedAnswer = qint16(row);
        m_answerPicked = True;
        scorePick(pickIsRight());
    }
    if (trainingOrTest1 && m_questionPicked == True && m_answerPicked == 0) {
        m_pickedAnswer = qint16(row);
        m_answerOrder[m_pickedAnswer] = qint16(row);
        m_answerPicked = True;
        pick.right = pickIsRight();
        scorePick(pick.right);
    }
    clearPicksIfPaired();
    if (m_answeredCount < Steps)
        return pick;
    m_questionPicked = True;
    m_answerPicked = True;
    pick.finished = true;
    return pick;
}

bool Trainer::pickIsRight() const
{
    return m_answers[m_questionMap[m_pickedQuestion]] == m_answers[m_answerOrder[m_pickedAnswer]];
}

void Trainer::scorePick(bool right)
{
    // A question counts once per run: picking it again is a step, but adds
    // no match and no error and leaves its mark as it was.
    m_steps.append({m_pickedQuestion, m_answerOrder[m_pickedAnswer], QString(), right, !m_scored[m_pickedQuestion],
                    m_questions[m_pickedQuestion], m_answers[m_answerOrder[m_pickedAnswer]]});
    if (m_scored[m_pickedQuestion])
        return;
    m_scored[m_pickedQuestion] = true;
    if (right) {
        ++m_correctCount;
        ++m_matchCount;
        m_marks[m_pickedQuestion] = 1;
    } else {
        ++m_errorCount;
        m_marks[m_pickedQuestion] = 0;
    }
}

void Trainer::startTurn(int turn, RandomSource &random)
{
    m_answeredCount = qint16(turn + 1);
    // Half the turns show the question's own answer and the others one of the
    // other fifteen, so a reply typed without reading scores about half.
    const double r = random.draw();
    if (r < 0.5) {
        m_candidate = qint16(turn);
    } else {
        m_candidate = qint16(Convert::wholePart((r - 0.5) * 2 * (Steps - 1)));
        if (m_candidate >= turn)
            ++m_candidate;
    }
    m_drawn[turn] = m_candidate;
}

void Trainer::resumeTurn(int turn, int candidate)
{
    m_answeredCount = qint16(turn + 1);
    m_candidate = qint16(candidate);
    m_drawn[turn] = m_candidate;
}

void Trainer::scoreReply(int turn, const QString &text, double value)
{
    m_replyTexts[turn] = text;
    if (m_candidate == turn)
        ++m_matchCount;
    // A reply too large for a mark counts as neither right nor wrong.
    const std::optional<qint16> reply = Convert::roundToInteger16(value);
    const bool yes = reply == qint16(1);
    const bool no = reply == qint16(0);
    m_steps.append({turn, m_candidate, text, (yes && m_candidate == turn) || (no && m_candidate != turn), yes || no,
                    m_questions[turn], m_answers[m_candidate]});
    if (!reply)
        return;
    m_marks[turn] = *reply;
    if ((m_marks[turn] == 1 && m_candidate == turn) || (m_marks[turn] == 0 && m_candidate != turn))
        ++m_correctCount;
    if ((m_marks[turn] == 1 && m_candidate != turn) || (m_marks[turn] == 0 && m_candidate == turn))
        ++m_errorCount;
}

Trainer::Result Trainer::result(Modes modes)
{
    Result r;
    m_timeLimit = kHour;
    if (!(m_replyTexts[1].isEmpty() && m_questions[1].isEmpty())) {
        m_pickedAnswer = 0;
        if (m_answeredCount < Steps)
            r.outcome = Result::Outcome::TooFewAnswers;
        else
            gradeResult(r, modes);
    }
    if (r.outcome != Result::Outcome::Graded && !hasQuestions()) {
        r.hintLines = {QStringLiteral("Ишь чего захотел."), NoQuestionsHint, QStringLiteral("затем клавишу ТЕСТ")};
        m_rowText = r.hintLines.last();
    }
    return r;
}

void Trainer::gradeResult(Result &r, Modes modes)
{
    const bool training = modes.testFlag(Mode::Training);
    const bool test1 = modes.testFlag(Mode::Test1);
    const bool test2 = modes.testFlag(Mode::Test2);
    r.outcome = Result::Outcome::Graded;
    for (int row = 0; row <= LastRow; ++row) {
        ++m_pickedAnswer;
        // Each row shows the answer with the mark of its own question.
        if (test2 || training)
            m_rowText = m_answers[row] + Convert::numberText(int(m_marks[row]));
        r.rows << m_rowText;
        m_rowText.clear();
    }
    const QString matched = Convert::numberText(int(m_matchCount)) + QStringLiteral(" cовпало");
    const QStringList none = {QStringLiteral("Совпадений "), QStringLiteral("не было")};
    const float fromCorrect = float(double(m_correctCount) / 16.0 * 100.0);
    if ((training || test2) && m_matchCount != 0) {
        r.matchLines << matched;
        m_percent = fromCorrect;
    }
    if (test1 && m_matchCount != 0) {
        r.matchLines << matched;
        m_percent = fromCorrect;
    }
    if (test1 && m_matchCount == 0) {
        r.noMatchLines << none;
        // Graded on the replies, as every other test is.
        m_percent = fromCorrect;
    }
    if ((training || test2) && m_matchCount == 0) {
        r.noMatchLines << none;
        m_percent = 0;
        clearMarks();
    }
    setGrade();
    r.percentLine = Convert::numberText(m_percent) + QStringLiteral("%") + QStringLiteral(" правильных ответов,");
    r.errorLine = QStringLiteral(" ошибок - ") + Convert::numberText(int(m_errorCount));
    r.gradeLine = QStringLiteral("оценка ") + m_grade;
}

void Trainer::setGrade()
{
    // Outside 0..100 the grade stays as it was.
    if (m_percent == 100)
        m_grade = QStringLiteral("5");
    if (m_percent >= 80 && m_percent < 100)
        m_grade = QStringLiteral("4");
    if (m_percent >= 50 && m_percent < 80)
        m_grade = QStringLiteral("3");
    if (m_percent >= 30 && m_percent < 50)
        m_grade = QStringLiteral("2");
    if (m_percent >= 0 && m_percent < 30)
        m_grade = QStringLiteral("1");
}

std::optional<ResultRecord> Trainer::record(Modes modes, bool timedOut, const QDateTime &finished) const
{
    if (!m_runStarted.isValid() || !modes)
        return std::nullopt;
    ResultRecord r;
    r.id = timedOut ? m_timeOutId : m_runId;
    if (timedOut)
        r.attempt = m_runId;
    r.mode = modes.testFlag(Mode::Test1) ? ResultMode::Test1
        : modes.testFlag(Mode::Test2)    ? ResultMode::Test2
                                         : ResultMode::Training;
    r.started = m_runStarted;
    r.finished = finished;
    r.limitSeconds = m_runLimit;
    r.timedOut = timedOut;
    r.matches = m_matchCount;
    r.errors = m_errorCount;
    r.percent = m_percent;
    r.grade = timedOut ? QString() : m_grade;
    r.steps = m_steps;
    return r;
}

std::optional<ResultRecord> Trainer::opening(Modes modes) const
{
    const std::optional<ResultRecord> r = record(modes, false, m_runStarted);
    return r ? std::optional<ResultRecord>(ResultRecord::openingOf(*r)) : std::nullopt;
}

std::optional<RunState> Trainer::state(Modes modes) const
{
    std::optional<ResultRecord> r = record(modes, false, m_runStarted);
    if (!r)
        return std::nullopt;
    RunState s;
    s.record = *r;
    s.timeOutId = m_timeOutId;
    if (modes.testFlag(Mode::Test2)) {
        for (int row = 0; row <= LastRow; ++row)
            s.answerOrder.append(m_answerOrder[row]);
    }
    const bool test1 = modes.testFlag(Mode::Test1);
    s.answered = test1 ? int(m_steps.size()) : m_answeredCount;
    // Test 1 draws each turn's candidate as it asks: the one on the screen stays.
    if (test1 && m_answeredCount > m_steps.size())
        s.candidate = m_candidate;
    if (!test1 && m_questionPicked == True && m_answerPicked == 0)
        s.pendingQuestion = m_pickedQuestion;
    return s;
}

Trainer::Modes Trainer::modesOf(ResultMode::Value mode)
{
    switch (mode) {
    case ResultMode::Test1:
        return Mode::Test1;
    case ResultMode::Test2:
        return Mode::Test2;
    default:
        return Mode::Training;
    }
}

QString Trainer::limitText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool Trainer::resume(const RunState &state)
{
    const ResultRecord &r = state.record;
    m_timeLimit = limitText(r.limitSeconds);
    startMode(r.started);
    m_runId = r.id;
    m_timeOutId = state.timeOutId;
    if (replay(state, modesOf(r.mode)))
        return true;
    startMode(r.started);
    return false;
}

bool Trainer::replay(const RunState &state, Modes modes)
{
    const ResultRecord &r = state.record;
    if (modes.testFlag(Mode::Test1)) {
        startTest1();
        for (qsizetype turn = 0; turn < r.steps.size() && turn < Steps; ++turn) {
            const Step &step = r.steps[turn];
            const std::optional<double> value = Convert::leadingNumber(step.reply);
            if (step.question != turn || step.answer < 0 || step.answer >= Steps || !value)
                return false;
            m_answeredCount = qint16(turn + 1);
            m_candidate = m_drawn[turn] = qint16(step.answer);
            scoreReply(int(turn), step.reply, *value);
        }
    } else {
        const bool test2 = modes.testFlag(Mode::Test2);
        if (test2) {
            if (state.answerOrder.size() != LastRow + 1)
                return false;
            m_matchCount = 0;
            m_grade.clear();
            m_percent = 0;
            m_questionPicked = m_answerPicked = m_pickedQuestion = 0;
            for (int row = 0; row <= LastRow; ++row) {
                const int answer = state.answerOrder[row];
                // Every answer once, as the draw makes them.
                if (answer < 0 || answer > LastRow || state.answerOrder.count(answer) != 1)
                    return false;
                m_answerOrder[row] = m_drawn[row] = qint16(answer);
            }
        } else {
            startTraining();
        }
        for (const Step &step : r.steps) {
            const int row = test2 ? int(state.answerOrder.indexOf(step.answer)) : step.answer;
            if (pickQuestion(step.question, modes) == QuestionPick::Ignored || !pickAnswer(row, modes).taken)
                return false;
        }
        // Questions picked again before an answer count as picks too.
        const int answered = state.answered - (state.pendingQuestion >= 0 ? 1 : 0);
        if (answered < m_answeredCount || answered > Steps)
            return false;
        m_answeredCount = qint16(answered);
        if (state.pendingQuestion >= 0 && pickQuestion(state.pendingQuestion, modes) == QuestionPick::Ignored)
            return false;
    }
    if (m_steps.size() != r.steps.size())
        return false;
    for (qsizetype k = 0; k < m_steps.size(); ++k) {
        const Step &a = m_steps[k];
        const Step &b = r.steps[k];
        if (a.question != b.question || a.answer != b.answer || a.right != b.right || a.counted != b.counted)
            return false;
    }
    return true;
}
