#include "core/commandline.h"

#include <QProcess>
#include <QTest>

// What the programs answer on their command line before any window: help,
// version, and an option they do not know refused, never taken as a name.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void everyProgramWithoutADisplay_data();
    void everyProgramWithoutADisplay();
};

void TestCommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");   // -1: the program goes on
    QTest::addColumn<QString>("said"); // to standard output, or with status 2 to standard error
    const QString refused = QStringLiteral("prog: неизвестный параметр «%1». Справка: prog --help\n");
    QTest::newRow("nothing") << QStringList() << -1 << QString();
    QTest::newRow("help") << QStringList{"--help"} << 0 << "usage\n";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "prog " + CommandLine::version() + "\n";
    QTest::newRow("unknown") << QStringList{"--hlep"} << 2 << refused.arg("--hlep");
    QTest::newRow("its value is not an option") << QStringList{"--topic", "--x"} << -1 << QString();
    QTest::newRow("after --, a name") << QStringList{"--", "--help"} << -1 << QString();
}

void TestCommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    const CommandLine::Program program{
        "prog", QStringLiteral("usage\n"), {QStringLiteral("--topic")}, {QStringLiteral("--topic")}};
    QString out;
    QString err;
    const std::optional<int> answered = CommandLine::answer(arguments, program, &out, &err);
    QCOMPARE(answered.value_or(-1), status);
    QCOMPARE(out, status == 2 ? QString() : said);
    QCOMPARE(err, status == 2 ? said : QString());
}

void TestCommandLine::everyProgramWithoutADisplay_data()
{
    QTest::addColumn<QString>("program");
    for (const char *name : {"tesmora", "tesmora-editor", "doloran", "pelmar"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Help in Russian without a display; a bad option is status 2 with the hint,
// and no window opens on a folder named after it.
void TestCommandLine::everyProgramWithoutADisplay()
{
    QFETCH(QString, program);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + program;
    p.start(path, {QStringLiteral("--help")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput()).startsWith(QStringLiteral("Использование: ") + program));
    p.start(path, {QStringLiteral("--help-me")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(program + QStringLiteral(" --help")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
