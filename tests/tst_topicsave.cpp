#include "savejournal.h"
#include "topiccatalog.h"
#include "topicfile.h"
#include "topictables.h"
#include "topicversions.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using TopicTables::newPairs;
using TopicTables::oldPairs;

namespace {

using Files = QMap<QString, QByteArray>;

// Every entry of the folder, hidden ones too: a link as its target, a file
// as its bytes and mode.
Files snapshot(const QString &folder)
{
    Files files;
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo &info : QDir(folder).entryInfoList(filter)) {
        QFile file(info.filePath());
        if (info.isSymLink())
            files[info.fileName()] = "link to " + QFile::encodeName(info.symLinkTarget());
        else if (info.isFile() && file.open(QIODevice::ReadOnly))
            files[info.fileName()] = QByteArray::number(int(info.permissions()), 16) + ' ' + file.readAll();
        else
            files[info.fileName()] = "other";
    }
    return files;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray column(const QVector<TopicPair> &pairs, bool answers)
{
    QStringList entries;
    for (const TopicPair &pair : pairs)
        entries << (answers ? pair.answer : pair.question);
    return TopicFile::encode(entries, TopicFile::Encoding::Utf8);
}

// A topic folder as a teacher left it: the pair and a backup of an older one.
void fillTopic(const QString &folder, const QByteArray &questions = column(oldPairs(), false))
{
    writeBytes(folder + "/test.txt", questions);
    writeBytes(folder + "/test1.txt", column(oldPairs(), true));
    writeBytes(folder + "/test.txt.bak", "older questions\r\n");
    writeBytes(folder + "/test1.txt.bak", "older answers\r\n");
}

// A limit on the size of any file this process writes, with the signal
// that would end it ignored: write() then fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
};

enum class Fault { SizeLimit, FullDisk, Link, Pipe, Folder, Immutable, AppendOnly };

} // namespace

Q_DECLARE_METATYPE(Fault)

// The save under real faults from the file system: it never reports success
// for what it did not store, and a failure leaves every file as it was.
class TestTopicSave : public QObject
{
    Q_OBJECT

private slots:
    void failureChangesNothing_data();
    void failureChangesNothing();
    void previousPairKeptExactly();
    void cutShortAtEveryStep();
};

void TestTopicSave::failureChangesNothing_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("name"); // the file the fault is put at, and the message names
    QTest::addColumn<QByteArray>("oldQuestions");
    QTest::addColumn<qint64>("limit"); // the largest file this process may write
    QTest::addColumn<QString>("said"); // what the message must say
    const QByteArray usual = column(oldPairs(), false);
    const QByteArray shorter = column(oldPairs().mid(0, 3), false);
    const QByteArray big = QByteArray(qsizetype(2) * 1024 * 1024, 'q') + "\r\n";
    const QString tooBig = QStringLiteral("больше, чем разрешено");
    QTest::newRow("no file may grow") << Fault::SizeLimit << "test.txt" << usual << qint64(0) << tooBig;
    QTest::newRow("limit between the old and the new size")
        << Fault::SizeLimit << "test.txt" << shorter << qint64(shorter.size() + 1) << tooBig;
    QTest::newRow("2 MiB old questions") << Fault::SizeLimit << "test.txt" << big << qint64(0) << tooBig;
    QTest::newRow("full disk") << Fault::FullDisk << "test.txt" << usual << qint64(-1) << "нет места";
    for (const char *name : {"test.txt", "test1.txt", "test.txt.bak", "test1.txt.bak"})
        QTest::newRow(qPrintable(QStringLiteral("link as ") + name))
            << Fault::Link << name << usual << qint64(-1) << "символическая ссылка";
    QTest::newRow("pipe as answers") << Fault::Pipe << "test1.txt" << usual << qint64(-1) << "именованный канал";
    QTest::newRow("folder as questions") << Fault::Folder << "test.txt" << usual << qint64(-1) << "папка";
    QTest::newRow("immutable answers") << Fault::Immutable << "test1.txt" << usual << qint64(-1) << "защищён";
    QTest::newRow("append-only folder") << Fault::AppendOnly << "" << usual << qint64(-1) << "защищена";
}

void TestTopicSave::failureChangesNothing()
{
    QFETCH(Fault, fault);
    QFETCH(QString, name);
    QFETCH(QByteArray, oldQuestions);
    QFETCH(qint64, limit);
    QFETCH(QString, said);
    QTemporaryDir outside;
    QTemporaryDir temporary;
    QString folder = temporary.path();
    if (fault == Fault::FullDisk) {
        // A small file system of its own, filled up; only where mounting is allowed.
        folder = outside.filePath("tmpfs");
        QDir().mkpath(folder);
        if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no tmpfs can be mounted here");
    }
    auto unmount = qScopeGuard([&] {
        if (fault == Fault::FullDisk)
            umount(QFile::encodeName(folder).constData());
    });
    fillTopic(folder, oldQuestions);
    const QString path = folder + "/" + name;
    const QByteArray secret = "a private file of someone else's\n";
    switch (fault) {
    case Fault::FullDisk: {
        QFile filler(folder + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {}
        break;
    }
    case Fault::Link:
        writeBytes(outside.filePath("secret"), secret);
        QFile::setPermissions(outside.filePath("secret"), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(path);
        QVERIFY(QFile::link(outside.filePath("secret"), path));
        break;
    case Fault::Pipe:
        QFile::remove(path);
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        break;
    case Fault::Folder:
        QFile::remove(path);
        QVERIFY(QDir().mkdir(path));
        break;
    case Fault::Immutable:
    case Fault::AppendOnly: {
        const QString target = fault == Fault::Immutable ? path : folder;
        const QString flag = fault == Fault::Immutable ? "+i" : "+a";
        if (QProcess::execute("chattr", {flag, target}) != 0)
            QSKIP("chattr is not allowed here");
        break;
    }
    case Fault::SizeLimit:
        break;
    }
    const Files before = snapshot(folder);
    TopicSave::Result result;
    {
        std::optional<FileSizeLimit> sizeLimit;
        if (limit >= 0)
            sizeLimit.emplace(rlim_t(limit));
        result = TopicFile::save(folder, newPairs(), TopicFile::Encoding::Utf8);
    }
    const Files after = snapshot(folder);
    if (fault == Fault::Immutable || fault == Fault::AppendOnly)
        QProcess::execute("chattr", {"-i", "-a", fault == Fault::Immutable ? path : folder});
    QVERIFY(!result.saved);
    QVERIFY2(result.message.contains(said) && result.message.contains(name), qPrintable(result.message));
    QCOMPARE(after, before);
    if (fault == Fault::Link) {
        QFile target(outside.filePath("secret"));
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), secret);
    }
}

void TestTopicSave::previousPairKeptExactly()
{
    // Larger than anything the reader reads, and private to its group.
    QTemporaryDir dir;
    const QByteArray big = QByteArray(qsizetype(2) * 1024 * 1024 + 7, 'q') + "\r\n";
    fillTopic(dir.path(), big);
    const QString questions = dir.filePath("test.txt");
    QVERIFY(QFile::setPermissions(questions, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const Files old = snapshot(dir.path());
    const QByteArray oldDigest = TopicCatalog::digest(dir.path());

    QVERIFY(TopicFile::save(dir.path(), newPairs(), TopicFile::Encoding::Utf8).saved);
    const Files saved = snapshot(dir.path());
    QCOMPARE(saved.keys(),
             QStringList({"test.txt", "test.txt.bak", "test1.txt", "test1.txt.bak", TopicVersions::FileName}));
    // Both pairs are versions of the topic: results earned on either are honest.
    QCOMPARE(TopicVersions::read(dir.path()), QSet<QByteArray>({oldDigest, TopicCatalog::digest(dir.path())}));
    QCOMPARE(saved["test.txt.bak"], old["test.txt"]);
    QCOMPARE(saved["test1.txt.bak"], old["test1.txt"]);
    QCOMPARE(QFileInfo(questions).permissions(), QFileInfo(dir.filePath("test.txt.bak")).permissions());
    QCOMPARE(TopicFile::read(dir.path()).pairs, newPairs());

    // Saving again with nothing changed keeps the backups of the pair before.
    QVERIFY(TopicFile::save(dir.path(), newPairs(), TopicFile::Encoding::Utf8).saved);
    QCOMPARE(snapshot(dir.path()), saved);
}

void TestTopicSave::cutShortAtEveryStep()
{
    // The save killed at each call of each system call it makes: the next
    // open finds the old pair, the new pair, or a save to finish or take
    // back, and either way gives a whole pair.
    int mixed = 0;
    for (const QString syscall : {"renameat", "linkat", "fsync", "unlinkat", "write", "openat"}) {
        for (int n = 1; n < 5000; ++n) {
            QTemporaryDir dir;
            fillTopic(dir.path());
            const int code = TopicTables::saveKilledAt(QStringLiteral(TOPICSAVE_CHILD), dir.path(), syscall, n);
            QVERIFY2(code == 0 || code == 137, qPrintable(QStringLiteral("strace: %1").arg(code)));
            const QString where = QStringLiteral("%1 #%2").arg(syscall).arg(n);
            const SaveJournal::Finding finding = SaveJournal::inspect(dir.path());
            QList<std::optional<QString> (*)(const QString &)> ways;
            if (finding.state == SaveJournal::State::Interrupted) {
                QVERIFY2(finding.canFinish || finding.canRevert, qPrintable(where));
                mixed += TopicFile::read(dir.path()).pairs != oldPairs()
                    && TopicFile::read(dir.path()).pairs != newPairs();
                if (finding.canFinish)
                    ways << &SaveJournal::finish;
                if (finding.canRevert)
                    ways << &SaveJournal::revert;
            } else {
                ways << (finding.state == SaveJournal::State::Replaced ? &SaveJournal::finish : &SaveJournal::discard);
            }
            for (auto way : ways) {
                QTemporaryDir copy;
                for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
                    QVERIFY(QFile::copy(dir.filePath(name), copy.filePath(name)));
                if (finding.state != SaveJournal::State::None)
                    QCOMPARE(way(copy.path()), std::nullopt);
                const QVector<TopicPair> pairs = TopicFile::read(copy.path()).pairs;
                QVERIFY2(pairs == oldPairs() || pairs == newPairs(), qPrintable(where));
                QCOMPARE(SaveJournal::inspect(copy.path()).state, SaveJournal::State::None);
            }
            if (code == 0)
                break;
            QVERIFY2(n < 4999, qPrintable(where + QStringLiteral(": the save never ran to its end")));
        }
    }
    // The kill between the two renames was among them.
    QVERIFY(mixed > 0);
}

QTEST_MAIN(TestTopicSave)
#include "tst_topicsave.moc"
