#include "lessontable.h"
#include "resultcache.h"
#include "resultfolder.h"
#include "resultsmodel.h"
#include "resulttable.h"
#include "safetext.h"
#include "topiccatalog.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Two pupils on one school computer, as two real accounts: what one who
// cheats or wants to harm can do to the other's results and to the teacher
// reading the class's folder. Each row is one attack. The accounts are made
// with useradd for the run and removed by name after it, and before it in
// case a run was cut short. Needs root.
class TestAttacks : public QObject
{
    Q_OBJECT

public:
    enum class Attack {
        SpareOutboxMadeFirst,
        SpareOutboxALink,
        ForeignRecordWaiting,
        NoteNamingAFile,
        OutboxOpenToOthers,
        NameTakenFirst,
        StatusPlanted,
        FullNameBorrowed,
        OneOwnerForAll,
        TopicFilesNeverHad,
        TopicLookAlike,
        StepsFlood,
        CacheReadable,
        FormulasAndEscapes,
        HtmlInAName,
        JunkReadAtEveryLook,
        FolderInTheDropBox,
    };
    Q_ENUM(Attack)

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void attack_data();
    void attack();

private:
    struct Pupil
    {
        QString login;
        QString fullName;
        uid_t uid = 0;
        gid_t gid = 0;
        QString home;
        QString state; // the XDG state home its programs are given
    };

    static void removeAccounts();
    void makePupil(Pupil &pupil, const QString &login, const QString &fullName);
    // Runs program as the pupil with its own folders; the exit status, the
    // standard error in *errors.
    int runAs(const Pupil &pupil, const QString &program, const QStringList &arguments, QString *errors = nullptr);
    // The record the pupil's trainer keeps in its outbox; its name.
    QString keep(const Pupil &pupil);
    static QString outboxOf(const Pupil &pupil) { return pupil.state + QStringLiteral("/tesmora/outbox"); }
    static QStringList spareFolders(const Pupil &pupil);
    // A file the pupil made: written here, then given to the pupil.
    static void plant(const QString &path, const QByteArray &bytes, const Pupil &owner, int mode = 0644);
    static void plantFolder(const QString &path, const Pupil &owner, int mode = 0755);
    static QByteArray record(const Pupil &pupil, const QString &id, const QJsonObject &changes = {});
    QStringList dropBox() const;
    QString csv(const QString &topics);
    ResultFolder teacher() const;

    void spareOutbox(bool asLink);
    void foreignRecordWaiting();
    void noteNamingAFile();
    void outboxOpenToOthers();
    void nameTakenFirst();
    void statusPlanted();
    void fullNameBorrowed();
    void oneOwnerForAll();
    void topicChecked(bool lookAlike);
    void stepsFlood();
    void cacheReadable();
    void formulasAndEscapes();
    void htmlInAName();
    void junkReadAtEveryLook();
    void folderInTheDropBox();

    QTemporaryDir m_root;
    QString m_bin;
    QString m_results;
    Pupil m_a; // the one who cheats
    Pupil m_b;
};

namespace {

const QString kLoginA = QStringLiteral("tsmatk-a");
const QString kLoginB = QStringLiteral("tsmatk-b");

int run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(30000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString host()
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9._-]"));
    return QSysInfo::machineHostName().replace(other, QStringLiteral("_"));
}

} // namespace

void TestAttacks::removeAccounts()
{
    for (const QString &login : {kLoginA, kLoginB}) {
        const passwd *account = ::getpwnam(QFile::encodeName(login).constData());
        if (!account)
            continue;
        const QString prefix = QStringLiteral("tesmora-%1").arg(account->pw_uid);
        for (const QString &name : QDir(QStringLiteral("/var/tmp")).entryList(QDir::AllEntries | QDir::System)) {
            if (name == prefix || name.startsWith(prefix + QLatin1Char('.')))
                run(QStringLiteral("rm"), {QStringLiteral("-rf"), QStringLiteral("/var/tmp/") + name});
        }
        run(QStringLiteral("pkill"), {QStringLiteral("-KILL"), QStringLiteral("-u"), login});
        run(QStringLiteral("userdel"), {login});
    }
}

void TestAttacks::initTestCase()
{
    if (::getuid() != 0)
        QSKIP("needs root: two real accounts are made for the run");
    removeAccounts();
    QVERIFY(::chmod(QFile::encodeName(m_root.path()).constData(), 0755) == 0);
    // The programs run as the pupils from a folder they may enter.
    m_bin = m_root.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(m_bin));
    for (const QString &program : {QStringLiteral(TESMORA), QStringLiteral(RESULTSTORE_CHILD)}) {
        const QString copy = m_bin + QLatin1Char('/') + QFileInfo(program).fileName();
        QVERIFY(QFile::copy(program, copy));
        QVERIFY(::chmod(QFile::encodeName(copy).constData(), 0755) == 0);
    }
    makePupil(m_a, kLoginA, QStringLiteral("Андреев Антон"));
    makePupil(m_b, kLoginB, QStringLiteral("Борисова Белла"));
}

void TestAttacks::cleanupTestCase()
{
    if (::getuid() == 0)
        removeAccounts();
    run(QStringLiteral("rm"), {QStringLiteral("-rf"), m_results});
}

void TestAttacks::makePupil(Pupil &pupil, const QString &login, const QString &fullName)
{
    QCOMPARE(run(QStringLiteral("useradd"),
                 {QStringLiteral("-M"), QStringLiteral("-N"), QStringLiteral("-g"), QStringLiteral("users"),
                  QStringLiteral("-s"), QStringLiteral("/usr/sbin/nologin"), QStringLiteral("-c"), fullName, login}),
             0);
    const passwd *account = ::getpwnam(QFile::encodeName(login).constData());
    QVERIFY(account);
    pupil = {login, fullName, account->pw_uid, account->pw_gid, m_root.filePath(login), {}};
    plantFolder(pupil.home, pupil);
}

void TestAttacks::init()
{
    // Every row starts from an empty drop box as the README makes it, and
    // pupils with nothing kept.
    m_results = m_root.filePath(QStringLiteral("results"));
    run(QStringLiteral("rm"), {QStringLiteral("-rf"), m_results}); // names Qt cannot spell too
    QVERIFY(QDir().mkpath(m_results));
    QVERIFY(::chmod(QFile::encodeName(m_results).constData(), 03773) == 0);
    for (Pupil *pupil : {&m_a, &m_b}) {
        QDir(pupil->home).removeRecursively();
        plantFolder(pupil->home, *pupil);
        for (const QString &spare : spareFolders(*pupil))
            run(QStringLiteral("rm"), {QStringLiteral("-rf"), spare});
        pupil->state = pupil->home + QStringLiteral("/state");
        plantFolder(pupil->home + QStringLiteral("/config"), *pupil);
        plantFolder(pupil->home + QStringLiteral("/config/tesmora"), *pupil);
        plant(pupil->home + QStringLiteral("/config/tesmora/class.conf"),
              "[class]\nresults=" + QFile::encodeName(m_results) + "\n", *pupil);
    }
}

QStringList TestAttacks::spareFolders(const Pupil &pupil)
{
    const QString prefix = QStringLiteral("tesmora-%1").arg(pupil.uid);
    QStringList found;
    for (const QString &name : QDir(QStringLiteral("/var/tmp")).entryList(QDir::AllEntries | QDir::System)) {
        if (name == prefix || name.startsWith(prefix + QLatin1Char('.')))
            found << QStringLiteral("/var/tmp/") + name;
    }
    return found;
}

int TestAttacks::runAs(const Pupil &pupil, const QString &program, const QStringList &arguments, QString *errors)
{
    QProcess p;
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), pupil.home);
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), pupil.state);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), pupil.home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), pupil.home + QStringLiteral("/etc"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), pupil.home + QStringLiteral("/cache"));
    p.setProcessEnvironment(env);
    const uid_t uid = pupil.uid;
    const gid_t gid = pupil.gid;
    p.setChildProcessModifier([uid, gid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(125);
    });
    p.start(program.startsWith(QLatin1Char('/')) ? program : m_bin + QLatin1Char('/') + program, arguments);
    p.waitForFinished(30000);
    if (errors)
        *errors = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString TestAttacks::keep(const Pupil &pupil)
{
    if (runAs(pupil, QStringLiteral("resultstore_child"), {QStringLiteral("--keep")}) != 0)
        return QString();
    const QStringList kept = QDir(outboxOf(pupil)).entryList({QStringLiteral("*.json")}, QDir::Files);
    return kept.size() == 1 ? kept.first() : QString();
}

void TestAttacks::plant(const QString &path, const QByteArray &bytes, const Pupil &owner, int mode)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    QCOMPARE(::chown(QFile::encodeName(path).constData(), owner.uid, owner.gid), 0);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
}

void TestAttacks::plantFolder(const QString &path, const Pupil &owner, int mode)
{
    QVERIFY(QDir().mkpath(path));
    QCOMPARE(::chown(QFile::encodeName(path).constData(), owner.uid, owner.gid), 0);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
}

QByteArray TestAttacks::record(const Pupil &pupil, const QString &id, const QJsonObject &changes)
{
    QJsonArray steps;
    for (int k = 0; k < 16; ++k)
        steps.append(QJsonObject{{QStringLiteral("question"), k},
                                 {QStringLiteral("answer"), k},
                                 {QStringLiteral("right"), true},
                                 {QStringLiteral("counted"), true}});
    QJsonObject o{{QStringLiteral("format"), 1},
                  {QStringLiteral("id"), id},
                  {QStringLiteral("user"), pupil.login},
                  {QStringLiteral("name"), pupil.fullName},
                  {QStringLiteral("host"), QSysInfo::machineHostName()},
                  {QStringLiteral("topic"), QStringLiteral("Физика")},
                  {QStringLiteral("mode"), QStringLiteral("training")},
                  {QStringLiteral("started"), QDateTime::currentDateTime().addSecs(-60).toString(Qt::ISODate)},
                  {QStringLiteral("finished"), QDateTime::currentDateTime().toString(Qt::ISODate)},
                  {QStringLiteral("limitSeconds"), 120},
                  {QStringLiteral("matches"), 16},
                  {QStringLiteral("errors"), 0},
                  {QStringLiteral("percent"), 100},
                  {QStringLiteral("grade"), QStringLiteral("5")},
                  {QStringLiteral("steps"), steps}};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        o.insert(it.key(), it.value());
    return QJsonDocument(o).toJson();
}

QStringList TestAttacks::dropBox() const
{
    return QDir(m_results).entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

ResultFolder TestAttacks::teacher() const
{
    ResultFolder folder(m_results);
    [&folder] { QVERIFY(folder.refresh()); }();
    return folder;
}

QString TestAttacks::csv(const QString &topics)
{
    const QString config = m_root.filePath(QStringLiteral("teacher/tesmora"));
    [&] {
        QVERIFY(QDir().mkpath(config));
        QFile settings(config + QStringLiteral("/class.conf"));
        QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write("[class]\ntopics=" + QFile::encodeName(topics) + "\n");
    }();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("teacher")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TESMORA_EDITOR), {QStringLiteral("--results-csv"), m_results});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void TestAttacks::attack_data()
{
    QTest::addColumn<Attack>("attack");
    QTest::newRow("a spare outbox made first by another pupil") << Attack::SpareOutboxMadeFirst;
    QTest::newRow("a spare outbox that is a link to another's folder") << Attack::SpareOutboxALink;
    QTest::newRow("another account's record waiting in the outbox") << Attack::ForeignRecordWaiting;
    QTest::newRow("a clean-up note naming a file") << Attack::NoteNamingAFile;
    QTest::newRow("an outbox others can list") << Attack::OutboxOpenToOthers;
    QTest::newRow("a waiting record's name taken first") << Attack::NameTakenFirst;
    QTest::newRow("statuses planted in another's name") << Attack::StatusPlanted;
    QTest::newRow("another pupil's full name") << Attack::FullNameBorrowed;
    QTest::newRow("a share that shows every file as one account's") << Attack::OneOwnerForAll;
    QTest::newRow("topic files the class topic never had, in the CSV") << Attack::TopicFilesNeverHad;
    QTest::newRow("a topic's name with a Latin letter") << Attack::TopicLookAlike;
    QTest::newRow("a record of eighty thousand steps") << Attack::StepsFlood;
    QTest::newRow("the teacher's cache") << Attack::CacheReadable;
    QTest::newRow("formulas and terminal escapes in the CSV") << Attack::FormulasAndEscapes;
    QTest::newRow("HTML in a name") << Attack::HtmlInAName;
    QTest::newRow("junk files read again at every look") << Attack::JunkReadAtEveryLook;
    QTest::newRow("a pupil's folder in the drop box") << Attack::FolderInTheDropBox;
}

void TestAttacks::attack()
{
    QFETCH(Attack, attack);
    switch (attack) {
    case Attack::SpareOutboxMadeFirst:
        return spareOutbox(false);
    case Attack::SpareOutboxALink:
        return spareOutbox(true);
    case Attack::ForeignRecordWaiting:
        return foreignRecordWaiting();
    case Attack::NoteNamingAFile:
        return noteNamingAFile();
    case Attack::OutboxOpenToOthers:
        return outboxOpenToOthers();
    case Attack::NameTakenFirst:
        return nameTakenFirst();
    case Attack::StatusPlanted:
        return statusPlanted();
    case Attack::FullNameBorrowed:
        return fullNameBorrowed();
    case Attack::OneOwnerForAll:
        return oneOwnerForAll();
    case Attack::TopicFilesNeverHad:
        return topicChecked(false);
    case Attack::TopicLookAlike:
        return topicChecked(true);
    case Attack::StepsFlood:
        return stepsFlood();
    case Attack::CacheReadable:
        return cacheReadable();
    case Attack::FormulasAndEscapes:
        return formulasAndEscapes();
    case Attack::HtmlInAName:
        return htmlInAName();
    case Attack::JunkReadAtEveryLook:
        return junkReadAtEveryLook();
    case Attack::FolderInTheDropBox:
        return folderInTheDropBox();
    }
}

// A makes B's spare outbox (B's home state cannot be written) before B
// needs it, with a forged record in B's name and a note naming B's file.
void TestAttacks::spareOutbox(bool asLink)
{
    const QString spare = QStringLiteral("/var/tmp/tesmora-%1").arg(m_b.uid);
    QString trap = spare;
    if (asLink) {
        trap = m_a.home + QStringLiteral("/trap");
        QVERIFY(QFile::link(trap, spare));
    }
    plantFolder(trap, m_a, 0777);
    plantFolder(trap + QStringLiteral("/outbox"), m_a, 0777);
    const QString forged = QStringLiteral("%1@%2-20261210-100000-aaaaaaaa.json").arg(m_b.login, host());
    plant(trap + QStringLiteral("/outbox/") + forged, record(m_b, QStringLiteral("a").repeated(32)), m_a);
    const QString homework = m_b.home + QStringLiteral("/homework.txt");
    plant(homework, "homework", m_b);
    plant(trap + QStringLiteral("/outbox/") + forged + QStringLiteral(".left"), QFile::encodeName(homework), m_a);
    plantFolder(m_root.filePath(QStringLiteral("locked")), {}, 0755); // root's
    m_b.state = m_root.filePath(QStringLiteral("locked/state"));

    QCOMPARE(runAs(m_b, QStringLiteral("resultstore_child"), {QStringLiteral("--keep")}), 0);
    QString said;
    QCOMPARE(runAs(m_b, QStringLiteral("tesmora"), {QStringLiteral("--hand-in")}, &said), 0);
    m_b.state = m_b.home + QStringLiteral("/state");
    QVERIFY2(QFile::exists(homework), qPrintable(said));
    const QStringList handedIn = dropBox();
    QCOMPARE(handedIn.size(), 1);
    QVERIFY(!handedIn.contains(forged));
    QVERIFY(QFile::exists(trap + QStringLiteral("/outbox/") + forged));
    // B's record went through a folder nobody could have made first.
    const QStringList spares = spareFolders(m_b);
    QCOMPARE(spares.size(), 2);
    struct stat st
    {
    };
    QCOMPARE(::lstat(QFile::encodeName(spares.last()).constData(), &st), 0);
    QVERIFY(S_ISDIR(st.st_mode) && st.st_uid == m_b.uid && (st.st_mode & 0777) == 0700);
}

void TestAttacks::foreignRecordWaiting()
{
    QVERIFY(!keep(m_b).isEmpty());
    const QString foreign = QStringLiteral("%1@%2-20261210-100000-bbbbbbbb.json").arg(m_a.login, host());
    plant(outboxOf(m_b) + QLatin1Char('/') + foreign, record(m_a, QStringLiteral("b").repeated(32)), m_b, 0600);
    QString said;
    QCOMPARE(runAs(m_b, QStringLiteral("tesmora"), {QStringLiteral("--hand-in")}, &said), 1);
    QVERIFY2(said.contains(QStringLiteral("Отложен, не передан: ") + foreign), qPrintable(said));
    const QStringList handedIn = dropBox();
    QCOMPARE(handedIn.size(), 1);
    QVERIFY(handedIn.first().startsWith(m_b.login + QLatin1Char('@')));
    // Said once: set aside, it is not tried again.
    QCOMPARE(runAs(m_b, QStringLiteral("tesmora"), {QStringLiteral("--hand-in")}, &said), 0);
}

void TestAttacks::noteNamingAFile()
{
    const QString name = keep(m_b);
    QVERIFY(!name.isEmpty());
    const QString victim = m_b.home + QStringLiteral("/homework.txt");
    plant(victim, "homework", m_b);
    plant(outboxOf(m_b) + QLatin1Char('/') + name + QStringLiteral(".left"), QFile::encodeName(victim), m_b, 0600);
    plant(outboxOf(m_b) + QStringLiteral("/gone.json.left"), "../" + QFile::encodeName(m_b.login) + "/homework.txt",
          m_b, 0600);
    QCOMPARE(runAs(m_b, QStringLiteral("tesmora"), {QStringLiteral("--hand-in")}), 0);
    QVERIFY(QFile::exists(victim));
    QCOMPARE(dropBox(), QStringList{name});
}

void TestAttacks::outboxOpenToOthers()
{
    // An outbox made open by an earlier version is closed again.
    plantFolder(m_b.state, m_b);
    plantFolder(m_b.state + QStringLiteral("/tesmora"), m_b, 0755);
    plantFolder(outboxOf(m_b), m_b, 0755);
    QVERIFY(!keep(m_b).isEmpty());
    for (const QString &folder : {m_b.state + QStringLiteral("/tesmora"), outboxOf(m_b)}) {
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0700);
    }
    QVERIFY(runAs(m_a, QStringLiteral("/bin/ls"), {outboxOf(m_b)}) != 0);
}

void TestAttacks::nameTakenFirst()
{
    const QString name = keep(m_b);
    QVERIFY(!name.isEmpty());
    plant(m_results + QLatin1Char('/') + name, "mine now", m_a, 0600);
    QString said;
    QCOMPARE(runAs(m_b, QStringLiteral("tesmora"), {QStringLiteral("--hand-in")}, &said), 0);
    QVERIFY2(said.contains(QStringLiteral("было занято чужим файлом")), qPrintable(said));
    QCOMPARE(dropBox().size(), 2);
    // The teacher sees B's run once, unflagged, and A's file as no record.
    const ResultFolder folder = teacher();
    const QVector<ResultFolder::Entry> entries = folder.entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].record.user, m_b.login);
    QVERIFY(entries[0].fileName != name);
    QCOMPARE(entries[0].attention, QString());
    QCOMPARE(folder.unreadable(), 1);
}

void TestAttacks::statusPlanted()
{
    // B handed in this morning; A then plants statuses that say B stopped,
    // the old name of B's status among them.
    QVERIFY(!keep(m_b).isEmpty());
    QCOMPARE(runAs(m_b, QStringLiteral("tesmora"), {QStringLiteral("--hand-in")}), 0);
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString &id : {QString(), QStringLiteral("00000000"), QStringLiteral("12345678")}) {
        const QJsonObject status{{QStringLiteral("id"), id},
                                 {QStringLiteral("user"), m_b.login},
                                 {QStringLiteral("host"), QSysInfo::machineHostName()},
                                 {QStringLiteral("topic"), QStringLiteral("Физика")},
                                 {QStringLiteral("mode"), QStringLiteral("training")},
                                 {QStringLiteral("step"), 2},
                                 {QStringLiteral("started"), now.addSecs(1).toString(Qt::ISODate)},
                                 {QStringLiteral("limitSeconds"), 120},
                                 {QStringLiteral("updated"), now.addSecs(-600).toString(Qt::ISODate)}};
        const QString name
            = QStringLiteral("%1@%2%3.status").arg(m_b.login, host(), id.isEmpty() ? QString() : QLatin1Char('-') + id);
        plant(m_results + QLatin1Char('/') + name, QJsonDocument(status).toJson(QJsonDocument::Compact), m_a);
    }
    // B's trainer still keeps its status, whatever A took first.
    QCOMPARE(runAs(m_b, QStringLiteral("resultstore_child"), {QStringLiteral("--status"), m_results}), 0);
    ResultFolder folder(m_results);
    ResultFolder::Listing listing = ResultFolder::list(m_results);
    listing.pupils = PupilStatus::readAll(m_results, listing.statuses);
    QCOMPARE(listing.statuses.size(), 4);
    folder.take(folder.read(m_results, folder.take(listing)));
    const QVector<PupilStatus> believed = folder.trusted(listing.pupils);
    QCOMPARE(believed.size(), 1);
    QCOMPARE(believed[0].owner, qint64(m_b.uid));
    for (const LessonTable::Working &w :
         LessonTable::working(believed, folder.entries(), QDate::currentDate(), QString(), now.addSecs(60)))
        QVERIFY2(!w.text.contains(QStringLiteral("остановил")), qPrintable(w.text));
}

void TestAttacks::fullNameBorrowed()
{
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-cccccccc.json").arg(m_a.login, host()),
          record(m_a, QStringLiteral("c").repeated(32), {{QStringLiteral("name"), m_b.fullName}}), m_a);
    plant(m_results + QStringLiteral("/%1@%2-20261210-100001-dddddddd.json").arg(m_b.login, host()),
          record(m_b, QStringLiteral("d").repeated(32)), m_b);
    const QVector<ResultFolder::Entry> entries = teacher().entries();
    QCOMPARE(entries.size(), 2);
    for (const ResultFolder::Entry &e : entries) {
        const bool borrowed = e.record.user == m_a.login;
        QCOMPARE(e.attention.contains(QStringLiteral("«%1» — не имя учётной записи %2").arg(m_b.fullName, m_a.login)),
                 borrowed);
    }
}

// Through a mount that shows every file as one account's, owners tell
// nothing: no row is flagged for them, and that is said once.
void TestAttacks::oneOwnerForAll()
{
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-eeeeeeee.json").arg(m_a.login, host()),
          record(m_a, QStringLiteral("e").repeated(32)), m_a);
    plant(m_results + QStringLiteral("/%1@%2-20261210-100001-ffffffff.json").arg(m_b.login, host()),
          record(m_b, QStringLiteral("f").repeated(32)), m_a);
    const ResultFolder folder = teacher();
    for (const ResultFolder::Entry &e : folder.entries())
        QCOMPARE(e.attention, QString());
    QCOMPARE(folder.ownersNote(),
             QStringLiteral("Кто записал файлы, по этой папке не проверить: все они принадлежат учётной записи %1.")
                 .arg(m_a.login));
}

void TestAttacks::topicChecked(bool lookAlike)
{
    const QString topics = m_root.filePath(QStringLiteral("topics"));
    QVERIFY(QDir().mkpath(topics + QStringLiteral("/Физика")));
    for (const char *file : {"/Физика/test.txt", "/Физика/test1.txt"}) {
        QFile f(topics + QString::fromUtf8(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("q\r\n");
    }
    const QJsonObject forged = lookAlike
        ? QJsonObject{{QStringLiteral("topic"), QStringLiteral("Физикa")}, // a Latin "a"
                      {QStringLiteral("topicSha256"),
                       QString::fromLatin1(TopicCatalog::digest(topics + QStringLiteral("/Физика")))}}
        : QJsonObject{{QStringLiteral("topicSha256"), QStringLiteral("f").repeated(64)}};
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-aaaaaaaa.json").arg(m_a.login, host()),
          record(m_a, QStringLiteral("a").repeated(32), forged), m_a);
    const QString table = csv(topics);
    QCOMPARE(table.count(QStringLiteral("\r\n")), 2);
    QVERIFY2(table.contains(lookAlike ? QStringLiteral("похоже на тему класса «Физика»")
                                      : QStringLiteral("тема «Физика» не совпадает с темой класса")),
             qPrintable(table));
}

void TestAttacks::stepsFlood()
{
    QJsonObject flood;
    QJsonArray steps;
    for (int k = 0; k < 80000; ++k)
        steps.append(QJsonObject());
    flood.insert(QStringLiteral("steps"), steps);
    const QByteArray bytes
        = QJsonDocument::fromJson(record(m_a, QStringLiteral("a").repeated(32), flood)).toJson(QJsonDocument::Compact);
    QVERIFY(bytes.size() < ResultRecord::MaxBytes);
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-aaaaaaaa.json").arg(m_a.login, host()), bytes, m_a);
    const ResultFolder folder = teacher();
    QCOMPARE(folder.entries().size(), 0);
    QCOMPARE(folder.unreadableList().size(), 1);
    QVERIFY2(folder.unreadableList().first().endsWith(QStringLiteral("не запись: больше 64 шагов")),
             qPrintable(folder.unreadableList().first()));
}

void TestAttacks::cacheReadable()
{
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-aaaaaaaa.json").arg(m_b.login, host()),
          record(m_b, QStringLiteral("a").repeated(32)), m_b);
    ResultFolder folder(m_results);
    folder.keepBytes(true);
    QVERIFY(folder.refresh());
    // The teacher's cache home open to all, as homes often are.
    const QString home = m_root.filePath(QStringLiteral("teacher-cache"));
    plantFolder(home, {}, 0755);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home));
    const QString path = ResultCache::pathFor(m_results);
    QCOMPARE(ResultCache::save(path, folder.cache()).value_or(QStringList()).size(), 1);
    QCOMPARE(ResultCache::load(path).size(), 1);
    QVERIFY(runAs(m_a, QStringLiteral("/bin/cat"), {path}) != 0);
    struct stat st
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);
    QCOMPARE(::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0700);
    // The cache holds the record's bytes, not a larger copy of them.
    QVERIFY(QFileInfo(path).size() < 2 * QFileInfo(m_results + QLatin1Char('/') + dropBox().first()).size());
}

void TestAttacks::formulasAndEscapes()
{
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-aaaaaaaa.json").arg(m_a.login, host()),
          record(m_a, QStringLiteral("a").repeated(32),
                 {{QStringLiteral("name"), QStringLiteral("=HYPERLINK(\"http://x.example\",\"Отлично\")")},
                  {QStringLiteral("topic"), QStringLiteral("+cmd|' /C calc'!A0\x1b]0;owned\x07")},
                  {QStringLiteral("host"), QStringLiteral("@SUM(1)\u202e")},
                  {QStringLiteral("grade"), QStringLiteral("-2+3")}}),
          m_a);
    const QString table = csv(QString());
    QVERIFY2(table.contains(QStringLiteral(",\"'=HYPERLINK(\"\"http://x.example\"\",\"\"Отлично\"\")\",")),
             qPrintable(table));
    QVERIFY(table.contains(QStringLiteral(",'+cmd|' /C calc'!A0]0;owned,")));
    QVERIFY(table.contains(QStringLiteral(",'@SUM(1),")));
    for (const QChar c : {QChar(0x1b), QChar(0x07), QChar(0), QChar(0x202e)})
        QVERIFY(!table.contains(c));
}

void TestAttacks::htmlInAName()
{
    const QString name = QStringLiteral("<img src=x width=30000 height=30000>");
    plant(m_results + QStringLiteral("/%1@%2-20261210-100000-aaaaaaaa.json").arg(m_a.login, host()),
          record(m_a, QStringLiteral("a").repeated(32), {{QStringLiteral("name"), name}}), m_a);
    plant(m_results + QStringLiteral("/%1@%2-20261210-100001-bbbbbbbb.json").arg(m_a.login, host()),
          record(m_a, QStringLiteral("b").repeated(32), {{QStringLiteral("grade"), QStringLiteral("<h1>5</h1>")}}),
          m_a);
    const QVector<ResultFolder::Entry> entries = teacher().entries();
    // A grade the trainer never gives is no bar of its own in the chart.
    ResultTable table;
    table.setEntries(entries);
    QCOMPARE(table.gradeCounts().keys(), QStringList({"1", "2", "3", "4", "5", "?"}));
    ResultsModel model;
    model.setRows(entries);
    const int row = entries[0].record.name == name ? 0 : 1;
    const QString tip = model.index(row, ResultsModel::Pupil).data(Qt::ToolTipRole).toString();
    QVERIFY2(!tip.contains(QStringLiteral("<img")) && tip.contains(QStringLiteral("&lt;img")), qPrintable(tip));
    QCOMPARE(model.index(row, ResultsModel::Pupil).data().toString(), QStringLiteral("%1 (%2)").arg(name, m_a.login));
}

void TestAttacks::junkReadAtEveryLook()
{
    for (int k = 0; k < 1000; ++k)
        plant(m_results + QStringLiteral("/%1.json").arg(k), "[1]", m_a);
    ResultFolder folder = teacher();
    QCOMPARE(folder.unreadable(), 1000);
    // A look at a folder unchanged since (its time long past) reads nothing.
    const timespec past[2] = {{1700000000, 0}, {1700000000, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_results).constData(), past, 0), 0);
    const ResultFolder::Listing first = ResultFolder::list(m_results);
    folder.take(first);
    QCOMPARE(folder.take(ResultFolder::list(m_results, first.stamp)), QStringList());
    // A changed folder: each is looked at, none read again. One of them
    // now holds other bytes of the same size and time: still the old reason.
    const QByteArray zero = QFile::encodeName(m_results + QStringLiteral("/0.json"));
    struct stat st
    {
    };
    QCOMPARE(::stat(zero.constData(), &st), 0);
    plant(QFile::decodeName(zero), "{ }", m_a);
    const timespec kept[2] = {st.st_atim, st.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, zero.constData(), kept, 0), 0);
    plant(m_results + QStringLiteral("/new.json"), "{ }", m_a);
    const ResultFolder::Listing changed = ResultFolder::list(m_results, first.stamp);
    QCOMPARE(folder.take(changed), QStringList{QStringLiteral("new.json")});
    folder.take(ResultFolder::read(m_results, {QStringLiteral("new.json")}));
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_results).constData(), past, 0), 0);
    const ResultFolder::Listing quiet = ResultFolder::list(m_results, changed.stamp);
    // Every few looks each is looked at, its size and time.
    QStringList names;
    for (int look = 0; look < ResultFolder::LooksPerBadCheck && names.isEmpty(); ++look)
        names = folder.take(ResultFolder::list(m_results, quiet.stamp));
    QCOMPARE(names.size(), 1001);
    const QVector<ResultFolder::Read> reads = ResultFolder::read(m_results, names, folder.known({}));
    const auto reason = [&reads](const QString &name) {
        return std::find_if(reads.cbegin(), reads.cend(), [&name](const auto &r) { return r.fileName == name; })
            ->reason;
    };
    QCOMPARE(reason(QStringLiteral("0.json")), reason(QStringLiteral("1.json")));
    QVERIFY(reason(QStringLiteral("new.json")) != reason(QStringLiteral("1.json")));
}

// Folders of any name, and a name that is no UTF-8 (it cannot be opened
// again by the name it is shown under): counted, never read.
void TestAttacks::folderInTheDropBox()
{
    plantFolder(m_results + QStringLiteral("/stuff"), m_a);
    plantFolder(m_results + QStringLiteral("/stuff.json"), m_a);
    const QByteArray odd = QFile::encodeName(m_results) + "/rec\377.json";
    const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY(fd >= 0);
    QVERIFY(::write(fd, "{}", 2) == 2 && ::close(fd) == 0);
    ResultFolder folder = teacher();
    QCOMPARE(folder.unreadable(), 3);
    QCOMPARE(folder.entries().size(), 0);
    QVERIFY2(folder.unreadableList().join(QLatin1Char('\n')).contains(QStringLiteral("не в кодировке UTF-8")),
             qPrintable(folder.unreadableList().join(QLatin1Char('\n'))));
    QCOMPARE(folder.take(ResultFolder::list(m_results)), QStringList());
}

QTEST_MAIN(TestAttacks)
#include "tst_attacks.moc"
