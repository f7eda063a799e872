#include "classlook.h"
#include "classsettings.h"
#include "topicchoice.h"
#include "topicchoicedialog.h"

#include <QDir>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Where the trainer finds its topics and which one it starts with.
class TestTopicChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void found_data();
    void found();
    void classSettings();
    void expandedFolders_data();
    void expandedFolders();
    void classLook_data();
    void classLook();
    void arguments_data();
    void arguments();
    void dialogKeys_data();
    void dialogKeys();

private:
    void writeConf(const QByteArray &text);
    void topic(const QString &folder, const QString &name, bool withQuestions = true);
    QTemporaryDir m_root;
};

void TestTopicChoice::topic(const QString &folder, const QString &name, bool withQuestions)
{
    const QString path = m_root.filePath(folder + QLatin1Char('/') + name);
    QVERIFY(QDir().mkpath(path));
    QFile file(path + (withQuestions ? QStringLiteral("/test.txt") : QStringLiteral("/test1.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(folder.toUtf8());
}

void TestTopicChoice::initTestCase()
{
    qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("home")).toUtf8());
    qputenv("XDG_DATA_DIRS",
            (m_root.filePath(QStringLiteral("usr")) + QLatin1Char(':') + m_root.filePath(QStringLiteral("local")))
                .toUtf8());
    qputenv("XDG_CONFIG_HOME", m_root.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_root.filePath(QStringLiteral("etc")).toUtf8());
    topic(QStringLiteral("class"), QStringLiteral("Физика"));
    topic(QStringLiteral("home/tesmora/topics"), QStringLiteral("Физика")); // hidden by the class one
    topic(QStringLiteral("home/tesmora/topics"), QStringLiteral("Ёлка"));
    topic(QStringLiteral("home/tesmora/topics"), QStringLiteral("Без вопросов"), false);
    topic(QStringLiteral("usr/tesmora/topics"), QStringLiteral("Алгебра"));
    topic(QStringLiteral("local/tesmora/topics"), QStringLiteral("Алгебра")); // hidden by the first data dir
    topic(QStringLiteral("local/tesmora/topics"), QStringLiteral("Есть"));
}

void TestTopicChoice::found_data()
{
    QTest::addColumn<bool>("withClass");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("from");
    // Russian order reads Ё as Е, not before А as its code would sort.
    QTest::newRow("with the class folder")
        << true << QStringList{"Алгебра", "Ёлка", "Есть", "Физика", "Стандартная тема"}
        << QStringList{"usr", "home", "local", "class", ""};
    QTest::newRow("without") << false << QStringList{"Алгебра", "Ёлка", "Есть", "Физика", "Стандартная тема"}
                             << QStringList{"usr", "home", "local", "home", ""};
}

void TestTopicChoice::found()
{
    QFETCH(bool, withClass);
    QFETCH(QStringList, names);
    QFETCH(QStringList, from);
    const QList<TopicCatalog::Topic> topics
        = TopicCatalog::find(withClass ? m_root.filePath(QStringLiteral("class")) : QString());
    QStringList gotNames, gotFrom;
    for (const TopicCatalog::Topic &t : topics) {
        gotNames << t.name;
        gotFrom << (t.builtIn ? QString()
                              : QDir(m_root.path()).relativeFilePath(t.folder).section(QLatin1Char('/'), 0, 0));
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotFrom, from);
    QVERIFY(topics.last().builtIn);
}

void TestTopicChoice::classSettings()
{
    QCOMPARE(ClassSettings::load().topicsFolder(), QString()); // no file: nothing configured
    const QString system = m_root.filePath(QStringLiteral("etc/tesmora"));
    const QString own = m_root.filePath(QStringLiteral("config/tesmora"));
    QVERIFY(QDir().mkpath(system) && QDir().mkpath(own));
    const auto write = [](const QString &path, const QByteArray &text) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(system + QStringLiteral("/class.conf"), "[class]\ntopics=/srv/topics\nresults=/srv/results//\nsound=on\n");
    QCOMPARE(ClassSettings::load().topicsFolder(), QStringLiteral("/srv/topics"));
    QCOMPARE(ClassSettings::load().resultsFolder(), QStringLiteral("/srv/results"));
    // The teacher's own file wins over the administrator's, key by key.
    write(own + QStringLiteral("/class.conf"), "[class]\ntopics=/home/t/topics\n");
    QCOMPARE(ClassSettings::load().topicsFolder(), QStringLiteral("/home/t/topics"));
    QCOMPARE(ClassSettings::load().resultsFolder(), QStringLiteral("/srv/results"));
    write(own + QStringLiteral("/class.conf"), "[class]\ntopics=~/school//topics\n");
    QCOMPARE(ClassSettings::load().topicsFolder(), QDir::homePath() + QStringLiteral("/school/topics"));
    QFile::remove(own + QStringLiteral("/class.conf"));
    QFile::remove(system + QStringLiteral("/class.conf"));
}

void TestTopicChoice::writeConf(const QByteArray &text)
{
    QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("config/tesmora"))));
    QFile file(m_root.filePath(QStringLiteral("config/tesmora/class.conf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void TestTopicChoice::expandedFolders_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expanded"); // <h>: the home folder, <u>: the account's name
    QTest::newRow("tilde") << "~/school/results"
                           << "<h>/school/results";
    QTest::newRow("tilde alone") << "~"
                                 << "<h>";
    QTest::newRow("$HOME") << "$HOME/school"
                           << "<h>/school";
    QTest::newRow("${HOME} and ${USER}") << "${HOME}/${USER}x"
                                         << "<h>/<u>x";
    QTest::newRow("$USER in the middle") << "/srv/school/$USER/results"
                                         << "/srv/school/<u>/results";
    QTest::newRow("a name not known stays") << "/srv/$SCHOOL/r"
                                            << "/srv/$SCHOOL/r";
    QTest::newRow("another's home stays") << "~pupil2/r"
                                          << "~pupil2/r";
    QTest::newRow("a tilde inside stays") << "/srv/a~/b"
                                          << "/srv/a~/b";
}

// One file for every PC names a share each account mounts under its home.
void TestTopicChoice::expandedFolders()
{
    QFETCH(QString, written);
    QFETCH(QString, expanded);
    const QByteArray user = qgetenv("USER");
    qputenv("USER", "pupil7");
    expanded.replace(QStringLiteral("<h>"), QDir::homePath()).replace(QStringLiteral("<u>"), QStringLiteral("pupil7"));
    QCOMPARE(ClassSettings::expand(written), expanded);
    // A session without $USER still has an account's name.
    qunsetenv("USER");
    QVERIFY(!ClassSettings::expand(QStringLiteral("$USER")).contains(QLatin1Char('$')));
    qputenv("USER", user);
}

void TestTopicChoice::classLook_data()
{
    QTest::addColumn<QString>("topics"); // under the test's root; empty: not set
    QTest::addColumn<QString>("results");
    QTest::addColumn<QStringList>("problems"); // R: the test's root
    QTest::addColumn<QString>("first");        // the first topic found
    QTest::newRow("nothing set") << ""
                                 << "" << QStringList{} << "Алгебра";
    QTest::newRow("both there") << "class"
                                << "home" << QStringList{} << "Алгебра";
    QTest::newRow("a mistyped topics folder")
        << "clas"
        << "home" << QStringList{"Папка тем класса не найдена: R/clas"} << "Алгебра";
    QTest::newRow("a mistyped results folder")
        << "class"
        << "resluts" << QStringList{"Папка результатов недоступна: R/resluts (такой папки нет)"} << "Алгебра";
    QTest::newRow("a file for a folder, both")
        << "class/Физика/test.txt"
        << "class/Физика/test.txt"
        << QStringList{"Папка тем класса недоступна: R/class/Физика/test.txt (это не папка)",
                       "Папка результатов недоступна: R/class/Физика/test.txt (это не папка)"}
        << "Алгебра";
}

// A folder the settings name that is not there is said, with the folder.
void TestTopicChoice::classLook()
{
    QFETCH(QString, topics);
    QFETCH(QString, results);
    QFETCH(QStringList, problems);
    QFETCH(QString, first);
    QByteArray conf = "[class]\n";
    if (!topics.isEmpty())
        conf += "topics=" + m_root.filePath(topics).toUtf8() + "\n";
    if (!results.isEmpty())
        conf += "results=" + m_root.filePath(results).toUtf8() + "\n";
    writeConf(conf);
    const ClassLook look = ClassLook::within(ClassSettings::load(), true, 5000);
    QFile::remove(m_root.filePath(QStringLiteral("config/tesmora/class.conf")));
    problems.replaceInStrings(QStringLiteral("R/"), m_root.path() + QLatin1Char('/'));
    QCOMPARE(look.problems, problems);
    QVERIFY(!look.found.isEmpty());
    QCOMPARE(look.found.first().name, first);
    QVERIFY(ClassLook::within(ClassSettings::load(), false, 5000).found.isEmpty()); // a folder given: no search
}

void TestTopicChoice::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder"); // of the start; "?" for the dialog, "!" for an error
    QTest::addColumn<QString>("title");
    QTest::newRow("none: the choice") << QStringList{} << "?"
                                      << "";
    QTest::newRow("a topic by name") << QStringList{"--topic", "Ёлка"} << "home"
                                     << "Ёлка";
    QTest::newRow("the built-in one by name") << QStringList{"--topic=Стандартная тема"} << ""
                                              << "";
    QTest::newRow("a name not found") << QStringList{"--topic", "Химия"} << "-"
                                      << "Химия";
    QTest::newRow("a folder") << QStringList{"/tmp/Урок 5"} << "/tmp/Урок 5"
                              << "Урок 5";
    QTest::newRow("both") << QStringList{"/tmp/x", "--topic", "Ёлка"} << "!"
                          << "";
    QTest::newRow("--topic without a name") << QStringList{"--topic"} << "!"
                                            << "";
    QTest::newRow("an unknown option") << QStringList{"--results"} << "!"
                                       << "";
}

void TestTopicChoice::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    QFETCH(QString, title);
    const TopicChoice::Arguments parsed = TopicChoice::parse(arguments);
    QCOMPARE(parsed.error.isEmpty(), folder != QLatin1String("!"));
    if (folder == QLatin1String("!"))
        return;
    const std::optional<TopicChoice::Start> start = TopicChoice::resolve(parsed, TopicCatalog::find(QString()));
    QCOMPARE(start.has_value(), folder != QLatin1String("?"));
    if (!start)
        return;
    QCOMPARE(start->title, title);
    QCOMPARE(start->missingTopic, folder == QLatin1String("-") ? title : QString());
    if (folder == QLatin1String("home"))
        QVERIFY(start->folder.startsWith(m_root.filePath(QStringLiteral("home"))));
    else if (folder == QLatin1String("-"))
        QCOMPARE(start->folder, QString()); // nothing is read in its place
    else if (!folder.isEmpty())
        QCOMPARE(start->folder, folder);
}

void TestTopicChoice::dialogKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("Enter takes the first") << QList<int>{Qt::Key_Return} << "Алгебра";
    QTest::newRow("Down, Enter") << QList<int>{Qt::Key_Down, Qt::Key_Return} << "Ёлка";
    QTest::newRow("End, Enter: the built-in") << QList<int>{Qt::Key_End, Qt::Key_Enter} << "Стандартная тема";
    QTest::newRow("Escape: none") << QList<int>{Qt::Key_Down, Qt::Key_Escape} << "";
}

void TestTopicChoice::dialogKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, chosen);
    TopicChoiceDialog dialog(TopicCatalog::find(QString()));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Выбор темы"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy finished(&dialog, &QDialog::finished);
    for (int key : keys)
        QTest::keyClick(dialog.list(), Qt::Key(key));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialog.chosen() ? dialog.chosen()->name : QString(), chosen);
}

QTEST_MAIN(TestTopicChoice)
#include "tst_topicchoice.moc"
