#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "pupilstatus.h"
#include "recordcheck.h"
#include "resultcourier.h"
#include "resultstore.h"
#include "statekeeper.h"
#include "statusboard.h"
#include "support/trainertestsupport.h"
#include "trainerform.h"

#include <QDir>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

// What the trainer hands in to a results folder, and that pupils handing in
// at the same moment lose nothing.
class TestResultRecords : public QObject
{
    Q_OBJECT

private slots:
    void handedIn_data();
    void handedIn();
    void keptUntilTheFolderIsBack_data();
    void keptUntilTheFolderIsBack();
    void twentyAtOnce();
    void statusGoneWithTheWindow();

private:
    // The records that end a run, or with openings, those that begin one.
    static QList<ResultRecord> records(const QString &folder, bool openings = false);
    // An outbox of the test's own, so that no record waits from another.
    static QTemporaryDir ownOutbox();
};

QTemporaryDir TestResultRecords::ownOutbox()
{
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    return state;
}

QList<ResultRecord> TestResultRecords::records(const QString &folder, bool openings)
{
    QList<ResultRecord> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        // Where the pupil stands, where an open run stands, and the other kind: not counted.
        if (PupilStatus::isStatusName(name) || name.endsWith(QLatin1String(".state"))
            || name.endsWith(QLatin1String(".left")) || name.endsWith(QLatin1String(openings ? ".json" : ".start")))
            continue;
        QFile file(dir.filePath(name));
        if (!name.endsWith(QLatin1String(openings ? ".start" : ".json")) || name.startsWith(QLatin1Char('.'))
            || !file.open(QIODevice::ReadOnly))
            return {}; // a half-written or stray file fails the count
        const std::optional<ResultRecord> record = ResultRecord::fromJson(file.readAll());
        if (!record || record->opening != openings)
            return {};
        found << *record;
    }
    return found;
}

void TestResultRecords::handedIn_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("timedOut");
    QTest::newRow("training, 13 of 16 right") << "training" << 1 << "training" << 16 << false;
    QTest::newRow("Test 1 answered 1 throughout") << "test1" << 1 << "test1" << 16 << false;
    QTest::newRow("too few answers: nothing") << "short" << 0 << "" << 0 << false;
    QTest::newRow("time-out after 5 steps") << "timeout" << 1 << "training" << 5 << true;
    QTest::newRow("the report pressed twice: one record") << "twice" << 1 << "training" << 16 << false;
    QTest::newRow("16 steps, a time-out, then the report: both") << "late" << 2 << "training" << 16 << true;
}

void TestResultRecords::handedIn()
{
    QFETCH(QString, run);
    QFETCH(int, records);
    QFETCH(QString, mode);
    QFETCH(int, steps);
    QFETCH(bool, timedOut);
    QTemporaryDir results;
    const QTemporaryDir state = ownOutbox();
    TrainerFixture t;
    t.handInTo(results.path());
    TrainerForm &f = t.form();
    const auto picks = [&t, &f](int count, int right) {
        for (int k = 0; k < count; ++k) {
            t.clickRow(f.List1, k);
            t.clickRow(f.List2, k < right ? k : (k + 1) % 17);
        }
    };
    if (run == QLatin1String("test1")) {
        for (int k = 0; k < 16; ++k)
            t.input().reply(QStringLiteral("1"));
        t.click(f.Option1);
        t.click(f.Check2);
        t.click(f.Command2);
    } else {
        t.click(f.Option1);
        t.click(f.Check1);
        t.click(f.Command1);
        picks(run == QLatin1String("short") ? 15 : (run == QLatin1String("timeout") ? 5 : 16), 13);
    }
    if (run == QLatin1String("timeout") || run == QLatin1String("late")) {
        t.clock().advance(qint64(61) * 1000);
        f.Timer1_Timer();
    }
    t.click(f.Command3);
    if (run == QLatin1String("twice"))
        t.click(f.Command3);
    QTRY_VERIFY(!f.courier()->busy() && !f.handInBoard()->busy());

    QList<ResultRecord> found = TestResultRecords::records(results.path());
    QCOMPARE(found.size(), records);
    if (records == 2) { // the time-out's record, then the report's with the grade
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.timedOut > b.timedOut; });
        QVERIFY(found[0].timedOut && found[0].grade.isEmpty());
        QVERIFY(!found[1].timedOut && found[1].grade == f.trainer().grade() && !found[1].grade.isEmpty());
    }
    // The report shows the line of its record as it stands, once.
    QCOMPARE(t.printed().count(QStringLiteral("Результат передан учителю.")), std::min(records, 1));
    const QDir outbox(state.filePath(QStringLiteral("tesmora/outbox")));
    // A run without its end keeps its state, to be gone on with.
    QTRY_VERIFY(!f.stateKeeper()->busy() && !f.handInBoard()->busy());
    const QStringList kept = outbox.entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(kept.size(), records ? 0 : 1);
    QVERIFY(records || kept[0].endsWith(QLatin1String(".state")));
    // The run was on the record from its start, and every end names it.
    const QList<ResultRecord> openings = TestResultRecords::records(results.path(), true);
    QCOMPARE(openings.size(), 1);
    QCOMPARE(openings[0].steps.size(), 0);
    for (const ResultRecord &each : std::as_const(found)) {
        QCOMPARE(each.attemptId(), openings[0].id);
        QCOMPARE(each.started, openings[0].started);
    }
    // The teacher's check works the figures out from the steps as the trainer did.
    for (const ResultRecord &each : std::as_const(found))
        QCOMPARE(RecordCheck::disagreement(each), QString());
    if (!records)
        return;
    const ResultRecord &r = found.first();
    QCOMPARE(ResultMode::key(r.mode), mode);
    QCOMPARE(r.steps.size(), steps);
    QCOMPARE(r.timedOut, timedOut);
    QCOMPARE(r.topic, QStringLiteral("Стандартная тема"));
    QCOMPARE(r.limitSeconds, qint64(60));
    QCOMPARE(r.topicSha256.size(), 64);
    QVERIFY(r.started <= r.finished && r.finished.offsetFromUtc() == QDateTime::currentDateTime().offsetFromUtc());
    QCOMPARE(r.grade, timedOut ? QString() : f.trainer().grade());
    QCOMPARE(r.errors, int(f.trainer().errorCount()));
    if (!timedOut)
        QCOMPARE(r.percent, double(f.trainer().percent()));
    if (r.mode == ResultMode::Training) {
        for (int k = 0; k < steps; ++k) {
            QCOMPARE(r.steps.at(k).question, k);
            QCOMPARE(r.steps.at(k).answer, k < 13 ? k : (k + 1) % 17);
            QCOMPARE(r.steps.at(k).right, k < 13);
            QCOMPARE(r.steps.at(k).questionText, f.trainer().questions()[k]);
        }
    } else {
        for (const ResultRecord::Step &s : r.steps)
            QCOMPARE(s.reply, QStringLiteral("1"));
        QCOMPARE(r.matches, int(f.trainer().matchCount()));
    }
    struct stat st
    {
    };
    const QString file = QDir(results.path()).entryList({QStringLiteral("*.json")}, QDir::Files).first();
    QVERIFY(::stat(QFile::encodeName(results.filePath(file)).constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 07777), 0640);
    QFile json(results.filePath(file));
    QVERIFY(json.open(QIODevice::ReadOnly));
    // The offset written out, also at UTC: +00:00, not Z.
    QVERIFY(QRegularExpression(
                QStringLiteral("\"finished\": \"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d\""))
                .match(QString::fromUtf8(json.readAll()))
                .hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9._-]+@[A-Za-z0-9._-]+-\\d{8}-\\d{6}-[0-9a-f]{8}\\.json$"))
                .match(file)
                .hasMatch());
}

void TestResultRecords::keptUntilTheFolderIsBack_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("no such folder") << "missing";
    QTest::newRow("a file in its place") << "file";
}

// A hand-in that fails keeps the record on this computer; pressing the
// report again once the folder is back hands it in, once.
void TestResultRecords::keptUntilTheFolderIsBack()
{
    QFETCH(QString, folder);
    QTemporaryDir root;
    const QTemporaryDir state = ownOutbox();
    const QString path = root.filePath(folder);
    if (folder == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    TrainerFixture t;
    t.handInTo(path);
    TrainerForm &f = t.form();
    t.click(f.Option1);
    t.click(f.Check1);
    t.click(f.Command1);
    for (int k = 0; k < 16; ++k) {
        t.clickRow(f.List1, k);
        t.clickRow(f.List2, k);
    }
    t.click(f.Command3);
    QTRY_VERIFY(!f.courier()->busy());
    const QStringList printed = t.printed();
    // The report stands as it was, with the hand-in's line below it, wrapped
    // within the window however long the reason.
    const qsizetype report = printed.indexOf(QRegularExpression(QStringLiteral(".*оценка 5.*")));
    QVERIFY2(report >= 0, qPrintable(printed.join('\n')));
    const QString below = printed.mid(report + 1).join(QLatin1Char(' '));
    const qsizetype later
        = below.indexOf(QStringLiteral("Результат сохранён на этом компьютере и будет передан учителю позже: "));
    QVERIFY2(later >= 0, qPrintable(below));
    QVERIFY2(below.mid(later).simplified().contains(path), qPrintable(below));
    // Every line ends within the window, as its own face draws it.
    for (const PrintLine &line : f.printModel().lines()) {
        for (const PrintItem &item : line.items) {
            const qreal right = item.x + QFontMetricsF(f.printModel().fontOf(item)).horizontalAdvance(item.text);
            QVERIFY2(right <= f.width(), qPrintable(item.text));
        }
    }
    // The status the trainer could not write is said once; the clicks came
    // faster than its first answer.
    QCOMPARE(printed.filter(QStringLiteral("Учитель не видит")).size(), 1);
    const QString outbox = state.filePath(QStringLiteral("tesmora/outbox"));
    QTRY_VERIFY(!f.stateKeeper()->busy() && !f.handInBoard()->busy());
    QCOMPARE(records(outbox).size(), 1);

    QVERIFY(QFile::remove(path) || folder == QLatin1String("missing"));
    QVERIFY(QDir().mkpath(path));
    // The minute's retry hands it in: the line under the report says so at once.
    f.courier()->retry();
    QTRY_VERIFY(!f.courier()->busy());
    QVERIFY(t.printed().endsWith(QStringLiteral("Результат передан учителю.")));
    QCOMPARE(t.printed().mid(0, report + 1), printed.mid(0, report + 1));
    QVERIFY(!t.printed().join(QLatin1Char(' ')).contains(QStringLiteral("позже")));
    // The report pressed again shows the line as it stands.
    t.click(f.Command3);
    QTRY_VERIFY(!f.courier()->busy());
    QVERIFY(t.printed().endsWith(QStringLiteral("Результат передан учителю.")));
    QCOMPARE(records(path).size(), 1);
    QCOMPARE(records(outbox).size(), 0);
    QVERIFY(QDir(outbox).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// Twenty pupils hand in at the same moment into a drop box they may add to but
// not list: every record arrives whole and nothing else is left.
void TestResultRecords::twentyAtOnce()
{
    QTemporaryDir root;
    const QString box = root.filePath(QStringLiteral("results"));
    QVERIFY(QDir().mkpath(box));
    QVERIFY(::chmod(QFile::encodeName(box).constData(), 03773) == 0);
    QVERIFY(::chmod(QFile::encodeName(root.path()).constData(), 0755) == 0);
    const bool asRoot = ::getuid() == 0;
    QList<QProcess *> pupils;
    for (int k = 0; k < 20; ++k) {
        auto *p = new QProcess(this);
        const QString child = QCoreApplication::applicationDirPath() + QStringLiteral("/resultstore_child");
        // As root the drop box would not stop anyone: the pupils run as nobody.
        if (asRoot)
            p->start(QStringLiteral("setpriv"),
                     {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                      QStringLiteral("--clear-groups"), child, box});
        else
            p->start(child, {box});
        pupils << p;
    }
    for (QProcess *p : pupils) {
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 0);
    }
    const QList<ResultRecord> found = records(box);
    QCOMPARE(found.size(), 20);
    if (!asRoot)
        return;
    for (const QString &name : QDir(box).entryList(QDir::Files | QDir::Hidden)) {
        struct stat st
        {
        };
        QVERIFY(::stat(QFile::encodeName(box + QLatin1Char('/') + name).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);
        QCOMPARE(st.st_gid, gid_t(0)); // the folder's group, not the pupil's
    }
    // A pupil can neither list the box nor read another's record.
    QProcess list;
    list.start(QStringLiteral("setpriv"),
               {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"),
                QStringLiteral("ls"), box});
    QVERIFY(list.waitForFinished(10000));
    QVERIFY(list.exitCode() != 0);
}

// The status file lasts as long as the trainer: a pupil who closed it is
// not listed as working.
void TestResultRecords::statusGoneWithTheWindow()
{
    QTemporaryDir results;
    const QTemporaryDir state = ownOutbox();
    {
        TrainerFixture t;
        t.handInTo(results.path());
        t.click(t.form().Option1);
        t.click(t.form().Check1);
        t.click(t.form().Command1);
        t.clickRow(t.form().List1, 0);
        t.clickRow(t.form().List2, 0);
        QTRY_VERIFY(!t.form().handInBoard()->busy());
        const QStringList names = QDir(results.path()).entryList({QStringLiteral("*.status")}, QDir::Files);
        QCOMPARE(names.size(), 1);
        QCOMPARE(PupilStatus::readAll(results.path(), names).value(0).step, 1);
    }
    // The status goes; the attempt stays on the record.
    const QStringList left = QDir(results.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left.size(), 1);
    QVERIFY2(left[0].endsWith(QLatin1String(".start")), qPrintable(left[0]));
}

QTEST_MAIN(TestResultRecords)
#include "tst_resultrecords.moc"
