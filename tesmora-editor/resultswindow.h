#pragma once

#include "resultfolder.h"
#include "resulttable.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>

class GradeChart;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QTableView;
class ResultsModel;

// The teacher's results: every record of the results folder, newest first,
// filtered by topic, mode and date, with the grades charted, the questions
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

    explicit ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent = nullptr);

    const ResultTable &table() const { return m_table; }
    QLabel *status() const { return m_status; }
    QListWidget *missed() const { return m_missed; }
    static constexpr int RecordsPerRead = 250;
    static constexpr int ParallelReads = 2;
    static constexpr int ShowEveryMilliseconds = 1000;

    // Looks at the folder for new records now, as the poll does, unless a
    // look is under way; the rows follow when it ends.
    void refresh();
    // Whether a look at the folder is under way, until every row is shown.
    bool reading() const { return m_reading; }
    // Whether anything at all is under way, the check of cached rows too.
    bool busy() const { return m_reading || m_inFlight > 0; }
    bool exportTo(const QString &path, QString *error = nullptr);

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
    void exportCsv();

    ResultFolder m_folder;
    QString m_classTopics;
    ResultTable m_table;
    ResultsModel *m_model;
    QTableView *m_view;
    QComboBox *m_topic;
    QComboBox *m_mode;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QLabel *m_status;
    GradeChart *m_chart;
    QListWidget *m_missed;
    QTimer m_poll;
    QString m_cachePath;
    ResultFolder::Cache m_cache;
    QFutureWatcher<ResultFolder::Cache> m_cacheLoad;
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
