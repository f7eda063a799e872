#include "resultswindow.h"

#include "gradechart.h"
#include "resultsmodel.h"
#include "topiccatalog.h"
#include "topicfile.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

ResultsWindow::ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent)
    : QWidget(parent)
    , m_folder(folder)
    , m_classTopics(classTopics)
    , m_model(new ResultsModel(this))
    , m_view(new QTableView(this))
    , m_status(new QLabel(this))
    , m_chart(new GradeChart(this))
    , m_missed(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Результаты — %1").arg(folder));
    m_folder.setTopicDigests(TopicCatalog::digests(classTopics));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
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
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(split, 1);
    layout->addWidget(m_status);
    resize(1100, 600);

    connect(&m_poll, &QTimer::timeout, this, &ResultsWindow::refresh);
    m_poll.start(PollMilliseconds);
    refresh();
}

void ResultsWindow::buildFilters(QWidget *bar)
{
    m_topic = new QComboBox(bar);
    m_mode = new QComboBox(bar);
    m_from = new QDateEdit(bar);
    m_to = new QDateEdit(bar);
    m_mode->addItem(QStringLiteral("Все режимы"), QVariant());
    for (ResultMode::Value mode : ResultMode::All)
        m_mode->addItem(ResultMode::caption(mode), int(mode));
    // The earliest date stands for "no bound" and shows as a dash.
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setMinimumDate(QDate(2000, 1, 1));
        edit->setSpecialValueText(QStringLiteral("—"));
        edit->setDate(edit->minimumDate());
    }
    auto *exportButton = new QPushButton(QStringLiteral("Сохранить в CSV…"), bar);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto labelled = [bar, layout](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, bar);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
    };
    labelled(QStringLiteral("&Тема:"), m_topic);
    labelled(QStringLiteral("&Режим:"), m_mode);
    labelled(QStringLiteral("&С:"), m_from);
    labelled(QStringLiteral("&По:"), m_to);
    layout->addStretch(1);
    layout->addWidget(exportButton);
    connect(m_topic, &QComboBox::currentIndexChanged, this, &ResultsWindow::filterChanged);
    connect(m_mode, &QComboBox::currentIndexChanged, this, &ResultsWindow::filterChanged);
    connect(m_from, &QDateEdit::dateChanged, this, &ResultsWindow::filterChanged);
    connect(m_to, &QDateEdit::dateChanged, this, &ResultsWindow::filterChanged);
    connect(exportButton, &QPushButton::clicked, this, &ResultsWindow::exportCsv);
}

void ResultsWindow::refresh()
{
    if (!m_folder.refresh()) {
        m_status->setText(m_folder.error());
        return;
    }
    if (!m_folder.changed() && m_shownOnce)
        return; // nothing came or went since the last look
    m_shownOnce = true;
    m_table.setEntries(m_folder.entries());
    const QString current = m_topic->currentData().toString();
    const QSignalBlocker block(m_topic);
    m_topic->clear();
    m_topic->addItem(QStringLiteral("Все темы"), QString());
    for (const QString &topic : m_table.topics())
        m_topic->addItem(topic, topic);
    m_topic->setCurrentIndex(std::max(0, m_topic->findData(current)));
    filterChanged();
}

void ResultsWindow::filterChanged()
{
    ResultTable::Filter filter;
    filter.topic = m_topic->currentData().toString();
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
    m_view->resizeColumnsToContents();
    m_chart->setCounts(m_table.gradeCounts());
    showMisses();
    QString text = QStringLiteral("Записей: %1").arg(m_table.shown().size());
    if (m_folder.unreadable() > 0)
        text += QStringLiteral("; ") + m_folder.unreadableText();
    m_status->setText(text);
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
    // questions are numbered from 0, as the editor's rows are.
    QStringList questions;
    if (const std::optional<TopicCatalog::Topic> found = TopicCatalog::named(topic, m_classTopics)) {
        for (const TopicPair &pair : TopicFile::read(found->folder).pairs)
            questions << pair.question;
    }
    for (const auto &[question, pupils] : m_table.misses(topic)) {
        const QString text = questions.value(question);
        m_missed->addItem(text.isEmpty() ? QStringLiteral("%1 — вопрос %2").arg(pupils).arg(question)
                                         : QStringLiteral("%1 — %2. %3").arg(pupils).arg(question).arg(text));
    }
}

bool ResultsWindow::exportTo(const QString &path)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(m_table.csv()) >= 0 && file.commit();
}

void ResultsWindow::exportCsv()
{
    const QString path
        = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить в CSV"), QStringLiteral("результаты.csv"),
                                       QStringLiteral("Таблица CSV (*.csv)"));
    if (!path.isEmpty() && !exportTo(path))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Не удалось сохранить %1").arg(path));
}
