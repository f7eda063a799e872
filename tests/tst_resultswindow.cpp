#include "lessontable.h"
#include "recordcheck.h"
#include "reportprinter.h"
#include "resultcache.h"
#include "resultfeed.h"
#include "resultsmodel.h"
#include "resultstore.h"
#include "resultswindow.h"
#include "rundialog.h"
#include "runreport.h"
#include "safetext.h"
#include "topiccatalog.h"
#include "topicfile.h"

#include <QAbstractTextDocumentLayout>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QWindow>

#include <fcntl.h>
#include <sys/stat.h>

// The teacher's results window: records handed in while it is open appear by
// themselves, the filters choose the rows, and the export holds what is shown.
class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void newRecordsAppearAndFilter();
    void tableAsTheTeacherUsesIt();
    void faultsHeal();
    void secondOpeningFromCache();
    void readingEndsWithEveryRow();
    void paperReadsWell();

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
    auto *view = window.findChild<QTableView *>(QStringLiteral("results"));
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(), 1);
    QTRY_VERIFY(!window.busy());
    // Every file this account's: who wrote them cannot be told, and that is said.
    QCOMPARE(window.status()->text(),
             QStringLiteral("Записей: 1; <a href=\"unreadable\">1 файл не прочитан</a><br>")
                 + QStringLiteral("Кто записал файлы, по этой папке не проверить: все они "
                                  "принадлежат учётной записи %1.")
                       .arg(ResultRecord::ofThisAccount().user));

    // Handed in while the window is open: there within 5 s, without a click.
    handIn(results.path(), QStringLiteral("Алгебра"), QStringLiteral("3"));
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 2, 5000);

    auto *topic = window.findChildren<QComboBox *>().first();
    QCOMPARE(topic->count(), 3); // every topic, and each of the two
    topic->setCurrentIndex(topic->findText(QStringLiteral("Алгебра")));
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, ResultsModel::Grade).data().toString(), QStringLiteral("3"));
    // Numbered as the trainer's report counts them, from 1.
    QTRY_VERIFY(!window.busy());
    QCOMPARE(window.missed()->item(0)->text(), QStringLiteral("1 — вопрос 3"));

    // Written on a worker; a failure names its reason.
    QSignalSpy exported(&window, &ResultsWindow::exported);
    const QString csv = results.filePath(QStringLiteral("out.csv"));
    window.exportTo(csv, ResultTable::CsvStyle::Russian);
    QTRY_COMPARE(exported.size(), 1);
    QCOMPARE(exported[0], QVariantList({csv, QString()}));
    QFile out(csv);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), window.table().csv(ResultTable::CsvStyle::Russian));
    QCOMPARE(window.table().csv().count("\r\n"), 2);
    window.exportTo(results.filePath(QStringLiteral("none/out.csv")), ResultTable::CsvStyle::Rfc4180);
    QTRY_COMPARE(exported.size(), 2);
    QVERIFY(!exported[1][1].toString().isEmpty());
    auto *box = window.findChild<QMessageBox *>();
    QVERIFY(box && box->text().endsWith(exported[1][1].toString()));
    box->close();
}

// The table as a teacher uses it: every column in sight with a long topic
// name, sorted by a header click, and a topic corrected while the window is
// open turns its earlier records neutral, not suspect.
void TestResultsWindow::tableAsTheTeacherUsesIt()
{
    QTemporaryDir root;
    const QString topics = root.filePath(QStringLiteral("topics"));
    const QString results = root.filePath(QStringLiteral("results"));
    const QString topic = QStringLiteral("Кодирование информации: единицы измерения и системы счисления");
    QVector<TopicPair> pairs;
    for (int k = 0; k < 16; ++k)
        pairs.append({QStringLiteral("Вопрос %1").arg(k), QStringLiteral("Ответ %1").arg(k)});
    QVERIFY(QDir().mkpath(topics + QLatin1Char('/') + topic) && QDir().mkpath(results));
    QVERIFY(TopicFile::save(topics + QLatin1Char('/') + topic, pairs, TopicFile::Encoding::Utf8).saved);
    for (const int right : {16, 9, 13}) {
        ResultRecord r = ResultRecord::ofThisAccount();
        r.id = ResultRecord::newId();
        r.topic = topic;
        r.mode = ResultMode::Test2;
        r.started = r.finished = QDateTime::currentDateTime().addSecs(right);
        for (int k = 0; k < 16; ++k)
            r.steps.append({k, k < right ? k : k + 1, {}, k < right, true, {}, {}});
        const RecordCheck::Figures f = RecordCheck::fromSteps(r);
        std::tie(r.matches, r.errors, r.percent, r.grade) = std::tie(f.matches, f.errors, f.percent, f.grade);
        r.topicSha256 = TopicCatalog::digest(topics + QLatin1Char('/') + topic);
        QCOMPARE(ResultStore::write(results, r).outcome, ResultStore::Outcome::HandedIn);
    }
    ResultsWindow window(results, topics);
    // It fits a classroom projector; on a wide screen it opens 1280 wide.
    QVERIFY2(window.minimumSizeHint().width() <= 1024, qPrintable(QString::number(window.minimumSizeHint().width())));
    window.resize(1280, 680);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(!window.busy());
    // Records of today: the window opens on the lesson, one row per pupil
    // with each mode's last result.
    QCOMPARE(window.tabs()->currentIndex(), 0);
    QCOMPARE(window.lesson()->rowCount(), 1);
    // Every attempt of the day, oldest first.
    QCOMPARE(window.lesson()->item(0, int(LessonTable::Header.indexOf(QStringLiteral("Тест2 выбор"))))->text(),
             QStringLiteral("3 попытки: 56,25 % — 3; 81,25 % — 4; 100 % — 5"));
    window.tabs()->setCurrentIndex(1);
    auto *view = window.findChild<QTableView *>(QStringLiteral("results"));
    QCOMPARE(view->model()->rowCount(), 3);
    QHeaderView *header = view->horizontalHeader();
    for (int column = 0; column < ResultsModel::Attention; ++column)
        QVERIFY2(header->sectionViewportPosition(column) + header->sectionSize(column) <= view->viewport()->width(),
                 qPrintable(ResultsModel::Columns[column]));
    QVERIFY(header->sectionViewportPosition(ResultsModel::Attention) < view->viewport()->width() - 40);
    QVERIFY(!view->horizontalScrollBar()->isVisible()); // nothing beyond the right edge
    QCOMPARE(view->model()->index(0, ResultsModel::Topic).data(Qt::ToolTipRole).toString(), SafeText::plainTip(topic));
    // Newest first, then by the grade at a click on its header, and back.
    const auto grades = [view] {
        QStringList list;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            list << view->model()->index(row, ResultsModel::Grade).data().toString();
        return list;
    };
    QCOMPARE(grades(), QStringList({"5", "4", "3"}));
    const QPoint gradeHeader(header->sectionViewportPosition(ResultsModel::Grade) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, gradeHeader);
    const QStringList once = grades();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, gradeHeader);
    QCOMPARE(QSet<QStringList>({once, grades()}), QSet<QStringList>({{"3", "4", "5"}, {"5", "4", "3"}}));

    // The dates: a calendar opens at this month, not at the earliest date,
    // and "Сегодня" and "Все дни" set and clear both.
    auto *from = window.findChildren<QDateEdit *>().first();
    QTest::mouseClick(from, Qt::LeftButton, {}, QPoint(from->width() - 6, from->height() / 2));
    QTRY_VERIFY(from->calendarWidget()->isVisible());
    QCOMPARE(from->calendarWidget()->yearShown(), QDate::currentDate().year());
    QCOMPARE(from->calendarWidget()->monthShown(), QDate::currentDate().month());
    QTest::keyClick(from->calendarWidget(), Qt::Key_Escape);
    const auto button = [&window](const QString &text) {
        for (QPushButton *b : window.findChildren<QPushButton *>()) {
            if (b->text().remove(QLatin1Char('&')) == text)
                return b;
        }
        return static_cast<QPushButton *>(nullptr);
    };
    QTest::mouseClick(button(QStringLiteral("Сегодня")), Qt::LeftButton);
    QCOMPARE(from->date(), QDate::currentDate());
    QCOMPARE(view->model()->rowCount(), 3);
    QTest::mouseClick(button(QStringLiteral("Все дни")), Qt::LeftButton);
    QCOMPARE(from->date(), from->minimumDate());

    // A pupil's run opens by a double click, and by Enter: every step in words.
    const QModelIndex first = view->model()->index(0, ResultsModel::Pupil);
    // A real double click, as the window system delivers it.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       view->viewport()->mapTo(&window, view->visualRect(first).center()));
    QTRY_VERIFY(window.findChild<RunDialog *>());
    RunDialog *run = window.findChild<RunDialog *>();
    const QString steps = run->text()->toPlainText();
    QCOMPARE(steps.count(QStringLiteral(": верно")) + steps.count(QStringLiteral(": неверно")), 16);
    QVERIFY(run->windowTitle().contains(topic));
    run->close();
    QTRY_VERIFY(!window.findChild<RunDialog *>());
    view->setFocus();
    view->setCurrentIndex(view->model()->index(1, ResultsModel::Grade));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(window.findChild<RunDialog *>());
    window.findChild<RunDialog *>()->close();

    QCOMPARE(view->model()->index(0, ResultsModel::Attention).data().toString(), QString());
    pairs[0].answer = QStringLiteral("Ответ исправлен");
    QVERIFY(TopicFile::save(topics + QLatin1Char('/') + topic, pairs, TopicFile::Encoding::Utf8).saved);
    window.lookAtTopics();
    QTRY_VERIFY(!window.busy());
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(view->model()->index(row, ResultsModel::Attention).data().toString(),
                 QStringLiteral("прежняя версия темы"));
        QVERIFY(!view->model()->index(row, ResultsModel::Grade).data(Qt::BackgroundRole).isValid());
    }
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
    // A mistyped class topics folder is said below the table as long as it is so.
    const QString topics = root.filePath(QStringLiteral("tpoics"));
    ResultsWindow window(folder, topics);
    QTRY_VERIFY(!window.busy());
    QCOMPARE(window.table().shown().size(), 1);
    QVERIFY2(window.status()->text().contains(QStringLiteral("Папка тем класса не найдена: ") + topics),
             qPrintable(window.status()->text()));
    QVERIFY(QDir().mkpath(topics));
    window.lookAtTopics();
    QTRY_VERIFY(!window.status()->text().contains(QStringLiteral("Папка тем")));

    QVERIFY(QDir().rename(folder, folder + QStringLiteral("-away")));
    window.refresh();
    QTRY_VERIFY(!window.busy());
    QVERIFY2(window.status()->text().startsWith(QStringLiteral("Папка результатов недоступна")),
             qPrintable(window.status()->text()));
    QVERIFY(QDir().rename(folder + QStringLiteral("-away"), folder));
    QVERIFY(late.open(QIODevice::WriteOnly));
    ResultRecord second = first;
    second.id = ResultRecord::newId();
    late.write(second.toJson());
    late.close();
    // A file that was no record is looked at again within a few looks.
    for (int look = 0; look < ResultFolder::LooksPerBadCheck && window.table().shown().size() < 2; ++look) {
        window.refresh();
        QTRY_VERIFY(!window.busy());
    }
    QCOMPARE(window.table().shown().size(), 2);
    QVERIFY(window.status()->text().startsWith(QStringLiteral("Записей: 2<br>")));
}

// A reading in several parts, the first time and from the cache: while the
// window says it is reading no more, it shows every row. Shown on screen, as
// its repaints leave turns between a worker's end and its rows arriving.
void TestResultsWindow::readingEndsWithEveryRow()
{
    QTemporaryDir results;
    const int count = 3 * ResultFeed::RecordsPerRead + 7;
    for (int k = 0; k < count; ++k)
        handIn(results.path(), QStringLiteral("Физика"), QStringLiteral("5"));
    for (const char *opening : {"first", "from the cache"}) {
        ResultsWindow window(results.path(), QString());
        window.show();
        int seenDone = 0; // turns seen after the reading
        while (window.busy()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (!window.reading() && ++seenDone)
                QVERIFY2(window.table().shown().size() == count, opening);
        }
        QVERIFY2(seenDone > 0, opening);
    }
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

// The cells where a line starts inside a word.
static QStringList brokenCells(QTextDocument &document)
{
    QStringList broken;
    document.documentLayout()->documentSize(); // laid out
    for (QTextFrame *frame : document.rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        for (int row = 0; table && row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                for (QTextBlock b = cell.firstCursorPosition().block();
                     b.isValid() && b.position() < cell.lastPosition(); b = b.next()) {
                    for (int line = 1; line < b.layout()->lineCount(); ++line) {
                        const QChar before = b.text().at(b.layout()->lineAt(line).textStart() - 1);
                        if (!before.isSpace() && before != QLatin1Char('-'))
                            broken << b.text();
                    }
                }
            }
        }
    }
    return broken;
}

// The paper a teacher prints: the table on landscape pages with words never
// broken, a title that says what it is, a pupil's run on one sheet.
void TestResultsWindow::paperReadsWell()
{
    QVector<ResultFolder::Entry> entries;
    const QStringList names = {QStringLiteral("Петрова-Водкина Анастасия"), QStringLiteral("Константинопольский Пётр")};
    for (int k = 0; k < 30; ++k) {
        ResultRecord r;
        r.user = QStringLiteral("pupil%1").arg(k);
        r.name = names[k % 2];
        r.host = QStringLiteral("kab214-pc%1").arg(k);
        r.topic = k % 3 ? QStringLiteral("Основы информатики")
                        : QStringLiteral("Алгоритмы и исполнители: ветвления, циклы и массивы (8 класс)");
        r.mode = ResultMode::Test2;
        r.started = r.finished = QDateTime(QDate(2026, 12, 9), QTime(10, k));
        r.matches = 15;
        r.errors = 1;
        r.percent = 93.75;
        r.grade = QStringLiteral("5");
        for (int step = 0; step < 16; ++step)
            r.steps.append(
                {step,
                 step,
                 {},
                 step % 3 != 0,
                 true,
                 QStringLiteral("Как называется величина, значение которой меняется при выполнении %1").arg(step),
                 QStringLiteral("переменная величина целого или вещественного типа")});
        entries.append({QStringLiteral("%1.json").arg(k),
                        r,
                        k % 5 ? QString() : QStringLiteral("цифры не сходятся с ответами; похоже на чужой файл"),
                        {}});
    }
    ResultTable table;
    table.setEntries(entries);
    const QString title = RunReport::tableTitle(table, table.topics(), QStringLiteral("/srv/school/tesmora/results/"));
    QCOMPARE(title,
             QStringLiteral("Результаты: Алгоритмы и исполнители: ветвления, циклы и массивы (8 класс), Основы "
                            "информатики; 09.12.2026; папка «results»"));
    const QString html = RunReport::table(table, title, table.topics(), {});
    const auto wide = ReportPrinter::document(title, html, ReportPrinter::Paper::Landscape);
    QCOMPARE(brokenCells(*wide), QStringList());
    QVERIFY2(wide->size().width() <= wide->pageSize().width() + 1,
             qPrintable(QStringLiteral("%1 > %2").arg(wide->size().width()).arg(wide->pageSize().width())));
    // On a portrait page the same table would not fit: the reason for landscape.
    const auto narrow = ReportPrinter::document(title, html, ReportPrinter::Paper::Portrait);
    QVERIFY(narrow->size().width() > narrow->pageSize().width());
    QCOMPARE(ReportPrinter::document(title, RunReport::run(entries[0]), ReportPrinter::Paper::Portrait)->pageCount(),
             1);
    // A name typed as one long word breaks within its column; the table stays on the page.
    ResultTable odd;
    entries[1].record.name = QStringLiteral("Очень").repeated(60);
    odd.setEntries(entries);
    const auto broken = ReportPrinter::document(title, RunReport::table(odd, title, odd.topics(), {}),
                                                ReportPrinter::Paper::Landscape);
    QVERIFY2(broken->size().width() <= broken->pageSize().width() + 1,
             qPrintable(QStringLiteral("%1 > %2").arg(broken->size().width()).arg(broken->pageSize().width())));
    entries[1].record.name = names[1];
    QCOMPARE(ReportPrinter::docName(QStringLiteral("Результаты: A/B; 09.12.2026")),
             QStringLiteral("Результаты — A_B; 09.12.2026"));

    // The PDF itself, as its text and as a picture of its first page.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QCOMPARE(ReportPrinter::writePdf(pdf, title, html, ReportPrinter::Paper::Landscape), QString());
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString said = QString::fromUtf8(text.readAllStandardOutput());
    // Names may wrap at their blanks, never inside a word; the header heads every page.
    QVERIFY2(said.simplified().contains(title) && said.count(QStringLiteral("Петрова-Водкина")) >= 15
                 && said.count(QStringLiteral("93,75")) == 30
                 && said.count(QStringLiteral("внимание")) == said.count(QLatin1Char('\f'))
                 && said.count(QLatin1Char('\f')) > 1,
             qPrintable(said));
    QProcess picture;
    picture.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-f"),
                   QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
                   dir.filePath(QStringLiteral("page"))});
    QVERIFY(picture.waitForFinished(20000) && picture.exitCode() == 0);
    const QImage page(dir.filePath(QStringLiteral("page-1.png")));
    QVERIFY(page.width() > page.height());
    // Nothing printed into the right margin: no column runs off the sheet.
    const int margin = page.width() * 12 / 297;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = page.width() - margin; x < page.width(); ++x)
            QCOMPARE(page.pixelColor(x, y), QColor(Qt::white));
    }
}

QTEST_MAIN(TestResultsWindow)
#include "tst_resultswindow.moc"
