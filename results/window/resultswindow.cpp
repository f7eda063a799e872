#include "resultswindow.h"

#include "gradechart.h"
#include "lessontable.h"
#include "reportprinter.h"
#include "resultsmodel.h"
#include "rundialog.h"
#include "runreport.h"
#include "safetext.h"
#include "storage/workerthreads.h"

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
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

ResultsWindow::ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent)
    : QWidget(parent)
    , m_feed(new ResultFeed(folder, classTopics, this))
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
    // The grades' side keeps its width; the table takes what the window gains.
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    // The lesson first; the window opens on it when today has anything to show.
    m_tabs->addTab(buildLesson(), QStringLiteral("&Урок"));
    m_tabs->addTab(split, QStringLiteral("&Все записи"));
    m_tabs->setCurrentIndex(1);
    connect(m_tabs, &QTabWidget::tabBarClicked, this, [this] { m_tabDecided = true; });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_status);
    // Within a classroom projector's 1024 x 768 where that is the screen.
    const QSize room = screen()->availableGeometry().size();
    resize(std::min(1280, room.width()), std::min(680, room.height()));
    split->setSizes({width() - 250, 250});

    m_status->setTextFormat(Qt::RichText);
    connect(m_status, &QLabel::linkActivated, this, &ResultsWindow::showUnreadable);
    m_status->setText(QStringLiteral("Читается папка %1…").arg(folder.toHtmlEscaped()));
    connect(m_feed, &ResultFeed::changed, this, &ResultsWindow::showAll);
    connect(m_feed, &ResultFeed::progressed, this, &ResultsWindow::showStatus);
    connect(m_feed, &ResultFeed::statusesRead, this, &ResultsWindow::showLesson);
    connect(m_feed, &ResultFeed::topicsRead, this, [this] {
        showStatus();
        showMisses();
    });
    connect(this, &ResultsWindow::exported, this, &ResultsWindow::exportEnded);
    showAll();
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
    split->setSizes({880, 300});
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
    // Each poll brings the statuses; the pupils' rows are worked out again
    // only for other records, another day or topic, and shown only if they changed.
    const LessonKey key{m_recordsSet, lessonDay(), topic};
    if (!(key == m_lessonKey)) {
        m_lessonKey = key;
        const QVector<LessonTable::Pupil> pupils = LessonTable::pupils(entries, lessonDay(), topic);
        QVector<QStringList> rows;
        rows.reserve(pupils.size());
        for (const LessonTable::Pupil &pupil : pupils)
            rows << LessonTable::row(pupil);
        if (rows != m_lessonRows)
            fillLesson(pupils, rows);
        m_lessonRows = rows;
    }
    m_working->clear();
    for (const LessonTable::Working &w :
         LessonTable::working(m_feed->statuses(), entries, lessonDay(), topic, QDateTime::currentDateTime())) {
        auto *item = new QListWidgetItem(w.text, m_working);
        if (w.stopped)
            item->setForeground(QColor(0xB0, 0x30, 0x00));
    }
    if (!m_tabDecided && (!m_lessonRows.isEmpty() || m_working->count() > 0)) {
        m_tabDecided = true;
        if (lessonDay() == QDate::currentDate())
            m_tabs->setCurrentIndex(0);
    }
}

namespace {

constexpr qsizetype kFittedLessonRows = 200;

} // namespace

void ResultsWindow::fillLesson(const QVector<LessonTable::Pupil> &pupils, const QVector<QStringList> &rows)
{
    m_lesson->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList &cells = rows[row];
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
    // Fitted to a class's rows; Qt's fitting asks every row, and a school's
    // ten thousand would hold the window at every repaint after it.
    if (rows.size() <= kFittedLessonRows)
        m_lesson->resizeColumnsToContents();
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
    m_pupil->setMinimumWidth(m_pupil->fontMetrics().horizontalAdvance(m_pupil->placeholderText()) + 40);
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
    // Two rows, so that the window fits a 1024-pixel projector.
    auto *rows = new QVBoxLayout(bar);
    rows->setContentsMargins(0, 0, 0, 0);
    auto *filters = new QHBoxLayout;
    auto *actions = new QHBoxLayout;
    rows->addLayout(filters);
    rows->addLayout(actions);
    const auto labelled = [bar, filters](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, bar);
        label->setBuddy(field);
        filters->addWidget(label);
        filters->addWidget(field);
    };
    labelled(QStringLiteral("&Тема:"), m_topic);
    labelled(QStringLiteral("&Ученик:"), m_pupil);
    labelled(QStringLiteral("&Режим:"), m_mode);
    labelled(QStringLiteral("&С:"), m_from);
    labelled(QStringLiteral("&По:"), m_to);
    filters->addStretch(1);
    actions->addWidget(today);
    actions->addWidget(allDays);
    actions->addStretch(1);
    actions->addWidget(print);
    actions->addWidget(m_export);
    connect(print, &QPushButton::clicked, this, [this] {
        ReportPrinter::print(this,
                             m_tabs->currentIndex() == 0
                                 ? lessonTitle()
                                 : RunReport::tableTitle(m_table, topics(), m_feed->folder().folder()),
                             m_tabs->currentIndex() == 0 ? lessonReport() : report(), ReportPrinter::Paper::Landscape);
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

void ResultsWindow::lookAtTopics()
{
    m_feed->lookAtTopics();
}

void ResultsWindow::refresh()
{
    m_feed->refresh();
}

void ResultsWindow::showAll()
{
    m_table.setEntries(m_feed->entries());
    ++m_recordsSet;
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
    const ResultFolder &folder = m_feed->folder();
    // A class topics folder mistyped: the records' topics cannot be checked.
    const QString topics = m_feed->topics().problem.isEmpty()
        ? QString()
        : QStringLiteral("<br>") + m_feed->topics().problem.toHtmlEscaped();
    if (!folder.error().isEmpty()) {
        m_status->setText(folder.error().toHtmlEscaped() + topics);
        return;
    }
    QString text = QStringLiteral("Записей: %1").arg(m_table.shown().size());
    if (m_feed->reading() && m_feed->total() > 0)
        text += QStringLiteral("; прочитано %1 из %2").arg(m_feed->done()).arg(m_feed->total());
    if (folder.unreadable() > 0)
        text += QStringLiteral("; <a href=\"unreadable\">%1</a>").arg(folder.unreadableText());
    if (const QString owners = folder.ownersNote(); !owners.isEmpty())
        text += QStringLiteral("<br>") + owners.toHtmlEscaped();
    m_status->setText(text + topics);
}

void ResultsWindow::showUnreadable()
{
    QMessageBox box(QMessageBox::Information, windowTitle(), m_feed->folder().unreadableText(), QMessageBox::Close,
                    this);
    box.setInformativeText(QStringLiteral("Файлы будут прочитаны снова при следующей проверке папки."));
    box.setDetailedText(m_feed->folder().unreadableList().join(QLatin1Char('\n')));
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
    const QStringList questions = m_feed->topics().questions.value(topic);
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
    return RunReport::lesson(
        LessonTable::pupils(m_table.all(), lessonDay(), topic),
        LessonTable::working(m_feed->statuses(), m_table.all(), lessonDay(), topic, QDateTime::currentDateTime()),
        lessonTitle());
}

QString ResultsWindow::lessonTitle() const
{
    const QString topic = m_topic->currentData().toString();
    return QStringLiteral("Урок %1%2")
        .arg(lessonDay().toString(QStringLiteral("dd.MM.yyyy")),
             topic.isEmpty() ? QString() : QStringLiteral(" — ") + topic);
}

QStringList ResultsWindow::topics() const
{
    const QString topic = m_topic->currentData().toString();
    return topic.isEmpty() ? m_table.topics() : QStringList{topic};
}

QString ResultsWindow::report() const
{
    const QString topic = m_topic->currentData().toString();
    return RunReport::table(m_table, RunReport::tableTitle(m_table, topics(), m_feed->folder().folder()), topics(),
                            m_feed->topics().questions, m_feed->folder().ownersNote());
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
