#include "resultcache.h"
#include "resultsmodel.h"
#include "resultstore.h"
#include "resultswindow.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// The teacher's results window: records handed in while it is open appear by
// themselves, the filters choose the rows, and the export holds what is shown.
class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void newRecordsAppearAndFilter();
    void faultsHeal();
    void secondOpeningFromCache();

private:
    static ResultRecord handIn(const QString &folder, const QString &topic, const QString &grade);
};

ResultRecord TestResultsWindow::handIn(const QString &folder, const QString &topic, const QString &grade)
{
    ResultRecord r = ResultRecord::ofThisAccount();
    r.id = ResultRecord::newId();
    r.topic = topic;
    r.mode = ResultMode::Training;
    r.started = r.finished = QDateTime::currentDateTime();
    r.grade = grade;
    r.steps = {{2, 3, {}, false, true, {}, {}}, {4, 4, {}, true, true, {}, {}}};
    const ResultStore::Written written = ResultStore::write(folder, r);
    if (written.outcome != ResultStore::Outcome::HandedIn)
        qWarning("%s", qPrintable(written.message));
    return r;
}

void TestResultsWindow::newRecordsAppearAndFilter()
{
    QTemporaryDir results;
    handIn(results.path(), QStringLiteral("Физика"), QStringLiteral("5"));
    QFile bad(results.filePath(QStringLiteral("bad.json")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("{");
    bad.close();
    ResultsWindow window(results.path(), QString());
    window.show();
    auto *view = window.findChild<QTableView *>();
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(), 1);
    QTRY_VERIFY(!window.busy());
    QCOMPARE(window.status()->text(), QStringLiteral("Записей: 1; <a href=\"unreadable\">1 файл не прочитан</a>"));

    // Handed in while the window is open: there within 5 s, without a click.
    handIn(results.path(), QStringLiteral("Алгебра"), QStringLiteral("3"));
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 2, 5000);

    auto *topic = window.findChildren<QComboBox *>().first();
    QCOMPARE(topic->count(), 3); // every topic, and each of the two
    topic->setCurrentIndex(topic->findText(QStringLiteral("Алгебра")));
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, ResultsModel::Grade).data().toString(), QStringLiteral("3"));
    QCOMPARE(window.missed()->item(0)->text(), QStringLiteral("1 — вопрос 2"));

    const QString csv = results.filePath(QStringLiteral("out.csv"));
    QVERIFY(window.exportTo(csv));
    QFile out(csv);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), window.table().csv());
    QCOMPARE(window.table().csv().count("\r\n"), 2);
}

// What a file server does for a moment heals by itself: the folder's error
// clears once it reads again, and a record whose first read failed shows at
// a later look.
void TestResultsWindow::faultsHeal()
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("results"));
    QVERIFY(QDir().mkpath(folder));
    const ResultRecord first = handIn(folder, QStringLiteral("Физика"), QStringLiteral("5"));
    QFile late(folder + QStringLiteral("/late.json"));
    QVERIFY(late.open(QIODevice::WriteOnly));
    late.write("{");
    late.close();
    ResultsWindow window(folder, QString());
    QTRY_VERIFY(!window.busy());
    QCOMPARE(window.table().shown().size(), 1);

    QVERIFY(QDir().rename(folder, folder + QStringLiteral("-away")));
    window.refresh();
    QTRY_VERIFY(!window.busy());
    QVERIFY2(window.status()->text().startsWith(QStringLiteral("Не удалось прочитать папку")),
             qPrintable(window.status()->text()));
    QVERIFY(QDir().rename(folder + QStringLiteral("-away"), folder));
    QVERIFY(late.open(QIODevice::WriteOnly));
    ResultRecord second = first;
    second.id = ResultRecord::newId();
    late.write(second.toJson());
    late.close();
    window.refresh();
    QTRY_VERIFY(!window.busy());
    QCOMPARE(window.table().shown().size(), 2);
    QCOMPARE(window.status()->text(), QStringLiteral("Записей: 2"));
}

// A second opening takes what the first read from the cache: a record whose
// bytes were spoiled on the server with its size and time kept still shows.
void TestResultsWindow::secondOpeningFromCache()
{
    QTemporaryDir results;
    handIn(results.path(), QStringLiteral("Физика"), QStringLiteral("4"));
    {
        ResultsWindow window(results.path(), QString());
        QTRY_VERIFY(!window.busy());
        QCOMPARE(window.table().shown().size(), 1);
    }
    const QString cache = ResultCache::pathFor(results.path());
    QTRY_VERIFY(QFile::exists(cache));
    const QString name = QDir(results.path()).entryList({QStringLiteral("*.json")}).first();
    const QByteArray path = QFile::encodeName(results.filePath(name));
    struct stat before
    {
    };
    QCOMPARE(::stat(path.constData(), &before), 0);
    QFile record(results.filePath(name));
    QVERIFY(record.open(QIODevice::ReadWrite));
    record.write(QByteArray(record.size(), ' '));
    record.close();
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    ResultsWindow window(results.path(), QString());
    QTRY_VERIFY(!window.busy());
    QCOMPARE(window.table().shown().size(), 1);
    QVERIFY(QFile::remove(cache));
    ResultsWindow uncached(results.path(), QString());
    QTRY_VERIFY(!uncached.busy());
    QCOMPARE(uncached.table().shown().size(), 0);
}

QTEST_MAIN(TestResultsWindow)
#include "tst_resultswindow.moc"
