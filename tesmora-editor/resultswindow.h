#pragma once

#include "resultfolder.h"
#include "resulttable.h"

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
// no change watch.
class ResultsWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PollMilliseconds = 3000;

    explicit ResultsWindow(const QString &folder, const QString &classTopics, QWidget *parent = nullptr);

    const ResultTable &table() const { return m_table; }
    QLabel *status() const { return m_status; }
    QListWidget *missed() const { return m_missed; }
    // Reads the folder for new records now, as the poll does.
    void refresh();
    bool exportTo(const QString &path);

private:
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
    bool m_shownOnce = false;
};
