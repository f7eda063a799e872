#pragma once

#include "lessontable.h"
#include "resultfeed.h"
#include "resulttable.h"
#include "topiccatalog.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>

class GradeChart;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableWidget;
class QTableView;
class ResultsModel;

// The teacher's results: every record of the results folder, newest first,
// filtered by topic, pupil, mode and date and sorted by any column, with the
// grades charted, the questions
// most missed and an export to CSV. New records appear by themselves: the
// folder is read again every few seconds, since a file server's changes reach
// no change watch. The folder is listed and read on worker threads, a few
// hundred records at a time, so the window shows at once, fills in as they
// come and never waits for a server that hangs; what was read is cached on
// this computer for the next opening.
class ResultsWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PollMilliseconds = ResultFeed::PollMilliseconds;

    explicit ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent = nullptr);

    const ResultTable &table() const { return m_table; }
    QLabel *status() const { return m_status; }
    QListWidget *missed() const { return m_missed; }
    QTabWidget *tabs() const { return m_tabs; }
    QTableWidget *lesson() const { return m_lesson; }
    QListWidget *working() const { return m_working; }
    // The day the lesson view shows: the "С" date when one is set, else today.
    QDate lessonDay() const;
    static constexpr int MaxNameWidth = 150; // pixels, for a pupil's, a topic's or a mode's name

    // Looks at the folder for new records now, as the poll does, unless a
    // look is under way; the rows follow when it ends.
    void refresh();
    // Whether a look at the folder is under way, until every row is shown.
    bool reading() const { return m_feed->reading(); }
    // Reads the class topics again now, as every tenth poll does.
    void lookAtTopics();
    // Whether anything at all is under way, the check of cached rows and
    // the look at the topics too.
    bool busy() const { return m_feed->busy() || m_restPending; }
    // The rows shown, the grades and the questions most missed, for paper.
    QString report() const;
    // The lesson view for paper: the pupils' rows and who works now.
    QString lessonReport() const;
    QString lessonTitle() const;
    // The topic chosen, or every topic of the records.
    QStringList topics() const;
    // Writes the rows shown to path on a worker thread; exported() tells
    // how it ended.
    void exportTo(const QString &path, ResultTable::CsvStyle style);
    static QString writeFile(const QString &path, const QByteArray &bytes);

signals:
    // error is empty when the file was written.
    void exported(const QString &path, const QString &error);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showAll();
    void showStatus();
    void showUnreadable();
    void buildFilters(QWidget *bar);
    void filterChanged();
    void showRows();
    void showMisses();
    void showLesson();
    void fillLesson(const QVector<LessonTable::Pupil> &pupils, const QVector<QStringList> &rows);
    QWidget *buildLesson();
    void exportCsv();
    void exportEnded(const QString &path, const QString &error);
    void openRun(const QModelIndex &index);
    void setDays(const QDate &from, const QDate &to);

    ResultFeed *m_feed;
    ResultTable m_table;
    ResultsModel *m_model;
    QSortFilterProxyModel *m_sorted;
    QTableView *m_view;
    QComboBox *m_topic;
    QLineEdit *m_pupil;
    QComboBox *m_mode;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QPushButton *m_export = nullptr;
    bool m_restPending = false; // the chart, the lists and the widths, due in the next turn
    QLabel *m_status;
    GradeChart *m_chart;
    QListWidget *m_missed;
    QTabWidget *m_tabs;
    QTableWidget *m_lesson;
    QVector<QStringList> m_lessonRows; // as the lesson table shows them
    // What they were worked out from: the records as last set, the day, the topic.
    struct LessonKey
    {
        quint64 records = 0;
        QDate day;
        QString topic;
        bool operator==(const LessonKey &o) const { return records == o.records && day == o.day && topic == o.topic; }
    };
    LessonKey m_lessonKey;
    quint64 m_recordsSet = 0; // counts the times the records were set
    QListWidget *m_working;
    bool m_tabDecided = false;
};
