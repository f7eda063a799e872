// In-process timings of the heaviest things the programs do, and how far the
// trainer's clock line lags the system clock. Run by scripts/bench on a
// Release build; not part of the test run, since timings are not pass or fail.
#include "core/clock.h"
#include "core/randomsource.h"
#include "forms/appsetup.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "formundertest.h"
#include "lessontable.h"
#include "pelmarform.h"
#include "resultcourier.h"
#include "resultfolder.h"
#include "resultstore.h"
#include "resultswindow.h"
#include "resulttable.h"
#include "runhandin.h"
#include "scriptedinput.h"
#include "statekeeper.h"
#include "statusboard.h"
#include "steps/steptrace.h"
#include "stepwindow.h"
#include "topiccatalog.h"
#include "trainerform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <random>

namespace {

// Resident memory of this process now, in KiB.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

} // namespace

class BenchPrograms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void trainerLoad();
    void tablePrintAndPaint();
    void sortTable();
    void fullReport();
    void clockLag();
    void topicLookup();
    void resultsLoad();
    void handIn();
    void stepsOfSort();
    void hostileRecords();
    void junkFiles();
    void attemptsWindow();
    void stateKeeping();

private:
    void preparePelmar(PelmarForm &form, ScriptedInput &input);
    QTemporaryDir m_topic;
};

void BenchPrograms::initTestCase()
{
    AppSetup::installFontSubstitutes();
    // A topic with the most the trainer reads: 31 fields in each file.
    QFile q(m_topic.filePath("test.txt")), a(m_topic.filePath("test1.txt"));
    QVERIFY(q.open(QIODevice::WriteOnly) && a.open(QIODevice::WriteOnly));
    for (int k = 0; k < 31; ++k) {
        q.write("\xc2\xee\xef\xf0\xee\xf1 " + QByteArray::number(k) + "\r\n");
        a.write("\xce\xf2\xe2\xe5\xf2 " + QByteArray::number(k) + "\r\n");
    }
}

void BenchPrograms::trainerLoad()
{
    // Only the handler: building the window is part of the start-up measured
    // from outside the process.
    struct LoadableTrainer : TrainerForm
    {
        using TrainerForm::Form_Load; // the handler itself, as often as asked
        using TrainerForm::TrainerForm;
    } form(m_topic.path());
    form.Timer1->setEnabled(false);
    QBENCHMARK
    {
        form.Form_Load();
    }
    QCOMPARE(form.trainer().questions()[31 - 1], QStringLiteral("Вопрос 30"));
}

void BenchPrograms::preparePelmar(PelmarForm &form, ScriptedInput &input)
{
    QVERIFY(FormUnderTest::start(form, form.Timer1, {nullptr, &input, std::nullopt}));
    form.resize(1400, 1000);
    input.replies({"30", "30"});
    form.Command5->setValue(true);
}

void BenchPrograms::tablePrintAndPaint()
{
    PelmarForm form;
    ScriptedInput input;
    preparePelmar(form, input);
    QBENCHMARK
    {
        form.fillTable();
        form.surface()->repaint();
    }
}

void BenchPrograms::sortTable()
{
    PelmarForm form;
    ScriptedInput input;
    preparePelmar(form, input);
    form.fillTable();
    QBENCHMARK
    {
        form.Cls();
        form.sortTable();
    }
}

void BenchPrograms::fullReport()
{
    TrainerForm form(m_topic.path());
    form.Timer1->setEnabled(false);
    form.showForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Option2->setValue(true);
    form.Check1->setValue(1);
    form.Command1->setValue(true);
    for (int step = 0; step < 16; ++step) {
        form.List1->setCurrentRow(step);
        form.List1_Click();
        form.List2->setCurrentRow(step % 3 ? step : 0);
        form.List2_Click();
    }
    QBENCHMARK
    {
        form.Command3->setValue(true);
        form.surface()->repaint();
    }
}

void BenchPrograms::clockLag()
{
    // With the real clock and the real timer: when the clock line changes, how
    // far behind the true time of day and the true working time is what it shows?
    TrainerForm form(m_topic.path());
    form.showForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(1500); // measure the idle window, not its start-up
    const QRegularExpression shown(
        QStringLiteral("Время (\\d+):(\\d\\d):(\\d\\d).*Время работы (\\d+):(\\d\\d):(\\d\\d)"));
    qint64 worst = 0;
    int changes = 0;
    qint64 lastTime = -1;
    qint64 lastSpan = -1;
    connect(form.Text1, &QPlainTextEdit::textChanged, &form, [&] {
        const qint64 now = Clock::system().time().msecsSinceStartOfDay();
        const QRegularExpressionMatch m = shown.match(form.Text1->Text().simplified());
        if (!m.hasMatch())
            return;
        auto seconds = [&m](int first) {
            return m.captured(first).toLongLong() * 3600 + m.captured(first + 1).toLongLong() * 60
                + m.captured(first + 2).toLongLong();
        };
        // Each part is late by the time since its new second began.
        const qint64 worked = now - qint64(double(form.trainer().startTime()) * 86400000.0);
        const qint64 timeLag = seconds(1) != lastTime ? now - seconds(1) * 1000 : 0;
        const qint64 spanLag = seconds(4) != lastSpan ? worked - seconds(4) * 1000 : 0;
        if (lastTime >= 0)
            worst = qMax(worst, qMax(timeLag, spanLag));
        lastTime = seconds(1);
        lastSpan = seconds(4);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::printf("change at %lld: time lag %lld, span lag %lld\n", now, timeLag, spanLag);
        ++changes;
    });
    const int seconds = qEnvironmentVariableIntValue("BENCH_CLOCK_SECONDS");
    QTest::qWait((seconds > 0 ? seconds : 5) * 1000);
    std::printf("RESULT : BenchPrograms::clockLag(): %lld msecs worst lag over %d changes\n", worst, changes);
    QVERIFY(changes > 0);
}

// The topics a pupil can choose from a topics folder of 100 topics.
void BenchPrograms::topicLookup()
{
    QTemporaryDir topics;
    for (int k = 0; k < 100; ++k) {
        const QString folder = topics.filePath(QStringLiteral("Тема %1").arg(k));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(m_topic.filePath("test.txt"), folder + QStringLiteral("/test.txt")));
    }
    QList<TopicCatalog::Topic> found;
    QBENCHMARK
    {
        found = TopicCatalog::find(topics.path());
    }
    QCOMPARE(found.size(), 101);
}

// The teacher's results window reading a folder of 10,000 records, and the
// memory they take.
void BenchPrograms::resultsLoad()
{
    QTemporaryDir results;
    ResultRecord record = ResultRecord::ofThisAccount();
    record.topic = QStringLiteral("Физика");
    record.mode = ResultMode::Test2;
    record.grade = QStringLiteral("4");
    record.matches = 13;
    record.errors = 3;
    record.percent = 81.25;
    for (int k = 0; k < 16; ++k)
        record.steps.append({k, k, QString(), k < 13, true, {}, {}});
    for (int k = 0; k < 10000; ++k) {
        record.user = QStringLiteral("pupil%1").arg(k % 30); // a class of 30
        record.finished = QDateTime(QDate(2026, 12, 9), QTime(8, 0)).addSecs(k);
        record.started = record.finished.addSecs(-300);
        record.id = ResultRecord::newId();
        QFile file(results.filePath(record.fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(record.toJson());
    }
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    ResultFolder folder(results.path());
    QVERIFY(folder.refresh());
    ResultTable table;
    table.setEntries(folder.entries());
    const qint64 loaded = timer.elapsed();
    const long grown = residentKiB() - before;
    timer.restart();
    QVERIFY(folder.refresh()); // the folder changed within two seconds: every name is looked at
    const qint64 rescan = timer.nsecsElapsed() / 1000;
    QTest::qWait(2100);
    timer.restart();
    QVERIFY(folder.refresh()); // a poll with nothing new
    const qint64 poll = timer.nsecsElapsed() / 1000;
    QCOMPARE(table.shown().size(), 10000);
    // The lesson view as each look at the folder makes it: the day's rows
    // and who works now, over every record.
    QVector<PupilStatus> working;
    for (int k = 0; k < 30; ++k) {
        PupilStatus status;
        status.user = QStringLiteral("w%1").arg(k);
        status.host = QStringLiteral("pc");
        status.mode = ResultMode::Test2;
        status.step = 3;
        status.started = record.started;
        status.limitSeconds = 300;
        status.updated = record.finished;
        working.append(status);
    }
    timer.restart();
    const QVector<LessonTable::Pupil> pupils = LessonTable::pupils(table.all(), QDate(2026, 12, 9), QString());
    const QVector<LessonTable::Working> statuses
        = LessonTable::working(working, table.all(), QDate(2026, 12, 9), QString(), record.finished);
    const qint64 lesson = timer.nsecsElapsed() / 1000;
    QCOMPARE(pupils.size(), 30);
    QCOMPARE(statuses.size(), 30);
    std::printf(
        "RESULTS 10000 records: load %lld ms, +%ld KiB resident, poll %lld us, rescan %lld us, lesson %lld us\n",
        loaded, grown, poll, rescan, lesson);
}

// One record kept in the outbox and handed in to a local folder, as the
// trainer's worker does at a report.
void BenchPrograms::handIn()
{
    QTemporaryDir home;
    QTemporaryDir results;
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.path()));
    ResultRecord record = ResultRecord::ofThisAccount();
    record.topic = QStringLiteral("Физика");
    record.started = record.finished = QDateTime::currentDateTime();
    for (int k = 0; k < 16; ++k)
        record.steps.append({k, k, QString(), true, true, QStringLiteral("вопрос"), QStringLiteral("ответ")});
    QVector<qint64> times;
    for (int k = 0; k < 21; ++k) {
        record.id = ResultRecord::newId();
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ResultStore::write(results.path(), record).outcome, ResultStore::Outcome::HandedIn);
        times << timer.nsecsElapsed() / 1000;
    }
    std::sort(times.begin(), times.end());
    std::printf("RESULT : BenchPrograms::handIn(): %lld us median of 21 hand-ins, outbox included\n", times[10]);
}

// сорт2 on a 30 x 30 table step by step: the run made as the sort goes, the
// memory it holds, and the worst of fifty jumps to any step, drawn.
void BenchPrograms::stepsOfSort()
{
    LabArrays arrays;
    arrays.setSizes(30, 30);
    RandomSource random;
    random.setFixedSeed(7);
    arrays.fillTable(random);
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    auto trace = std::make_shared<StepTrace>(arrays, true);
    arrays.sortTable(trace.get());
    const qint64 made = timer.elapsed();
    StepWindow window(nullptr);
    window.showRun(trace, LabCode::Operation::SortTable, QStringLiteral("сорт2"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Ready: the steps made and the window on the screen with the first of them.
    const qint64 ready = timer.elapsed();
    const long grown = residentKiB() - before;
    qint64 worst = 0;
    std::mt19937 engine(11);
    for (int k = 0; k < 50; ++k) {
        timer.restart();
        window.setStep(int(engine() % quint32(trace->size() + 1)));
        window.repaint();
        worst = std::max(worst, timer.nsecsElapsed() / 1000);
    }
    // A teacher's Ctrl++ from 100 % to 300 % at once, drawn.
    timer.restart();
    window.setZoom(300);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); // laid out again, not only drawn
    window.repaint();
    const qint64 zoomed = timer.nsecsElapsed() / 1000;
    std::printf("RESULT STEPS 30 x 30 sort: %d steps made in %lld ms, ready in %lld ms, +%ld KiB resident, worst jump "
                "%lld us, zoom %lld us\n",
                trace->size(), made, ready, grown, worst, zoomed);
}

// The teacher's window over the hostile files scripts/bench puts in
// BENCH_HOSTILE (tests/bench/hostile_records.py): the time until every file
// is read and the memory the window then holds, cache included.
void BenchPrograms::hostileRecords()
{
    const QString folder = qEnvironmentVariable("BENCH_HOSTILE");
    if (folder.isEmpty())
        QSKIP("BENCH_HOSTILE names no folder");
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    ResultsWindow window(folder, QString());
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(!window.busy(), 60000);
    const qint64 read = timer.elapsed();
    std::printf("RESULT HOSTILE window: %lld ms, +%ld KiB resident, %lld records\n", read, residentKiB() - before,
                qint64(window.table().all().size()));
}

// A hundred thousand one-byte files in the results folder (a pupil's flood): the first look
// reads each, a look at the unchanged folder nothing, and a look at the
// changed folder asks each one's size and time, no more.
void BenchPrograms::junkFiles()
{
    // BENCH_JUNK files instead, for a quick run.
    const int count = qEnvironmentVariableIsSet("BENCH_JUNK") ? qEnvironmentVariableIntValue("BENCH_JUNK") : 100000;
    QTemporaryDir results;
    for (int k = 0; k < count; ++k) {
        QFile file(results.filePath(QStringLiteral("%1.json").arg(k)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    ResultFolder folder(results.path());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(folder.refresh());
    const qint64 first = timer.elapsed();
    QCOMPARE(folder.unreadable(), count);
    QTest::qWait(2100); // past the two seconds in which a folder is looked at anyway
    timer.restart();
    QVERIFY(folder.refresh());
    const qint64 unchanged = timer.nsecsElapsed() / 1000;
    QFile another(results.filePath(QStringLiteral("new.json")));
    QVERIFY(another.open(QIODevice::WriteOnly));
    another.close();
    timer.restart();
    const ResultFolder::Listing listing = ResultFolder::list(results.path(), folder.stamp());
    const qint64 listed = timer.elapsed();
    const QStringList names = folder.take(listing);
    const qint64 changed = timer.elapsed();
    QCOMPARE(names, QStringList{QStringLiteral("new.json")});
    folder.take(ResultFolder::read(results.path(), names));
    // The look that asks each junk file its size and time.
    QTest::qWait(2100);
    qint64 checked = 0;
    for (int look = 0; look < ResultFolder::LooksPerBadCheck; ++look) {
        timer.restart();
        const QStringList due = folder.take(ResultFolder::list(results.path(), folder.stamp()));
        if (due.isEmpty())
            continue;
        folder.take(ResultFolder::read(results.path(), due, folder.known({})));
        checked = timer.elapsed();
        break;
    }
    std::printf("RESULT JUNK %d files: first look %lld ms, unchanged %lld us, changed %lld ms (listed in %lld), "
                "each looked at %lld ms\n",
                count, first, unchanged, changed, listed, checked);
}

// The teacher's window over 10,000 finished attempts and their 10,000
// openings: the first rows, all rows on a first look and again from the
// cache, and the lesson view over them.
void BenchPrograms::attemptsWindow()
{
    QTemporaryDir results;
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QDateTime today = QDateTime::currentDateTime();
    ResultRecord record = ResultRecord::ofThisAccount();
    record.topic = QStringLiteral("Физика");
    record.mode = ResultMode::Test2;
    record.limitSeconds = 300;
    for (int k = 0; k < 16; ++k)
        record.steps.append({k, k, QString(), true, true, {}, {}});
    record.matches = 16;
    record.percent = 100;
    record.grade = QStringLiteral("5");
    for (int k = 0; k < 10000; ++k) {
        record.user = QStringLiteral("pupil%1").arg(k % 30);
        record.started = today.addSecs(-k - 400);
        record.finished = record.started.addSecs(200);
        record.id = ResultRecord::newId();
        for (const ResultRecord &each : {record, ResultRecord::openingOf(record)}) {
            QFile file(results.filePath(each.fileName()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(each.toJson());
        }
    }
    qint64 first = 0;
    qint64 all = 0;
    qint64 cached = 0;
    for (qint64 *whole : {&all, &cached}) {
        QElapsedTimer timer;
        timer.start();
        ResultsWindow window(results.path(), QString());
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.table().all().isEmpty(), 60000);
        if (whole == &all)
            first = timer.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(!window.busy(), 120000);
        *whole = timer.elapsed();
        QCOMPARE(window.table().all().size(), 10000);
        if (whole != &cached)
            continue;
        timer.restart();
        const QVector<LessonTable::Pupil> pupils = LessonTable::pupils(window.table().all(), today.date(), QString());
        const qint64 lesson = timer.nsecsElapsed() / 1000;
        QCOMPARE(pupils.size(), 30);
        std::printf("RESULT ATTEMPTS 10000 finished and 10000 opening records: first rows %lld ms, all %lld ms, "
                    "from the cache %lld ms, lesson %lld us\n",
                    first, all, cached, lesson);
    }
}

// What keeping the run's state costs the window's thread at a step: the
// state made and posted, the status likewise (both written on a worker).
void BenchPrograms::stateKeeping()
{
    QTemporaryDir results;
    QTemporaryDir state;
    QObject owner;
    RunHandIn handIn(results.path(), state.path(), &owner);
    handIn.topicLoaded(QString(), m_topic.path());
    Trainer trainer;
    trainer.load(m_topic.path());
    trainer.setTimeLimit(QStringLiteral("0:05:00"));
    trainer.startMode(QDateTime::currentDateTime());
    RandomSource random;
    random.reseed(7);
    trainer.startTest2(random);
    const Trainer::Modes modes = Trainer::Mode::Test2;
    handIn.runStarted(trainer, modes, QDateTime::currentDateTime());
    QVector<qint64> times;
    for (int k = 0; k < Trainer::Steps; ++k) {
        trainer.pickQuestion(k, modes);
        const int row = int(std::find(trainer.answerOrder().begin(), trainer.answerOrder().end(), k)
                            - trainer.answerOrder().begin());
        trainer.pickAnswer(row, modes);
        QElapsedTimer timer;
        timer.start();
        handIn.progress(trainer, modes, QDateTime::currentDateTime());
        times << timer.nsecsElapsed() / 1000;
        QTest::qWait(20); // a pupil's pace: the write before is done
    }
    QVERIFY(handIn.keeper()->waitForIdle());
    QTRY_VERIFY(!handIn.courier()->busy() && !handIn.board()->busy());
    std::sort(times.begin(), times.end());
    std::printf("RESULT STATE a step's state and status on the window's thread: median %lld us, worst %lld us\n",
                times[times.size() / 2], times.last());
}

QTEST_MAIN(BenchPrograms)
#include "bench_programs.moc"
