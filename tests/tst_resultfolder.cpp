#include "lessontable.h"
#include "lookalike.h"
#include "resultfolder.h"
#include "resulttable.h"
#include "runreport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ResultRecord::Step)

// The teacher's reading of a results folder: what is skipped, what is marked,
// and the table and CSV made of the rest.
class TestResultFolder : public QObject
{
    Q_OBJECT

private slots:
    void hostileFilesSkipped_data();
    void hostileFilesSkipped();
    void attention();
    void flags_data();
    void flags();
    void csvAndFilters();
    void missesPerPupilOnce();
    void csvCommand();
    void whoWorksNow_data();
    void whoWorksNow();
    void lessonRows();
    void attemptsOfTheDay_data();
    void attemptsOfTheDay();
    void lookAlikeNames_data();
    void lookAlikeNames();
    void stepsInWords_data();
    void stepsInWords();

private:
    static ResultRecord record(const QString &user, const QString &finished,
                               const QString &grade = QStringLiteral("4"));
    static void put(const QString &path, const QByteArray &bytes);
};

ResultRecord TestResultFolder::record(const QString &user, const QString &finished, const QString &grade)
{
    ResultRecord r;
    r.user = user;
    r.host = QStringLiteral("pc01");
    r.topic = QStringLiteral("Физика");
    r.mode = ResultMode::Test2;
    r.started = r.finished = QDateTime::fromString(finished, Qt::ISODate);
    r.matches = 13;
    r.errors = 3;
    r.percent = 81.25;
    r.grade = grade;
    r.topicSha256 = QByteArray(64, 'a');
    for (int k = 0; k < 16; ++k) // the figures above, as the steps give them
        r.steps.append({k, k < 13 ? k : k + 1, {}, k < 13, true, {}, {}});
    return r;
}

void TestResultFolder::put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestResultFolder::hostileFilesSkipped_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("counted"); // as unreadable
    QTest::newRow("huge") << "huge" << 1;
    QTest::newRow("binary") << "binary" << 1;
    QTest::newRow("deep nesting") << "deep" << 1;
    QTest::newRow("wrong types") << "types" << 1;
    QTest::newRow("cut short") << "short" << 1;
    QTest::newRow("a folder named x.json") << "folder" << 1;
    QTest::newRow("a FIFO") << "fifo" << 1;
    QTest::newRow("a link to a record") << "link" << 1;
    QTest::newRow("a record being written") << "hidden" << 0;
    QTest::newRow("not a .json name") << "other" << 0;
}

void TestResultFolder::hostileFilesSkipped()
{
    QFETCH(QString, kind);
    QFETCH(int, counted);
    QTemporaryDir dir;
    const QByteArray good = record(QStringLiteral("root"), QStringLiteral("2026-12-09T10:00:00+03:00")).toJson();
    put(dir.filePath(QStringLiteral("good.json")), good);
    const QString x = dir.filePath(QStringLiteral("x.json"));
    if (kind == QLatin1String("huge"))
        put(x, good + QByteArray(ResultRecord::MaxBytes, ' '));
    else if (kind == QLatin1String("binary"))
        put(x, QByteArray("\x00\xff\xfe{\"format\":1", 14));
    else if (kind == QLatin1String("deep"))
        put(x, QByteArray(100000, '[') + QByteArray(100000, ']'));
    else if (kind == QLatin1String("types"))
        put(x, QByteArray(good).replace("\"user\": \"root\"", "\"user\": [1]"));
    else if (kind == QLatin1String("short"))
        put(x, good.left(good.size() / 2));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(x));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(x).constData(), 0644), 0);
    else if (kind == QLatin1String("link"))
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("good.json")), x));
    else if (kind == QLatin1String("hidden"))
        put(dir.filePath(QStringLiteral(".record-x.json")), good.left(10));
    else
        put(dir.filePath(QStringLiteral("notes.txt")), good);
    ResultFolder folder(dir.path());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(folder.refresh());
    QVERIFY(timer.elapsed() < 2000); // a FIFO must not block the reader
    QCOMPARE(folder.entries().size(), 1);
    QCOMPARE(folder.unreadable(), counted);
}

void TestResultFolder::attention()
{
    QTemporaryDir dir;
    // Files written by this account; one names it, one another account.
    const QString me = ResultRecord::ofThisAccount().user;
    put(dir.filePath(QStringLiteral("a.json")), record(me, QStringLiteral("2026-12-09T10:00:00+03:00")).toJson());
    put(dir.filePath(QStringLiteral("b.json")),
        record(QStringLiteral("nobody"), QStringLiteral("2026-12-09T10:01:00+03:00")).toJson());
    ResultFolder folder(dir.path());
    folder.setTopicVersions({{QStringLiteral("Физика"), {QByteArray(64, 'a'), {}}}});
    QVERIFY(folder.refresh());
    // Every file this account's: owners cannot be known (a share mounted
    // with one account's rights), so nothing is said of them.
    QVector<ResultFolder::Entry> entries = folder.entries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].attention, QString());
    if (::getuid() != 0)
        QSKIP("only root can give a file to another account");
    // One file truly nobody's: owners are known, and the other is marked.
    put(dir.filePath(QStringLiteral("c.json")),
        record(QStringLiteral("nobody"), QStringLiteral("2026-12-09T09:00:00+03:00")).toJson());
    QCOMPARE(::chown(QFile::encodeName(dir.filePath(QStringLiteral("c.json"))).constData(), 65534, 65534), 0);
    QVERIFY(folder.refresh());
    entries = folder.entries();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].record.user, QStringLiteral("nobody")); // newest first
    QVERIFY(entries[0].attention.contains(QStringLiteral("не учётной записью nobody, а учётной записью root")));
    QCOMPARE(entries[1].attention, QString());
    QCOMPARE(entries[2].attention, QString());
    // The class topic changed since: both ran other files.
    ResultFolder again(dir.path());
    again.setTopicVersions({{QStringLiteral("Физика"), {QByteArray(64, 'b'), {}}}});
    QVERIFY(again.refresh());
    QVERIFY(again.entries()[1].attention.contains(QStringLiteral("не совпадает с темой класса")));
}

void TestResultFolder::flags_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("attention");
    QTest::addColumn<QString>("note");
    const QString figures = QStringLiteral("цифры не сходятся с ответами");
    QTest::newRow("honest") << ""
                            << ""
                            << "";
    QTest::newRow("grade raised") << "grade" << figures << "";
    QTest::newRow("percentage raised with its grade") << "percent" << figures << "";
    QTest::newRow("a wrong step made right") << "step" << figures << "";
    QTest::newRow("an earlier version of the topic") << "earlier"
                                                     << ""
                                                     << "прежняя версия темы";
    QTest::newRow("files the topic never had") << "forged"
                                               << "тема «Физика» не совпадает с темой класса"
                                               << "";
    // A lab's guessing run has no steps: its figures come from its guesses.
    QTest::newRow("a lab's run, honest") << "lab"
                                         << ""
                                         << "";
    QTest::newRow("a lab's run, its grade raised") << "lab grade" << figures << "";
    QTest::newRow("a lab's run, more guessed than asked") << "lab guesses" << figures << "";
}

// A record edited by hand no longer agrees with its own steps; a record of a
// topic corrected since is no forgery.
void TestResultFolder::flags()
{
    QFETCH(QString, change);
    QFETCH(QString, attention);
    QFETCH(QString, note);
    ResultRecord r = record(QStringLiteral("a"), QStringLiteral("2026-12-09T10:00:00+03:00"));
    if (change == QLatin1String("grade"))
        r.grade = QStringLiteral("5");
    else if (change == QLatin1String("percent"))
        r = (r.percent = 100, r.grade = QStringLiteral("5"), r);
    else if (change == QLatin1String("step"))
        r.steps[15].right = true;
    else if (change == QLatin1String("earlier"))
        r.topicSha256 = QByteArray(64, 'e');
    else if (change == QLatin1String("forged"))
        r.topicSha256 = QByteArray(64, 'f');
    if (change.startsWith(QLatin1String("lab"))) {
        r.mode = ResultMode::Lab;
        r.topic = QStringLiteral("pelmar: сорт1");
        r.steps.clear();
        r.lab = {QStringLiteral("pelmar"), QStringLiteral("сорт1"), 1, 5, 4, 3};
        r.matches = 3;
        r.errors = 1;
        r.percent = 75;
        r.grade = change.endsWith(QLatin1String("grade")) ? QStringLiteral("5") : QStringLiteral("3");
        if (change.endsWith(QLatin1String("guesses")))
            r = (r.lab.guessedRight = r.matches = 5, r.errors = -1, r.percent = 125, r.grade = QStringLiteral("5"), r);
    }
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("a.json")), r.toJson());
    ResultFolder folder(dir.path());
    QVERIFY(folder.setTopicVersions({{QStringLiteral("Физика"), {QByteArray(64, 'a'), {QByteArray(64, 'e')}}}}));
    QVERIFY(folder.refresh());
    const QVector<ResultFolder::Entry> entries = folder.entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].attention, attention);
    QCOMPARE(entries[0].note, note);
    // The flag goes into the CSV, where a forged record would pass as clean.
    ResultTable table;
    table.setEntries(entries);
    QCOMPARE(QString::fromUtf8(table.csv()).split(QStringLiteral("\r\n")).value(1).section(QLatin1Char(','), -1),
             attention.contains(QLatin1Char(',')) ? QLatin1Char('"') + attention + QLatin1Char('"') : attention);
}

void TestResultFolder::csvAndFilters()
{
    qputenv("TZ", "Europe/Moscow");
    ResultRecord late = record(QStringLiteral("root"), QStringLiteral("2026-12-09T07:30:05Z"));
    late.name = QStringLiteral("Иванов, \"Пётр\"");
    late.percent = 93.75;
    ResultRecord early = record(QStringLiteral("root"), QStringLiteral("2026-12-08T10:00:00+03:00"), QString());
    early.timedOut = true;
    early.mode = ResultMode::Test1;
    ResultTable table;
    table.setEntries({{QStringLiteral("b"), late, QStringLiteral("цифры не сходятся с ответами"), {}},
                      {QStringLiteral("a"), early, QString(), {}}});
    const QByteArray csv = table.csv();
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(0),
             QStringLiteral("дата,время,логин,имя,компьютер,тема,режим,совпадения,ошибки,процент,оценка,внимание"));
    QCOMPARE(lines.value(1),
             QStringLiteral("2026-12-09,10:30:05,root,\"Иванов, \"\"Пётр\"\"\",pc01,Физика,Тест2 "
                            "выбор,13,3,93.75,4,цифры не сходятся с ответами"));
    QCOMPARE(lines.value(2), QStringLiteral("2026-12-08,10:00:00,root,,pc01,Физика,Тест1 да/нет,13,3,81.25,,"));
    QCOMPARE(lines.value(3), QString());
    // The Russian form: a spreadsheet reads 93,75 as a number, split at ";".
    const QByteArray russian = table.csv(ResultTable::CsvStyle::Russian);
    QVERIFY(russian.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(russian.mid(3)).split(QStringLiteral("\r\n")).value(1),
             QStringLiteral("2026-12-09;10:30:05;root;\"Иванов, \"\"Пётр\"\"\";pc01;Физика;Тест2 выбор;13;3;93,75;4;"
                            "цифры не сходятся с ответами"));
    // What the teacher reads, on the screen and on paper, has the comma too.
    QCOMPARE(ResultTable::row(table.shown()[0]).value(ResultTable::Percent), QStringLiteral("93,75"));
    QVERIFY(RunReport::run(table.shown()[0]).contains(QStringLiteral("Оценка: 4 (93,75 %)")));
    using Filter = ResultTable::Filter;
    table.setFilter(Filter{QString(), QString(), ResultMode::Test1, {}, {}});
    QCOMPARE(table.shown().size(), 1);
    table.setFilter(Filter{QString(), QString(), std::nullopt, QDate(2026, 12, 9), QDate(2026, 12, 9)});
    QCOMPARE(table.shown().size(), 1);
    QCOMPARE(table.shown()[0].fileName, QStringLiteral("b"));
    table.setFilter(Filter{QStringLiteral("Химия"), QString(), std::nullopt, {}, {}});
    QCOMPARE(table.shown().size(), 0);
    // A pupil as typed: part of the name in any case, or of the login.
    table.setFilter(Filter{QString(), QStringLiteral("пётр"), std::nullopt, {}, {}});
    QCOMPARE(table.shown().size(), 1);
    table.setFilter(Filter{QString(), QStringLiteral("ROO"), std::nullopt, {}, {}});
    QCOMPARE(table.shown().size(), 2);
    table.setFilter({});
    QCOMPARE(table.gradeCounts().value(QStringLiteral("4")), 1);
    QCOMPARE(table.gradeCounts().value(QStringLiteral("—")), 1);
}

void TestResultFolder::missesPerPupilOnce()
{
    ResultRecord a = record(QStringLiteral("a"), QStringLiteral("2026-12-09T10:00:00+03:00"));
    ResultRecord b = record(QStringLiteral("b"), QStringLiteral("2026-12-09T10:00:00+03:00"));
    // a misses question 3 twice (the second pick is not counted) and 5 once; b misses 5.
    a.steps = {{3, 4, {}, false, true, {}, {}},
               {3, 2, {}, false, false, {}, {}},
               {5, 6, {}, false, true, {}, {}},
               {1, 1, {}, true, true, {}, {}}};
    b.steps = {{5, 6, {}, false, true, {}, {}}, {3, 3, {}, true, true, {}, {}}};
    // c and d kept the texts; d ran the topic after question 7 was moved to 8.
    ResultRecord c = a;
    c.steps = {{7, 1, {}, false, true, QStringLiteral("Год?"), {}}};
    ResultRecord d = a;
    d.steps
        = {{8, 1, {}, false, true, QStringLiteral("Год?"), {}}, {7, 1, {}, false, true, QStringLiteral("Век?"), {}}};
    ResultTable table;
    table.setEntries({{QStringLiteral("a"), a, QString(), {}},
                      {QStringLiteral("b"), b, QString(), {}},
                      {QStringLiteral("c"), c, QString(), {}},
                      {QStringLiteral("d"), d, QString(), {}}});
    using Miss = ResultTable::Miss;
    const QVector<Miss> misses = table.misses(QStringLiteral("Физика"));
    QCOMPARE(misses,
             (QVector<Miss>{{5, {}, 2}, {7, QStringLiteral("Год?"), 2}, {3, {}, 1}, {7, QStringLiteral("Век?"), 1}}));
}

void TestResultFolder::csvCommand()
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("a.json")),
        record(QStringLiteral("root"), QStringLiteral("2026-12-09T10:00:00+03:00")).toJson());
    put(dir.filePath(QStringLiteral("b.json")), "{");
    const QString editor = QCoreApplication::applicationDirPath() + QStringLiteral("/tesmora-editor");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY")); // no window, no display needed
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(editor, {QStringLiteral("--results-csv"), dir.path()});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput().count("\r\n"), 2);
    QVERIFY(p.readAllStandardError().contains("1 файл не прочитан"));
    p.start(editor, {QStringLiteral("--results-csv"), dir.filePath(QStringLiteral("none"))});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("none"));
    // Without a folder, the class settings' one; the Russian form on request.
    QTemporaryDir etc;
    QVERIFY(QDir().mkpath(etc.filePath(QStringLiteral("tesmora"))));
    put(etc.filePath(QStringLiteral("tesmora/class.conf")), "[class]\nresults=" + QFile::encodeName(dir.path()) + "\n");
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), etc.path());
    p.setProcessEnvironment(env);
    p.start(editor, {QStringLiteral("--results-csv"), QStringLiteral("--separator"), QStringLiteral("semicolon")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains(";81,25;4;"));
    // What "Печать…" prints, as a PDF without a display.
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    p.start(editor, {QStringLiteral("--results-pdf"), pdf});
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitCode(), 0);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly) && written.read(5) == "%PDF-" && written.size() > 1000);
}

void TestResultFolder::whoWorksNow_data()
{
    QTest::addColumn<int>("quietSeconds");    // since the status last changed
    QTest::addColumn<QString>("recordAfter"); // "" none, "same" this pupil's, "other" another computer's,
                                              // "doubtful" this pupil's name in another's file
    QTest::addColumn<QString>("topic");       // the filter
    QTest::addColumn<QString>("said");        // "" not listed
    const QString who = QStringLiteral("Иванов Пётр (ivanov), pc07 — Физика, Тест2 выбор: ");
    const QString stopped = who + QStringLiteral("остановлено на шаге 7 из 16 в 10:17, результата нет");
    const QString none; // no record after the status, no topic chosen, or not listed
    QTest::newRow("working") << 0 << none << none << who + "шаг 7 из 16, осталось 3:00";
    QTest::newRow("a minute quiet: still working") << 60 << none << none << who + "шаг 7 из 16, осталось 2:00";
    QTest::newRow("two minutes quiet: stopped") << 120 << none << none << stopped;
    QTest::newRow("handed in: not listed") << 120 << QStringLiteral("same") << none << none;
    QTest::newRow("a record from another computer does not count") << 120 << QStringLiteral("other") << none << stopped;
    QTest::newRow("a record in another's file does not count") << 120 << QStringLiteral("doubtful") << none << stopped;
    QTest::newRow("another topic chosen") << 0 << none << QStringLiteral("Химия") << none;
    QTest::newRow("yesterday's status") << 86400 << none << none << none;
}

// Who works now and who stopped without handing in, from the status files.
void TestResultFolder::whoWorksNow()
{
    QFETCH(int, quietSeconds);
    QFETCH(QString, recordAfter);
    QFETCH(QString, topic);
    QFETCH(QString, said);
    qputenv("TZ", "Europe/Moscow");
    PupilStatus s;
    s.user = QStringLiteral("ivanov");
    s.name = QStringLiteral("Иванов Пётр");
    s.host = QStringLiteral("pc07");
    s.topic = QStringLiteral("Физика");
    s.mode = ResultMode::Test2;
    s.step = 7;
    s.started = QDateTime::fromString(QStringLiteral("2026-12-09T10:15:00+03:00"), Qt::ISODate);
    s.updated = s.started.addSecs(120);
    s.limitSeconds = 300;
    const QDateTime now = s.updated.addSecs(quietSeconds);
    QVector<ResultFolder::Entry> entries;
    if (!recordAfter.isEmpty()) {
        ResultRecord r = record(s.user, QStringLiteral("2026-12-09T10:18:00+03:00"));
        r.host = recordAfter == QLatin1String("other") ? QStringLiteral("pc08") : s.host;
        entries.append({QStringLiteral("r"), r, {}, {}, recordAfter == QLatin1String("doubtful")});
    }
    // The status file as the trainer writes it and the window reads it back.
    QTemporaryDir dir;
    QCOMPARE(PupilStatus::write(dir.path(), s), QString());
    const QVector<PupilStatus> read = PupilStatus::readAll(dir.path(), {s.fileName()});
    QCOMPARE(read.size(), 1);
    const QVector<LessonTable::Working> working
        = LessonTable::working(read, entries, now.toLocalTime().date(), topic, now);
    QCOMPARE(working.isEmpty() ? QString() : working[0].text, said);
    QCOMPARE(working.size(), said.isEmpty() ? 0 : 1);
    if (!said.isEmpty())
        QCOMPARE(working[0].stopped, quietSeconds >= LessonTable::StoppedAfterSeconds);
}

// One row per pupil of the day: each mode's last result, the time spent.
void TestResultFolder::lessonRows()
{
    qputenv("TZ", "Europe/Moscow");
    ResultRecord first = record(QStringLiteral("a"), QStringLiteral("2026-12-09T10:00:00+03:00"));
    first.started = first.finished.addSecs(-100);
    first.limitSeconds = 60;
    ResultRecord later = first;
    later.finished = later.started = first.finished.addSecs(600);
    later.started = later.finished.addSecs(-50);
    later.percent = 100;
    later.grade = QStringLiteral("5");
    ResultRecord timedOut = first;
    timedOut.mode = ResultMode::Test1;
    timedOut.timedOut = true;
    ResultRecord yesterday = first;
    yesterday.finished = yesterday.started = first.finished.addDays(-1);
    ResultRecord other = first;
    other.user = QStringLiteral("b");
    other.name = QStringLiteral("Борисова Анна");
    other.topic = QStringLiteral("Химия");
    // Written by a in b's name, later: flagged in b's row, never b's result or name.
    ResultRecord forged = other;
    forged.name = QStringLiteral("Двоечник");
    forged.finished = forged.started = other.finished.addSecs(60);
    forged.percent = 10;
    forged.grade = QStringLiteral("1");
    const QString foreign = QStringLiteral("файл записан не учётной записью b, а учётной записью a");
    // a's run on another topic: a row of its own, its time not added to the other's.
    ResultRecord chemistry = first;
    chemistry.id = ResultRecord::newId();
    chemistry.topic = QStringLiteral("Химия");
    chemistry.finished = first.finished.addSecs(300);
    chemistry.started = chemistry.finished.addSecs(-200);
    const QVector<ResultFolder::Entry> entries = {{"6", forged, foreign, {}, true},
                                                  {"7", chemistry, {}, {}},
                                                  {"4", later, QStringLiteral("цифры не сходятся с ответами"), {}},
                                                  {"3", first, {}, {}},
                                                  {"2", timedOut, {}, {}},
                                                  {"1", yesterday, {}, {}},
                                                  {"5", other, {}, {}}};
    const QVector<LessonTable::Pupil> all = LessonTable::pupils(entries, QDate(2026, 12, 9), QString());
    QCOMPARE(all.size(), 3);
    QCOMPARE(
        LessonTable::row(all[0]),
        QStringList({"a", "Физика", "", "время вышло", "100 % — 5", "0:50", "1:00", "цифры не сходятся с ответами"}));
    QCOMPARE(LessonTable::row(all[1]), QStringList({"a", "Химия", "", "", "81,25 % — 4", "3:20", "1:00", ""}));
    const QStringList b = LessonTable::row(all[2]);
    QCOMPARE(b.value(0), QStringLiteral("Борисова Анна (b)"));
    QCOMPARE(b.value(LessonTable::Header.indexOf(QStringLiteral("Тест2 выбор"))), QStringLiteral("81,25 % — 4"));
    QCOMPARE(b.last(), foreign);
    QCOMPARE(LessonTable::pupils(entries, QDate(2026, 12, 9), QStringLiteral("Химия")).size(), 2);
}

void TestResultFolder::attemptsOfTheDay_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("age"); // seconds since the attempts started
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<QStringList>("flags"); // per row of "Все записи", newest first
    const QString finished = QStringLiteral("81,25 % — 4");
    // o: an attempt's opening, f: its graded end, t: its time-out, d: its opening saying another start
    QTest::newRow("opened and finished") << QStringList{"o1", "f1"} << 30 << finished << QStringList{""};
    QTest::newRow("an end without an opening (an older trainer)")
        << QStringList{"f1"} << 30 << finished << QStringList{""};
    QTest::newRow("opened, in time: under way") << QStringList{"o1"} << 30 << "1 попытка: идёт" << QStringList{"идёт"};
    QTest::newRow("opened, limit and a minute over: unfinished")
        << QStringList{"o1"} << 400 << "1 попытка: не завершена" << QStringList{"не завершена"};
    QTest::newRow("finished, then one left")
        << QStringList{"o1", "f1", "o2"} << 400 << "2 попытки: " + finished + "; не завершена"
        << QStringList{"", "не завершена"};
    QTest::newRow("a time-out and its grade: one attempt")
        << QStringList{"o1", "t1", "f1"} << 400 << finished << QStringList{"", ""};
    QTest::newRow("three openings, one end")
        << QStringList{"o1", "o2", "o3", "f3"} << 400 << "3 попытки: не завершена; не завершена; " + finished
        << QStringList{"", "не завершена", "не завершена"};
    QTest::newRow("six attempts: the newest five")
        << QStringList{"o1", "o2", "o3", "o4", "o5", "o6", "f6"} << 400
        << "6 попыток: …; не завершена; не завершена; не завершена; не завершена; " + finished
        << QStringList{"", "не завершена", "не завершена", "не завершена", "не завершена", "не завершена"};
    QTest::newRow("an opening that disagrees with its end")
        << QStringList{"d1", "f1"} << 30 << finished << QStringList{"начало попытки (%1) не совпадает с её записью"};
}

// Every attempt a pupil started that day, each once, and in its state.
void TestResultFolder::attemptsOfTheDay()
{
    QFETCH(QStringList, files);
    QFETCH(int, age);
    QFETCH(QString, lesson);
    QFETCH(QStringList, flags);
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString &file : std::as_const(files)) {
        const int n = file.mid(1).toInt();
        ResultRecord r = record(QStringLiteral("u"), now.toString(Qt::ISODate));
        r.id = QByteArray::number(n).rightJustified(8, '0');
        r.limitSeconds = 300;
        // Attempt n starts n seconds after the first; its end 20 s later.
        r.started = now.addSecs(n - age);
        r.finished = r.started.addSecs(20);
        if (file[0] == QLatin1Char('o') || file[0] == QLatin1Char('d')) {
            r = ResultRecord::openingOf(r);
            if (file[0] == QLatin1Char('d'))
                r.limitSeconds = 3600;
        } else if (file[0] == QLatin1Char('t')) {
            r.attempt = r.id;
            r.id = "t" + r.id;
            r.timedOut = true;
            r.grade.clear();
            r.finished = r.started.addSecs(r.limitSeconds);
        }
        put(dir.filePath(r.fileName()), r.toJson());
    }
    ResultFolder folder(dir.path());
    QVERIFY(folder.refresh());
    const QVector<ResultFolder::Entry> entries = folder.entries();
    QStringList attention;
    for (const ResultFolder::Entry &e : entries)
        attention << e.attention;
    // The opening's own name, as the flag gives it.
    const QStringList openings = QDir(dir.path()).entryList({QStringLiteral("*.start")});
    for (QString &flag : flags)
        flag = flag.contains(QLatin1String("%1")) ? flag.arg(openings.value(0)) : flag;
    QCOMPARE(attention, flags);
    const QVector<LessonTable::Pupil> pupils = LessonTable::pupils(entries, now.date(), QString());
    QCOMPARE(pupils.size(), 1);
    QCOMPARE(LessonTable::row(pupils[0]).value(LessonTable::Header.indexOf(QStringLiteral("Тест2 выбор"))), lesson);
    // The run dialog of an end counts the attempts beside it, where there are others.
    QSet<QString> started;
    for (const QString &file : std::as_const(files))
        started.insert(file.mid(1));
    for (const ResultFolder::Entry &e : entries) {
        if (e.attempt == ResultFolder::Entry::Attempt::Ended)
            QCOMPARE(
                RunReport::run(e).contains(QStringLiteral("Попыток в этот день в этом режиме: %1").arg(started.size())),
                started.size() > 1);
    }
}

void TestResultFolder::lookAlikeNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("classTopic");
    QTest::addColumn<bool>("alike");
    const QString physics = QStringLiteral("Физика");
    QTest::newRow("a Latin a") << QStringLiteral("Физикa") << physics << true;
    QTest::newRow("capitals") << QStringLiteral("ФИЗИКА") << physics << true;
    QTest::newRow("a Greek omicron and phi") << QStringLiteral("Φизикοй") << QStringLiteral("Физикой") << true;
    QTest::newRow("an invisible times") << QStringLiteral("Физика⁢") << physics << true;
    QTest::newRow("a combining grapheme joiner") << QStringLiteral("Фи͏зика") << physics << true;
    QTest::newRow("a zero-width space and a blank") << QStringLiteral("Физ​ика ") << physics << true;
    QTest::newRow("ё for е") << QStringLiteral("Ёлка") << QStringLiteral("Елка") << true;
    QTest::newRow("another topic") << QStringLiteral("Химия") << physics << false;
    QTest::newRow("й is not и") << QStringLiteral("Мой") << QStringLiteral("Мои") << false;
}

void TestResultFolder::lookAlikeNames()
{
    QFETCH(QString, name);
    QFETCH(QString, classTopic);
    QFETCH(bool, alike);
    QCOMPARE(LookAlike::fold(name) == LookAlike::fold(classTopic), alike);
}

void TestResultFolder::stepsInWords_data()
{
    using Step = ResultRecord::Step;
    QTest::addColumn<int>("mode");
    QTest::addColumn<Step>("step");
    QTest::addColumn<QString>("said");
    const QString year = QStringLiteral("Год?");
    const QString answer = QStringLiteral("1917");
    QTest::newRow("yes/no, wrong") << int(ResultMode::Test1)
                                   << Step{4, 7, QStringLiteral("1"), false, true, year, answer}
                                   << "Вопрос «Год?», показан ответ «1917»; ответ ученика «1»: неверно";
    QTest::newRow("yes/no, neither 0 nor 1")
        << int(ResultMode::Test1) << Step{4, 4, QStringLiteral("7"), false, false, year, answer}
        << "Вопрос «Год?», показан ответ «1917»; ответ ученика «7»: не засчитан (не 0 и не 1)";
    QTest::newRow("an old record without texts: numbered from 1")
        << int(ResultMode::Test2) << Step{0, 3, {}, false, true, {}, {}} << "Вопрос №1, выбран ответ №4: неверно";
}

void TestResultFolder::stepsInWords()
{
    QFETCH(int, mode);
    QFETCH(ResultRecord::Step, step);
    QFETCH(QString, said);
    ResultRecord r;
    r.mode = ResultMode::Value(mode);
    QCOMPARE(RunReport::step(r, step), said);
}

QTEST_GUILESS_MAIN(TestResultFolder)
#include "tst_resultfolder.moc"
