#include "resultstore.h"
#include "storage/outbox.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// tesmora --hand-in against a results folder whose file server misbehaves:
// every fault ends in exactly one record once the server behaves again,
// and nothing of the hand-in is left behind there or on this computer.
class TestHandIn : public QObject
{
    Q_OBJECT

private slots:
    void faults_data();
    void faults();
    void badUse();

private:
    QProcess *handIn(const QString &fault, const QStringList &extra = {});
    QStringList names(const QString &filter) const;

    QTemporaryDir m_root;
};

QProcess *TestHandIn::handIn(const QString &fault, const QStringList &extra)
{
    auto *p = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), m_root.filePath(QStringLiteral("state")));
    if (!fault.isEmpty()) {
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAULTSHIM));
        env.insert(QStringLiteral("FAULT"), fault);
        env.insert(QStringLiteral("FAULT_FOLDER"), m_root.filePath(QStringLiteral("results")));
        // A sanitized build's runtime must otherwise be the first library.
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0"));
    }
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(TESMORA), QStringList{QStringLiteral("--hand-in")} + extra);
    p->waitForFinished(30000);
    return p;
}

QStringList TestHandIn::names(const QString &filter) const
{
    return QDir(m_root.filePath(QStringLiteral("results")))
        .entryList({filter}, QDir::Files | QDir::Hidden | QDir::System);
}

void TestHandIn::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status"); // of the first attempt; -1 killed
    QTest::addColumn<int>("records");
    QTest::newRow("nothing wrong") << "" << 0 << 1;
    QTest::newRow("the link's reply lost") << "link-lost" << 0 << 1;
    QTest::newRow("no links, the rename's reply lost") << "rename-lost" << 0 << 1;
    QTest::newRow("the clean-up fails after the record is named") << "unlink-fails" << 0 << 1;
    QTest::newRow("the share is full, its clean-up fails") << "full" << 1 << 0;
    QTest::newRow("killed as the record is named") << "kill-at-link" << -1 << 0;
}

void TestHandIn::faults()
{
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(int, records);
    const QString results = m_root.filePath(QStringLiteral("results"));
    QVERIFY(QDir(results).removeRecursively() && QDir().mkpath(results));
    QVERIFY(QDir(m_root.filePath(QStringLiteral("state"))).removeRecursively());
    QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("config/tesmora"))));
    QFile settings(m_root.filePath(QStringLiteral("config/tesmora/class.conf")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[class]\nresults=" + QFile::encodeName(results) + "\n");
    settings.close();

    qputenv("XDG_STATE_HOME", QFile::encodeName(m_root.filePath(QStringLiteral("state"))));
    ResultRecord record = ResultRecord::ofThisAccount();
    record.id = ResultRecord::newId();
    record.topic = QStringLiteral("Физика");
    record.started = record.finished = QDateTime::currentDateTime();
    QCOMPARE(ResultStore::keep(record).outcome, ResultStore::Outcome::Kept);

    QProcess *first = handIn(fault);
    QCOMPARE(first->exitStatus() == QProcess::CrashExit ? -1 : first->exitCode(), status);
    QStringList arrived = names(QStringLiteral("*.json"));
    arrived.removeIf([](const QString &name) { return name.startsWith(QLatin1Char('.')); });
    QCOMPARE(arrived.size(), records);
    QCOMPARE(Outbox(Outbox::stateFolder()).pending().size(), 1 - records);
    if (records == 0)
        QVERIFY(first->readAllStandardError().contains("ждёт на этом компьютере") || status < 0);

    // The server behaves again; the same attempt, once more and then again.
    for (int round = 0; round < 2; ++round) {
        QProcess *again = handIn(QString());
        QCOMPARE(again->exitCode(), 0);
        QCOMPARE(names(QStringLiteral("*")), QStringList{record.fileName()});
    }
    QFile file(m_root.filePath(QStringLiteral("results/") + record.fileName()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(ResultRecord::fromJson(file.readAll())->id, record.id);
    QVERIFY(QDir(Outbox::stateFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestHandIn::badUse()
{
    QCOMPARE(handIn(QString(), {QStringLiteral("extra")})->exitCode(), 2);
    // A mistyped folder is said before what waits for it.
    QFile settings(m_root.filePath(QStringLiteral("config/tesmora/class.conf")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    const QString mistyped = m_root.filePath(QStringLiteral("resluts"));
    settings.write("[class]\nresults=" + QFile::encodeName(mistyped) + "\n");
    settings.close();
    QProcess *wrong = handIn(QString());
    QVERIFY(wrong->readAllStandardError().startsWith(
        "tesmora: " + QStringLiteral("Папка результатов недоступна: %1 (такой папки нет)\n").arg(mistyped).toUtf8()));
    QVERIFY(QFile::remove(m_root.filePath(QStringLiteral("config/tesmora/class.conf"))));
    QProcess *unset = handIn(QString());
    QCOMPARE(unset->exitCode(), 2);
    QVERIFY(unset->readAllStandardError().contains("results="));
}

QTEST_GUILESS_MAIN(TestHandIn)
#include "tst_handin.moc"
