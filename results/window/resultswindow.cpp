#include "resultswindow.h"

#include "gradechart.h"
#include "lessontable.h"
#include "reportprinter.h"
#include "resultcache.h"
#include "resultsmodel.h"
#include "rundialog.h"
#include "runreport.h"
#include "safetext.h"
#include "storage/workerthreads.h"
#include "topiccatalog.h"
#include "topicfile.h"

#include <QCalendarWidget>
#include <QColor>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

ResultsWindow::ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent)
    : QWidget(parent)
    , m_folder(folder)
    , m_classTopics(classTopics)
    , m_model(new ResultsModel(this))
    , m_sorted(new QSortFilterProxyModel(this))
    , m_view(new QTableView(this))
    , m_status(new QLabel(this))
    , m_chart(new GradeChart(this))
    , m_missed(new QListWidget(this))
    , m_tabs(new QTabWidget(this))
    , m_lesson(new QTableWidget(this))
    , m_working(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Результаты — %1").arg(folder));
    m_folder.keepBytes(true); // until the cache on this computer holds them
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(ResultsModel::SortRole);
    m_sorted->setSortLocaleAware(true);
    m_view->setModel(m_sorted);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(ResultsModel::Date, Qt::DescendingOrder);
    // The flag takes the room left, never more: its whole text is in the tooltip.
    m_view->horizontalHeader()->setSectionResizeMode(ResultsModel::Attention, QHeaderView::Stretch);
    m_view->setWordWrap(false); // one line a record, cut names whole in the tooltip
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(true);
    // A double click or Enter opens the pupil's run.
    connect(m_view, &QAbstractItemView::activated, this, &ResultsWindow::openRun);
    m_view->verticalHeader()->hide();
    // Column widths from the first rows, not from ten thousand.
    m_view->horizontalHeader()->setResizeContentsPrecision(100);
    m_view->setObjectName(QStringLiteral("results"));
    m_view->setAccessibleName(QStringLiteral("Результаты"));
    m_missed->setAccessibleName(QStringLiteral("Ошибки по вопросам"));

    auto *bar = new QWidget(this);
    buildFilters(bar);
    auto *side = new QWidget(this);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(QStringLiteral("Оценки:"), side));
    sideLayout->addWidget(m_chart);
    auto *missedLabel = new QLabel(QStringLiteral("Чаще всего ошибались в вопросах:"), side);
    missedLabel->setBuddy(m_missed);
    sideLayout->addWidget(missedLabel);
    sideLayout->addWidget(m_missed, 1);
    auto *split = new QSplitter(this);
    split->addWidget(m_view);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    // The lesson first; the window opens on it when today has anything to show.
    m_tabs->addTab(buildLesson(), QStringLiteral("&Урок"));
    m_tabs->addTab(split, QStringLiteral("&Все записи"));
    m_tabs->setCurrentIndex(1);
    connect(m_tabs, &QTabWidget::tabBarClicked, this, [this] { m_tabDecided = true; });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_status);
    resize(1280, 680);
    split->setSizes({1030, 250});

    m_status->setTextFormat(Qt::RichText);
    connect(m_status, &QLabel::linkActivated, this, &ResultsWindow::showUnreadable);
    m_status->setText(QStringLiteral("Читается папка %1…").arg(folder.toHtmlEscaped()));
    connect(&m_listing, &QFutureWatcher<ResultFolder::Listing>::finished, this, &ResultsWindow::listed);
    connect(&m_poll, &QTimer::timeout, this, &ResultsWindow::refresh);
    m_poll.start(PollMilliseconds);
    connect(&m_topicsLook, &QFutureWatcher<Topics>::finished, this, [this] {
        m_lookingAtTopics = false;
        m_topics = m_topicsLook.result();
        if (m_folder.setTopicVersions(m_topics.versions))
            showAll();
        else
            showMisses();
    });
    connect(this, &ResultsWindow::exported, this, &ResultsWindow::exportEnded);
    // Once the cache holds a record's bytes, the window need not.
    connect(&m_saving, &QFutureWatcher<std::optional<QStringList>>::finished, this, [this] {
        if (const std::optional<QStringList> saved = m_saving.result())
            m_folder.dropBytes(*saved);
    });
    lookAtTopics();
    showAll();
    // The cache first, read on a worker too: a home folder may be on the server.
    m_reading = true;
    m_cachePath = ResultCache::pathFor(folder);
    connect(&m_cacheLoad, &QFutureWatcher<ResultFolder::Cache>::finished, this, [this] {
        m_cache = m_cacheLoad.result();
        m_reading = false;
        refresh();
    });
    m_cacheLoad.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [path = m_cachePath] { return ResultCache::load(path); }));
}

QWidget *ResultsWindow::buildLesson()
{
    auto *page = new QWidget(this);
    m_lesson->setColumnCount(int(LessonTable::Header.size()));
    m_lesson->setHorizontalHeaderLabels(LessonTable::Header);
    m_lesson->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lesson->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lesson->verticalHeader()->hide();
    m_lesson->horizontalHeader()->setStretchLastSection(true);
    m_lesson->setAccessibleName(QStringLiteral("Урок"));
    m_working->setAccessibleName(QStringLiteral("Сейчас работают"));
    m_working->setWordWrap(true);
    auto *workingLabel = new QLabel(QStringLiteral("Сейчас работают:"), page);
    workingLabel->setBuddy(m_working);
    auto *split = new QSplitter(page);
    split->addWidget(m_lesson);
    auto *side = new QWidget(page);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(workingLabel);
    sideLayout->addWidget(m_working, 1);
    split->addWidget(side);
    split->setSizes({820, 440});
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
    return page;
}

QDate ResultsWindow::lessonDay() const
{
    return m_from->date() != m_from->minimumDate() ? m_from->date() : QDate::currentDate();
}

void ResultsWindow::showLesson()
{
    const QString topic = m_topic->currentData().toString();
    const QVector<ResultFolder::Entry> &entries = m_table.all();
    const QVector<LessonTable::Pupil> pupils = LessonTable::pupils(entries, lessonDay(), topic);
    m_lesson->setRowCount(int(pupils.size()));
    for (int row = 0; row < pupils.size(); ++row) {
        const QStringList cells = LessonTable::row(pupils[row]);
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            // Tinted like the records' rows, with the reason in the tooltip.
            if (!pupils[row].flags.isEmpty()) {
                item->setBackground(QColor(0xFF, 0xE0, 0xB0));
                item->setToolTip(SafeText::plainTip(cells.last()));
            }
            m_lesson->setItem(row, column, item);
        }
    }
    m_lesson->resizeColumnsToContents();
    m_working->clear();
    for (const LessonTable::Working &w :
         LessonTable::working(m_folder.trusted(m_pupils), entries, lessonDay(), topic, QDateTime::currentDateTime())) {
        auto *item = new QListWidgetItem(w.text, m_working);
        if (w.stopped)
            item->setForeground(QColor(0xB0, 0x30, 0x00));
    }
    if (!m_tabDecided && (!pupils.isEmpty() || m_working->count() > 0)) {
        m_tabDecided = true;
        if (lessonDay() == QDate::currentDate())
            m_tabs->setCurrentIndex(0);
    }
}

void ResultsWindow::buildFilters(QWidget *bar)
{
    m_topic = new QComboBox(bar);
    // Wide enough for a topic's name; a longer one is cut, and whole in its tooltip.
    m_topic->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_topic->setMinimumContentsLength(22);
    m_pupil = new QLineEdit(bar);
    m_pupil->setPlaceholderText(QStringLiteral("имя или логин"));
    m_pupil->setClearButtonEnabled(true);
    m_mode = new QComboBox(bar);
    m_from = new QDateEdit(bar);
    m_to = new QDateEdit(bar);
    m_mode->addItem(QStringLiteral("Все режимы"), QVariant());
    for (ResultMode::Value mode : ResultMode::All)
        m_mode->addItem(ResultMode::caption(mode), int(mode));
    // The earliest date stands for "no bound" and shows as a dash; its
    // calendar opens at this month, not at the earliest.
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setMinimumDate(QDate(2000, 1, 1));
        edit->setSpecialValueText(QStringLiteral("—"));
        edit->setDate(edit->minimumDate());
        edit->calendarWidget()->installEventFilter(this);
    }
    auto *today = new QPushButton(QStringLiteral("Се&годня"), bar);
    auto *allDays = new QPushButton(QStringLiteral("Все &дни"), bar);
    m_export = new QPushButton(QStringLiteral("Сохранить в CSV…"), bar);
    auto *print = new QPushButton(QStringLiteral("Печать…"), bar);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto labelled = [bar, layout](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, bar);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
    };
    labelled(QStringLiteral("&Тема:"), m_topic);
    labelled(QStringLiteral("&Ученик:"), m_pupil);
    labelled(QStringLiteral("&Режим:"), m_mode);
    labelled(QStringLiteral("&С:"), m_from);
    labelled(QStringLiteral("&По:"), m_to);
    layout->addWidget(today);
    layout->addWidget(allDays);
    layout->addStretch(1);
    layout->addWidget(print);
    layout->addWidget(m_export);
    connect(print, &QPushButton::clicked, this, [this] {
        ReportPrinter::print(this, windowTitle(), m_tabs->currentIndex() == 0 ? lessonReport() : report());
    });
    connect(today, &QPushButton::clicked, this, [this] { setDays(QDate::currentDate(), QDate::currentDate()); });
    connect(allDays, &QPushButton::clicked, this, [this] { setDays({}, {}); });
    connect(m_topic, &QComboBox::currentIndexChanged, this, &ResultsWindow::filterChanged);
    connect(m_pupil, &QLineEdit::textChanged, this, &ResultsWindow::filterChanged);
    connect(m_mode, &QComboBox::currentIndexChanged, this, &ResultsWindow::filterChanged);
    connect(m_from, &QDateEdit::dateChanged, this, &ResultsWindow::filterChanged);
    connect(m_to, &QDateEdit::dateChanged, this, &ResultsWindow::filterChanged);
    connect(m_export, &QPushButton::clicked, this, &ResultsWindow::exportCsv);
}

void ResultsWindow::setDays(const QDate &from, const QDate &to)
{
    {
        const QSignalBlocker blockFrom(m_from);
        const QSignalBlocker blockTo(m_to);
        m_from->setDate(from.isValid() ? from : m_from->minimumDate());
        m_to->setDate(to.isValid() ? to : m_to->minimumDate());
    }
    filterChanged();
}

bool ResultsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        for (QDateEdit *edit : {m_from, m_to}) {
            if (watched == edit->calendarWidget() && edit->date() == edit->minimumDate())
                edit->calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
        }
    }
    return QWidget::eventFilter(watched, event);
}

ResultsWindow::Topics ResultsWindow::readTopics(const QString &classTopics)
{
    Topics topics;
    topics.versions = TopicCatalog::versions(classTopics);
    for (const TopicCatalog::Topic &topic : TopicCatalog::find(classTopics)) {
        QStringList questions;
        for (const TopicPair &pair : TopicFile::read(topic.folder).pairs)
            questions << pair.question;
        topics.questions.insert(topic.name, questions);
    }
    return topics;
}

void ResultsWindow::lookAtTopics()
{
    m_pollsSinceTopics = 0;
    if (m_lookingAtTopics)
        return;
    m_lookingAtTopics = true;
    m_topicsLook.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [classTopics = m_classTopics] { return readTopics(classTopics); }));
}

void ResultsWindow::refresh()
{
    if (++m_pollsSinceTopics >= PollsPerTopicsLook)
        lookAtTopics();
    if (m_reading || m_inFlight > 0)
        return; // the last look has not ended: a server that hangs gets no queue
    m_reading = true;
    m_listing.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder.folder(), stamp = m_folder.stamp()] {
            ResultFolder::Listing listing = ResultFolder::list(folder, stamp);
            listing.pupils = PupilStatus::readAll(folder, listing.statuses);
            return listing;
        }));
}

void ResultsWindow::listed()
{
    const ResultFolder::Listing listing = m_listing.result();
    // Read every look, so that a pupil who stops shows as stopped in time.
    if (listing.error.isEmpty() && !listing.unchanged)
        m_pupils = listing.pupils;
    showLesson();
    const QStringList names = m_folder.take(listing);
    if (!m_folder.error().isEmpty()) {
        m_reading = false;
        showStatus();
        return;
    }
    // What the cache holds shows at once; whether each file is still the
    // same is asked of the server after the new ones are read.
    m_toRead = m_folder.takeCached(names, m_cache);
    if (m_toRead.size() < names.size()) {
        for (const QString &name : names) {
            if (m_cache.contains(name))
                m_toVerify << name;
        }
    }
    m_total = int(m_toRead.size());
    m_done = 0;
    // Once for the look: what was read before, and the files that were no records.
    m_known = m_folder.known(m_cache);
    if (m_folder.changed())
        showAll();
    readNext();
}

void ResultsWindow::readNext()
{
    // A few reads at once: a file server answers each with a round trip.
    while (!m_toRead.isEmpty() && m_inFlight < ParallelReads) {
        const QStringList chunk = m_toRead.mid(0, RecordsPerRead);
        m_toRead.remove(0, chunk.size());
        auto *watcher = new QFutureWatcher<QVector<ResultFolder::Read>>(this);
        connect(watcher, &QFutureWatcher<QVector<ResultFolder::Read>>::finished, this, [this, watcher] {
            watcher->deleteLater();
            --m_inFlight;
            chunkRead(watcher->result());
        });
        ++m_inFlight;
        watcher->setFuture(
            QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder.folder(), chunk, known = m_known] {
                return ResultFolder::read(folder, chunk, known, true);
            }));
    }
    if (m_inFlight > 0)
        return;
    if (!m_toVerify.isEmpty()) {
        // Every row is shown; the cached ones are checked in the background.
        m_reading = false;
        m_toRead = std::exchange(m_toVerify, {});
        m_total = m_done = 0;
        // Shown already, unless new records came in this look: the rows
        // once per turn of the event loop.
        if (m_unshown)
            showAll();
        else
            showStatus();
        readNext();
        return;
    }
    m_cache.clear(); // every name is checked: from now on only new ones are read
    m_known.clear();
    m_reading = false;
    if (m_unshown)
        showAll();
    showStatus();
    if (m_cacheStale && !m_saving.isRunning()) {
        m_cacheStale = false;
        m_saving.setFuture(QtConcurrent::run(WorkerThreads::pool(), [path = m_cachePath, cache = m_folder.cache()] {
            return ResultCache::save(path, cache);
        }));
    }
}

void ResultsWindow::chunkRead(const QVector<ResultFolder::Read> &reads)
{
    m_done += int(reads.size());
    const int before = m_folder.unreadable();
    m_folder.take(reads);
    m_cacheStale = m_cacheStale || m_folder.changed();
    m_unshown = m_unshown || m_folder.changed() || m_folder.unreadable() != before;
    // The rows fill in as they come, but not more often than the eye follows.
    if (m_unshown && (!m_lastShown.isValid() || m_lastShown.elapsed() >= ShowEveryMilliseconds))
        showAll();
    else
        showStatus();
    readNext();
}

void ResultsWindow::showAll()
{
    m_unshown = false;
    m_lastShown.start();
    m_table.setEntries(m_folder.entries());
    const QString current = m_topic->currentData().toString();
    const QSignalBlocker block(m_topic);
    m_topic->clear();
    m_topic->addItem(QStringLiteral("Все темы"), QString());
    for (const QString &topic : m_table.topics()) {
        m_topic->addItem(topic, topic);
        m_topic->setItemData(m_topic->count() - 1, SafeText::plainTip(topic), Qt::ToolTipRole);
    }
    m_topic->setCurrentIndex(std::max(0, m_topic->findData(current)));
    // The table is filtered already, unless the topic chosen is gone.
    if (m_topic->currentData().toString() != current)
        filterChanged();
    else
        showRows();
}

void ResultsWindow::showStatus()
{
    if (!m_folder.error().isEmpty()) {
        m_status->setText(m_folder.error().toHtmlEscaped());
        return;
    }
    QString text = QStringLiteral("Записей: %1").arg(m_table.shown().size());
    if (m_reading && m_total > 0)
        text += QStringLiteral("; прочитано %1 из %2").arg(m_done).arg(m_total);
    if (m_folder.unreadable() > 0)
        text += QStringLiteral("; <a href=\"unreadable\">%1</a>").arg(m_folder.unreadableText());
    if (const QString owners = m_folder.ownersNote(); !owners.isEmpty())
        text += QStringLiteral("<br>") + owners.toHtmlEscaped();
    m_status->setText(text);
}

void ResultsWindow::showUnreadable()
{
    QMessageBox box(QMessageBox::Information, windowTitle(), m_folder.unreadableText(), QMessageBox::Close, this);
    box.setInformativeText(QStringLiteral("Файлы будут прочитаны снова при следующей проверке папки."));
    box.setDetailedText(m_folder.unreadableList().join(QLatin1Char('\n')));
    box.exec();
}

void ResultsWindow::filterChanged()
{
    ResultTable::Filter filter;
    filter.topic = m_topic->currentData().toString();
    m_topic->setToolTip(SafeText::plainTip(filter.topic));
    filter.pupil = m_pupil->text().trimmed();
    if (m_mode->currentData().isValid())
        filter.mode = ResultMode::Value(m_mode->currentData().toInt());
    if (m_from->date() != m_from->minimumDate())
        filter.from = m_from->date();
    if (m_to->date() != m_to->minimumDate())
        filter.to = m_to->date();
    m_table.setFilter(filter);
    showRows();
}

void ResultsWindow::showRows()
{
    m_model->setRows(m_table.shown());
    showStatus();
    // The rest in a turn of its own: with ten thousand rows neither half
    // holds the window long.
    if (m_restPending)
        return;
    m_restPending = true;
    // A timer, not a queued call: the event loop serves what is due in between.
    QTimer::singleShot(1, this, [this] {
        m_restPending = false;
        m_view->resizeColumnsToContents();
        // Long names are cut, whole in the tooltip, so that every column fits.
        for (const int column : {ResultsModel::Pupil, ResultsModel::Topic, ResultsModel::Mode})
            m_view->setColumnWidth(column, std::min(m_view->columnWidth(column), MaxNameWidth));
        m_chart->setCounts(m_table.gradeCounts());
        showMisses();
        showLesson();
    });
}

void ResultsWindow::showMisses()
{
    m_missed->clear();
    const QString topic = m_topic->currentData().toString();
    if (topic.isEmpty()) {
        m_missed->addItem(QStringLiteral("Выберите тему"));
        return;
    }
    // The question texts, where the topic is one this computer can find;
    // questions are numbered from 1, as the trainer's report counts them.
    const QStringList questions = m_topics.questions.value(topic);
    for (const ResultTable::Miss &miss : m_table.misses(topic))
        m_missed->addItem(RunReport::missLine(miss, questions));
}

void ResultsWindow::openRun(const QModelIndex &index)
{
    const int row = m_sorted->mapToSource(index).row();
    if (row < 0 || row >= m_table.shown().size())
        return;
    auto *dialog = new RunDialog(m_table.shown().at(row), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

QString ResultsWindow::lessonReport() const
{
    const QString topic = m_topic->currentData().toString();
    return RunReport::lesson(LessonTable::pupils(m_table.all(), lessonDay(), topic),
                             LessonTable::working(m_folder.trusted(m_pupils), m_table.all(), lessonDay(), topic,
                                                  QDateTime::currentDateTime()),
                             QStringLiteral("Урок %1%2")
                                 .arg(lessonDay().toString(QStringLiteral("dd.MM.yyyy")),
                                      topic.isEmpty() ? QString() : QStringLiteral(" — ") + topic));
}

QString ResultsWindow::report() const
{
    const QString topic = m_topic->currentData().toString();
    return RunReport::table(m_table, windowTitle(), topic.isEmpty() ? m_table.topics() : QStringList{topic},
                            m_topics.questions, m_folder.ownersNote());
}

QString ResultsWindow::writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return QString();
    return file.errorString();
}

void ResultsWindow::exportTo(const QString &path, ResultTable::CsvStyle style)
{
    // The file may be on the server too: written on a worker, the button
    // held until it is done.
    m_export->setEnabled(false);
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        m_export->setEnabled(true);
        emit exported(path, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(WorkerThreads::pool(),
                                         [path, bytes = m_table.csv(style)] { return writeFile(path, bytes); }));
}

void ResultsWindow::exportCsv()
{
    const QString russian = QStringLiteral("Для русской электронной таблицы: «;» и десятичная запятая (*.csv)");
    const QString rfc = QStringLiteral("CSV по RFC 4180: «,» и десятичная точка (*.csv)");
    QString chosen = russian;
    const QString path
        = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить в CSV"), QStringLiteral("результаты.csv"),
                                       russian + QStringLiteral(";;") + rfc, &chosen);
    if (!path.isEmpty())
        exportTo(path, chosen == rfc ? ResultTable::CsvStyle::Rfc4180 : ResultTable::CsvStyle::Russian);
}

void ResultsWindow::exportEnded(const QString &path, const QString &error)
{
    if (error.isEmpty())
        return;
    // Not waited for: the rows go on filling in under it.
    auto *box
        = new QMessageBox(QMessageBox::Warning, windowTitle(),
                          QStringLiteral("Не удалось сохранить %1: %2").arg(path, error), QMessageBox::Close, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
