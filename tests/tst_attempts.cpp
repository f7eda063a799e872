#include "attemptrecovery.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/inputprovider.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "recordcheck.h"
#include "resultcourier.h"
#include "resultfolder.h"
#include "runstate.h"
#include "statekeeper.h"
#include "storage/workerthreads.h"
#include "support/trainertestsupport.h"
#include "trainerform.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

// A pupil's replies in Test 1: "1" a number of times, then whatever stops him.
class Pupil : public InputProvider
{
public:
    int replies = 0;
    std::function<void()> stop;
    std::function<void()> asked;

    std::optional<QString> ask(QWidget *, const QString &) override
    {
        if (asked)
            std::exchange(asked, nullptr)();
        if (replies-- > 0)
            return QStringLiteral("1");
        if (stop)
            std::exchange(stop, nullptr)();
        return std::nullopt;
    }
};

QString outboxOf(const QString &state)
{
    return state + QStringLiteral("/tesmora/outbox");
}

QStringList filesIn(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

QList<ResultRecord> readAll(const QString &folder, const QString &pattern)
{
    QList<ResultRecord> found;
    for (const QString &name : filesIn(folder, pattern)) {
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::ReadOnly))
            found << ResultRecord::fromJson(file.readAll()).value_or(ResultRecord());
    }
    return found;
}

void copyTopic(const QString &folder)
{
    for (const char *name : {"test.txt", "test1.txt"})
        QFile::copy(QStringLiteral(TESMORA_DATA_DIR "/") + QLatin1String(name),
                    folder + QLatin1Char('/') + QLatin1String(name));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::optional<RunState> stateIn(const QString &outbox)
{
    const QStringList names = filesIn(outbox, QStringLiteral("*.state"));
    QFile file(outbox + QLatin1Char('/') + names.value(0));
    if (names.size() != 1 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return RunState::fromJson(file.readAll());
}

CheckBox *boxOf(TrainerForm &f, ResultMode::Value mode)
{
    return mode == ResultMode::Test1 ? f.Check2 : mode == ResultMode::Test2 ? f.Check4 : f.Check1;
}

CommandButton *buttonOf(TrainerForm &f, ResultMode::Value mode)
{
    return mode == ResultMode::Test1 ? f.Command2 : mode == ResultMode::Test2 ? f.Command6 : f.Command1;
}

// Picks question k and its own answer, wherever the draw put it.
void pickRight(TrainerFixture &t, int k)
{
    TrainerForm &f = t.form();
    const auto &order = f.trainer().answerOrder();
    const bool test2 = f.Check4->Value() == 1;
    t.clickRow(f.List1, k);
    t.clickRow(f.List2, test2 ? int(std::find(order.begin(), order.begin() + 17, k) - order.begin()) : k);
}

// Starts a run of mode at five minutes and takes steps; Test 1's pupil then
// stops as told.
void runUntil(TrainerFixture &t, Pupil &pupil, ResultMode::Value mode, int steps)
{
    TrainerForm &f = t.form();
    pupil.replies = steps;
    t.click(f.Option3);
    t.click(boxOf(f, mode));
    t.click(buttonOf(f, mode));
    if (mode == ResultMode::Test1)
        return;
    for (int k = 0; k < steps; ++k)
        pickRight(t, k);
}

// The child's part: a run to the step asked, its state on disk, then
// SIGKILL. With "report" and a results folder: a whole Test 2 to its report,
// said on standard output, for scripts/check-fileserver to kill at any moment.
int killedChild(const QStringList &args)
{
    Pupil pupil;
    if (args.value(0) == QLatin1String("report")) {
        TrainerFixture t;
        t.handInTo(args.value(1));
        runUntil(t, pupil, ResultMode::Test2, 16);
        t.click(t.form().Command3);
        std::printf("report\n");
        std::fflush(stdout);
        return QTest::qWaitFor([&t] { return !t.form().courier()->busy(); }, 30000) ? 0 : 1;
    }
    TrainerFixture t(args.at(2), &pupil);
    t.handInTo(args.at(3));
    const auto die = [&t] {
        t.form().stateKeeper()->waitForIdle();
        ::raise(SIGKILL);
    };
    pupil.stop = die;
    runUntil(t, pupil, *ResultMode::fromKey(args.at(0)), args.at(1).toInt());
    die();
    return 1;
}

} // namespace

// Every attempt is on the record from its start, and a trainer killed or
// closed mid-run goes on with the same attempt when started again.
class TestAttempts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void resumed_data();
    void resumed();
    void closedWithoutTheTrainer_data();
    void closedWithoutTheTrainer();

private:
    QTemporaryDir m_state;
    QTemporaryDir m_results;
};

void TestAttempts::init()
{
    // Nothing of the row before writes into this one's folders.
    QVERIFY(WorkerThreads::pool()->waitForDone(30000));
    m_state.remove();
    m_results.remove();
    QVERIFY(QDir().mkpath(m_state.path()) && QDir().mkpath(m_results.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
}

void TestAttempts::resumed_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("restarts");
    QTest::newRow("Test 2 killed at step 9") << "test2" << 9 << "kill" << 1;
    QTest::newRow("Test 2 closed at step 5") << "test2" << 5 << "close" << 1;
    QTest::newRow("Test 1 killed in turn 10") << "test1" << 9 << "kill" << 1;
    QTest::newRow("Test 1 closed in turn 6") << "test1" << 5 << "close" << 1;
    QTest::newRow("training closed at step 5, three restarts") << "training" << 5 << "close" << 3;
    QTest::newRow("Test 2 killed after its last pick") << "test2" << 16 << "kill" << 1;
}

void TestAttempts::resumed()
{
    QFETCH(QString, mode);
    QFETCH(int, steps);
    QFETCH(QString, how);
    QFETCH(int, restarts);
    const ResultMode::Value value = *ResultMode::fromKey(mode);
    Pupil pupil;
    const QTemporaryDir topic;
    copyTopic(topic.path());
    if (how == QLatin1String("kill")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TST_ATTEMPTS_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {mode, QString::number(steps), topic.path(), m_results.path()});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    } else {
        TrainerFixture first(topic.path(), &pupil);
        first.handInTo(m_results.path());
        pupil.stop = [&first] { first.form().End(); };
        runUntil(first, pupil, value, steps);
        if (value != ResultMode::Test1)
            first.click(first.form().Command4);
    }
    const std::optional<RunState> left = stateIn(outboxOf(m_state.path()));
    QVERIFY(left.has_value());
    QCOMPARE(int(left->record.steps.size()), steps);

    // Started again 100 s on: the same attempt at its next step.
    TrainerFixture t2(topic.path(), &pupil);
    for (int k = 1; k < restarts; ++k) {
        t2.clock().advance(20000);
        t2.handInTo(m_results.path());
        QTRY_VERIFY(t2.printed().join('\n').contains(QStringLiteral("Продолжается прерванная работа")));
        t2.click(t2.form().Command4);
    }
    t2.clock().advance(qint64(100 - 20 * (restarts - 1)) * 1000);
    pupil.replies = 16;
    pupil.stop = nullptr;
    // What the pupil sees as the first question is asked again.
    QStringList seen;
    pupil.asked = [&seen, &t2] { seen = t2.printed(); };
    t2.handInTo(m_results.path());
    TrainerForm &f = t2.form();
    if (value != ResultMode::Test1)
        QTRY_VERIFY(!t2.printed().isEmpty());
    if (seen.isEmpty())
        seen = t2.printed();
    if (steps < 16) {
        const QString line = QStringLiteral("Продолжается прерванная работа: Стандартная тема, %1, шаг %2 из 16, "
                                            "осталось 3:20")
                                 .arg(ResultMode::caption(value))
                                 .arg(steps + 1);
        QTRY_VERIFY2(seen.contains(line), qPrintable(seen.join('\n')));
        if (value != ResultMode::Test1)
            QCOMPARE(f.trainer().steps().size(), steps);
        for (int row = 0; value == ResultMode::Test2 && row <= 16; ++row)
            QCOMPARE(int(f.trainer().answerOrder()[row]), left->answerOrder.value(row));
        for (int k = steps; value != ResultMode::Test1 && k < 16; ++k)
            pickRight(t2, k);
        QTRY_COMPARE(f.trainer().steps().size(), 16);
        t2.click(f.Command3);
    } // else handed in as the finished run its picks make, without a word from the pupil
    QTRY_VERIFY(!f.courier()->busy());
    f.courier()->retry();
    QTRY_VERIFY(!f.courier()->busy());

    const QList<ResultRecord> openings = readAll(m_results.path(), QStringLiteral("*.start"));
    const QList<ResultRecord> ends = readAll(m_results.path(), QStringLiteral("*.json"));
    QCOMPARE(openings.size(), 1);
    QCOMPARE(ends.size(), 1);
    QCOMPARE(ends[0].id, openings[0].id);
    QCOMPARE(ends[0].steps.size(), 16);
    QVERIFY(!ends[0].timedOut && !ends[0].unfinished);
    // The figures are the trainer's rules over the steps, and the draws stay.
    QCOMPARE(RecordCheck::disagreement(ends[0]), QString());
    QVERIFY(value == ResultMode::Test1 || ends[0].grade == QLatin1String("5"));
    for (int k = 0; k < steps; ++k)
        QCOMPARE(ends[0].steps[k].answer, left->record.steps[k].answer);
    if (value == ResultMode::Test1 && left->candidate >= 0)
        QCOMPARE(ends[0].steps[steps].answer, left->candidate);
    QCOMPARE(ends[0].started, openings[0].started);
    QCOMPARE(filesIn(outboxOf(m_state.path()), QStringLiteral("*")), QStringList());
}

void TestAttempts::closedWithoutTheTrainer_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("secondsOn");
    QTest::addColumn<bool>("changeTopic");
    QTest::addColumn<QString>("end");
    QTest::newRow("time over: a time-out by --hand-in") << "" << 400 << false << "timedOut";
    QTest::newRow("time left: left open") << "" << 100 << false << "";
    QTest::newRow("another PC, time left: left open") << "other-pc" << 100 << false << "";
    QTest::newRow("another PC, time over: a time-out") << "other-pc" << 400 << false << "timedOut";
    QTest::newRow("topic files changed: --hand-in waits for the time") << "" << 100 << true << "";
}

// tesmora --hand-in closes what can no longer go on anywhere, and the
// teacher sees an attempt left open as unfinished once its time is over.
void TestAttempts::closedWithoutTheTrainer()
{
    QFETCH(QString, host);
    QFETCH(int, secondsOn);
    QFETCH(bool, changeTopic);
    QFETCH(QString, end);
    const QTemporaryDir topic;
    copyTopic(topic.path());
    Pupil pupil;
    {
        TrainerFixture t(topic.path(), &pupil);
        t.handInTo(m_results.path());
        runUntil(t, pupil, ResultMode::Test2, 3);
        t.click(t.form().Command4);
        QTRY_VERIFY(!t.form().courier()->busy() && !t.form().stateKeeper()->busy());
    }
    const QString outbox = outboxOf(m_state.path());
    std::optional<RunState> state = stateIn(outbox);
    QVERIFY(state.has_value());
    QVERIFY(QFile::remove(outbox + QLatin1Char('/') + state->fileName()));
    // The run as if it began secondsOn ago, perhaps on another computer.
    state->record.started = QDateTime::currentDateTime().addSecs(-secondsOn);
    if (!host.isEmpty())
        state->record.host = host;
    QVERIFY(writeFile(outbox + QLatin1Char('/') + state->fileName(), state->toJson()));
    // Its opening record as that computer handed it in.
    for (const QString &name : filesIn(m_results.path(), QStringLiteral("*.start")))
        QVERIFY(QFile::remove(m_results.filePath(name)));
    const ResultRecord opening = ResultRecord::openingOf(state->record);
    QVERIFY(writeFile(m_results.filePath(opening.fileName()), opening.toJson()));
    if (changeTopic) {
        QFile answers(topic.filePath(QStringLiteral("test1.txt")));
        QVERIFY(answers.open(QIODevice::Append) && answers.write("one more\r\n") > 0);
    }

    QTemporaryDir config;
    QVERIFY(QDir().mkpath(config.filePath(QStringLiteral("tesmora")))
            && writeFile(config.filePath(QStringLiteral("tesmora/class.conf")),
                         "[class]\nresults=" + QFile::encodeName(m_results.path()) + "\n"));
    QProcess handIn;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    handIn.setProcessEnvironment(env);
    handIn.start(QStringLiteral(TESMORA), {QStringLiteral("--hand-in")});
    QVERIFY(handIn.waitForFinished(30000));
    const QString said = QString::fromUtf8(handIn.readAllStandardError());

    const QList<ResultRecord> ends = readAll(m_results.path(), QStringLiteral("*.json"));
    QCOMPARE(filesIn(m_results.path(), QStringLiteral("*.start")).size(), 1);
    QCOMPARE(filesIn(outbox, QStringLiteral("*.state")).size(), end.isEmpty() ? 1 : 0);
    QCOMPARE(ends.size(), end.isEmpty() ? 0 : 1);
    if (!end.isEmpty()) {
        QVERIFY2(said.contains(QStringLiteral("время истекло")), qPrintable(said));
        QVERIFY(ends[0].timedOut && ends[0].grade.isEmpty());
        QCOMPARE(ends[0].attemptId(), state->record.id);
        QCOMPARE(ends[0].steps.size(), 3);
        QCOMPARE(ends[0].started.secsTo(ends[0].finished), 300);
    }
    // The teacher's side: an attempt without its end is under way while its
    // time (and a minute) lasts, unfinished after.
    ResultFolder folder(m_results.path());
    QVERIFY(folder.refresh());
    const QVector<ResultFolder::Entry> entries = folder.entries();
    QCOMPARE(entries.size(), 1);
    using Attempt = ResultFolder::Entry::Attempt;
    const Attempt expected = !end.isEmpty() ? Attempt::Ended : secondsOn > 360 ? Attempt::Unfinished : Attempt::Running;
    QCOMPARE(int(entries[0].attempt), int(expected));
    if (!changeTopic)
        return;
    // A trainer over the changed files ends the run unfinished and starts afresh.
    TrainerFixture again(topic.path(), &pupil);
    again.handInTo(m_results.path());
    QTRY_VERIFY(!again.form().courier()->busy());
    const QList<ResultRecord> unfinished = readAll(m_results.path(), QStringLiteral("*.json"));
    QVERIFY(unfinished.size() == 1 && unfinished[0].unfinished && unfinished[0].grade.isEmpty());
    QCOMPARE(unfinished[0].steps.size(), 3);
    QVERIFY(!again.printed().join('\n').contains(QStringLiteral("Продолжается")));
    QCOMPARE(filesIn(outbox, QStringLiteral("*.state")).size(), 0);
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("TST_ATTEMPTS_CHILD")) {
        QApplication app(argc, argv);
        return killedChild(app.arguments().mid(1));
    }
    QApplication app(argc, argv);
    TestAttempts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_attempts.moc"
