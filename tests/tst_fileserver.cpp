#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "lessontable.h"
#include "resultcourier.h"
#include "resultfolder.h"
#include "resultswindow.h"
#include "support/trainertestsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// The windows against a real file server, set up by scripts/check-fileserver:
// FILESERVER_RESULTS is the results share as this account mounts it,
// FILESERVER_BACKING the folder behind the share, FILESERVER_SMBD the process
// group of the server. Skipped when they are not set.
class TestFileServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void trainerWhileTheServerHangs();
    void teacherWindowAtSchoolScale();
    void pupilsAgainstEachOther();

private:
    // The longest the event loop went unserved while wait ran.
    static qint64 longestStall(const std::function<bool()> &until, int milliseconds);
    static int records(const QString &folder);

    QString m_results;
    QString m_backing;
    pid_t m_server = 0;
};

void TestFileServer::init()
{
    m_results = qEnvironmentVariable("FILESERVER_RESULTS");
    m_backing = qEnvironmentVariable("FILESERVER_BACKING");
    m_server = pid_t(qEnvironmentVariableIntValue("FILESERVER_SMBD"));
    if (m_results.isEmpty() || m_backing.isEmpty() || m_server <= 0)
        QSKIP("needs the file server of scripts/check-fileserver");
}

qint64 TestFileServer::longestStall(const std::function<bool()> &until, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(10);
    while (clock.elapsed() < milliseconds && !until())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    longest = std::max(longest, clock.elapsed() - last);
    return longest;
}

// The rows the teacher's window shows: one per record, and one per opening
// record no record followed.
int TestFileServer::records(const QString &folder)
{
    QSet<QString> ended;
    QSet<QString> opened;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.json"), QStringLiteral("*.start")}, QDir::Files)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
        const QString attempt = o.value(QLatin1String("attempt")).toString(o.value(QLatin1String("id")).toString());
        (name.endsWith(QLatin1String(".start")) ? opened : ended).insert(attempt);
    }
    return int(dir.entryList({QStringLiteral("*.json")}, QDir::Files).size() + (opened - ended).size());
}

// The server stops answering as a pupil asks for the result: the report and
// the window go on, the record waits on this computer, and once the server
// is back the hand-in delivers it exactly once.
void TestFileServer::trainerWhileTheServerHangs()
{
    QTemporaryDir home;
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.filePath(QStringLiteral("state"))));
    const int before = records(m_backing);
    TrainerFixture t;
    t.handInTo(m_results);
    TrainerForm &f = t.form();
    t.click(f.Option1);
    t.click(f.Check1);
    t.click(f.Command1);
    for (int k = 0; k < 16; ++k) {
        t.clickRow(f.List1, k);
        t.clickRow(f.List2, k);
    }
    QCOMPARE(::kill(-m_server, SIGSTOP), 0);
    QElapsedTimer waited;
    waited.start();
    t.click(f.Command3);
    QVERIFY(t.printed().join(QLatin1Char('\n')).contains(QStringLiteral("оценка 5")));
    const QString later
        = QStringLiteral("Результат сохранён на этом компьютере и будет передан учителю позже: сервер не отвечает");
    const qint64 stall = longestStall([&t, &later] { return t.printed().contains(later); }, 8000);
    const qint64 lineAfter = waited.elapsed();
    QCOMPARE(::kill(-m_server, SIGCONT), 0);
    QVERIFY2(t.printed().contains(later), qPrintable(t.printed().join(QLatin1Char('\n'))));
    qInfo("the line after %lld ms, the longest stall %lld ms", lineAfter, stall);
    QVERIFY(lineAfter < 6500);
    QVERIFY(stall < 100);

    // Whatever the attempt under way does once the server is back, one
    // record arrives, by it or by the hand-in.
    QTRY_VERIFY_WITH_TIMEOUT(!f.courier()->busy(), 60000);
    QProcess handIn;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    handIn.setProcessEnvironment(env);
    handIn.start(QStringLiteral(TESMORA), {QStringLiteral("--hand-in")});
    QVERIFY(handIn.waitForFinished(60000));
    QCOMPARE(handIn.exitCode(), 0);
    QCOMPARE(records(m_backing), before + 1);
}

// The teacher's window over the share with as many records as the script
// put there: it shows at once, never stalls while it reads and polls, and
// shows every record in the end.
void TestFileServer::teacherWindowAtSchoolScale()
{
    QTemporaryDir home;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    const int expected = records(m_backing);
    QElapsedTimer opened;
    for (const char *opening : {"first", "from the cache"}) {
        opened.start();
        auto window = std::make_unique<ResultsWindow>(m_results, QString());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const qint64 shown = opened.elapsed();
        // Every file is a round trip of smbnetfs: 20,000 of them take about a minute.
        const qint64 stall = longestStall([&window] { return !window->reading(); }, 180000);
        const qint64 all = opened.elapsed();
        QCOMPARE(window->table().shown().size(), expected);
        // Two polls with nothing new.
        const qint64 pollStall = longestStall([] { return false; }, 2 * ResultsWindow::PollMilliseconds + 500);
        qInfo("%s opening of %d records: shown after %lld ms, all after %lld ms; longest stall %lld ms, %lld ms "
              "while polling",
              opening, expected, shown, all, stall, pollStall);
        QVERIFY(shown < 1000);
        QVERIFY(stall < 100 && pollStall < 100);
    }
}

// What scripts/check-fileserver had one pupil (the cheat) do to another (the
// victim) through the share, as the teacher reads it: the victim's record
// handed in under a fresh name is one row, unflagged; the cheat's record
// with the victim's full name is flagged; the victim's own status is the
// one shown, not the planted ones; the hostile files are counted, not read.
void TestFileServer::pupilsAgainstEachOther()
{
    const QString victim = qEnvironmentVariable("FILESERVER_VICTIM");
    const QString cheat = qEnvironmentVariable("FILESERVER_CHEAT");
    if (victim.isEmpty() || cheat.isEmpty())
        QSKIP("needs the pupils of scripts/check-fileserver");
    QElapsedTimer timer;
    timer.start();
    ResultFolder folder(m_results);
    QVERIFY(folder.refresh());
    qInfo("the folder read in %lld ms: %d records, %d files not", timer.elapsed(), int(folder.entries().size()),
          folder.unreadable());
    int victimRows = 0;
    int borrowed = 0;
    for (const ResultFolder::Entry &e : folder.entries()) {
        if (e.record.user == victim) {
            ++victimRows;
            QCOMPARE(e.attention, QString());
        }
        if (e.record.user == cheat && e.record.name == QStringLiteral("Ученик ") + victim) {
            ++borrowed;
            QVERIFY2(e.attention.contains(QStringLiteral("не имя учётной записи ") + cheat), qPrintable(e.attention));
        }
    }
    QCOMPARE(victimRows, 2); // the first hand-in, and the one whose name was taken
    QCOMPARE(borrowed, 1);
    QVERIFY(folder.unreadable() >= 76); // the name taken, three hostile kinds of four
    // Through the share every file shows as one account's: that is said.
    QVERIFY(!folder.ownersNote().isEmpty());
    ResultFolder::Listing listing = ResultFolder::list(m_results);
    listing.pupils = PupilStatus::readAll(m_results, listing.statuses);
    const QVector<LessonTable::Working> working
        = LessonTable::working(folder.trusted(listing.pupils), folder.entries(), QDate::currentDate(), QString(),
                               QDateTime::currentDateTime());
    const auto victims = std::count_if(working.cbegin(), working.cend(), [&victim](const LessonTable::Working &w) {
        return w.text.startsWith(victim + QLatin1Char(','));
    });
    const auto shown = std::find_if(working.cbegin(), working.cend(), [&victim](const LessonTable::Working &w) {
        return w.text.startsWith(victim + QLatin1Char(','));
    });
    QCOMPARE(victims, 1);
    QVERIFY2(!shown->stopped && shown->text.contains(QStringLiteral("шаг 2 из 16")), qPrintable(shown->text));
}

QTEST_MAIN(TestFileServer)
#include "tst_fileserver.moc"
