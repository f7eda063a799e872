#include "resultstore.h"
#include "resultswindow.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// The teacher's results window: records handed in while it is open appear by
// themselves, the filters choose the rows, and the export holds what is shown.
class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void newRecordsAppearAndFilter();

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
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(window.status()->text(), QStringLiteral("Записей: 1; 1 файл не прочитан"));

    // Handed in while the window is open: there within 5 s, without a click.
    handIn(results.path(), QStringLiteral("Алгебра"), QStringLiteral("3"));
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 2, 5000);

    auto *topic = window.findChildren<QComboBox *>().first();
    QCOMPARE(topic->count(), 3); // every topic, and each of the two
    topic->setCurrentIndex(topic->findText(QStringLiteral("Алгебра")));
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, 9).data().toString(), QStringLiteral("3"));
    QCOMPARE(window.missed()->item(0)->text(), QStringLiteral("1 — вопрос 2"));

    const QString csv = results.filePath(QStringLiteral("out.csv"));
    QVERIFY(window.exportTo(csv));
    QFile out(csv);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), window.table().csv());
    QCOMPARE(window.table().csv().count("\r\n"), 2);
}

QTEST_MAIN(TestResultsWindow)
#include "tst_resultswindow.moc"
