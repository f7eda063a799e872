#pragma once

#include "resultfolder.h"
#include "resulttable.h"
#include "topiccatalog.h"

#include <QElapsedTimer>
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
    static constexpr int PollMilliseconds = 3000;
    // The class topics (their versions, their questions) are read again
    // every this many polls, so that a topic corrected meanwhile is known.
    static constexpr int PollsPerTopicsLook = 10;

    // What the window needs of the topics: each class topic's versions, and
    // the questions of every topic it can find, by name.
    struct Topics
    {
        QHash<QString, TopicCatalog::Versions> versions;
        QHash<QString, QStringList> questions;
    };
    static Topics readTopics(const QString &classTopics);

    explicit ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent = nullptr);

    const ResultTable &table() const { return m_table; }
    QLabel *status() const { return m_status; }
    QListWidget *missed() const { return m_missed; }
    QTabWidget *tabs() const { return m_tabs; }
    QTableWidget *lesson() const { return m_lesson; }
    QListWidget *working() const { return m_working; }
    // The day the lesson view shows: the "С" date when one is set, else today.
    QDate lessonDay() const;
    static constexpr int RecordsPerRead = 250;
    static constexpr int ParallelReads = 2;
    static constexpr int ShowEveryMilliseconds = 1000;
    static constexpr int MaxNameWidth = 150; // pixels, for a pupil's, a topic's or a mode's name

    // Looks at the folder for new records now, as the poll does, unless a
    // look is under way; the rows follow when it ends.
    void refresh();
    // Whether a look at the folder is under way, until every row is shown.
    bool reading() const { return m_reading; }
    // Reads the class topics again now, as every tenth poll does.
    void lookAtTopics();
    // Whether anything at all is under way, the check of cached rows and
    // the look at the topics too.
    bool busy() const
    {
        return m_reading || m_inFlight > 0 || m_lookingAtTopics || m_restPending || m_saving.isRunning();
    }
    // The rows shown, the grades and the questions most missed, for paper.
    QString report() const;
    // The lesson view for paper: the pupils' rows and who works now.
    QString lessonReport() const;
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
    void listed();
    void readNext();
    void chunkRead(const QVector<ResultFolder::Read> &reads);
    void showAll();
    void showStatus();
    void showUnreadable();
    void buildFilters(QWidget *bar);
    void filterChanged();
    void showRows();
    void showMisses();
    void showLesson();
    QWidget *buildLesson();
    void exportCsv();
    void exportEnded(const QString &path, const QString &error);
    void openRun(const QModelIndex &index);
    void setDays(const QDate &from, const QDate &to);

    ResultFolder m_folder;
    QString m_classTopics;
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
    Topics m_topics;
    QFutureWatcher<Topics> m_topicsLook;
    int m_pollsSinceTopics = 0;
    bool m_lookingAtTopics = false; // until what the look found is taken in
    bool m_restPending = false;     // the chart, the lists and the widths, due in the next turn
    QLabel *m_status;
    GradeChart *m_chart;
    QListWidget *m_missed;
    QTabWidget *m_tabs;
    QTableWidget *m_lesson;
    QListWidget *m_working;
    QVector<PupilStatus> m_pupils; // the status files last read
    bool m_tabDecided = false;
    QTimer m_poll;
    QString m_cachePath;
    ResultFolder::Cache m_cache;
    ResultFolder::Cache m_known; // what a look passes its reads
    QFutureWatcher<ResultFolder::Cache> m_cacheLoad;
    QFutureWatcher<std::optional<QStringList>> m_saving;
    QFutureWatcher<ResultFolder::Listing> m_listing;
    int m_inFlight = 0;
    QElapsedTimer m_lastShown;
    bool m_unshown = false; // read but not yet shown
    QStringList m_toRead;
    QStringList m_toVerify; // names shown from the cache, to check
    int m_total = 0;        // names to read in this look
    int m_done = 0;
    bool m_reading = false;
    bool m_cacheStale = false;
};
