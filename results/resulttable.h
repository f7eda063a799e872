#pragma once

#include "resultfolder.h"

#include <QDate>
#include <QMap>
#include <QStringList>

// The teacher's table of results: the records shown under the filters, their
// columns as the window and the CSV file show them, the grades counted and the
// questions most missed.
class ResultTable
{
public:
    struct Filter
    {
        QString topic;                         // empty: every topic
        QString pupil;                         // part of a name or login, any case; empty: all
        std::optional<ResultMode::Value> mode; // none: every mode
        QDate from;                            // null: no bound
        QDate to;
    };

    // The columns of a row, in the order of Header.
    enum Column { Date, Time, Login, Name, Host, Topic, Mode, Matches, Errors, Percent, Grade, Attention };
    static const QStringList Header;

    void setEntries(const QVector<ResultFolder::Entry> &entries);
    void setFilter(const Filter &filter);

    const QVector<ResultFolder::Entry> &shown() const { return m_shown; }
    const QVector<ResultFolder::Entry> &all() const { return m_all; }
    QStringList topics() const; // every topic of the records, sorted
    // The columns of Header for one record, the percentage with a decimal point.
    // As the teacher reads them: the percentage with a decimal comma.
    static QStringList row(const ResultFolder::Entry &entry);
    // "93,75": a percentage as every window and paper shows it.
    static QString percentText(double percent);

    // Rows shown per grade "1".."5", "—" for time-outs, and "?" for any
    // other grade (where one was written in by hand).
    QMap<QString, int> gradeCounts() const;
    // A question missed: its index and its text as the pupils saw it (empty
    // in a record that did not keep it), and by how many pupils.
    struct Miss
    {
        int question = 0;
        QString text;
        int pupils = 0;
        bool operator==(const Miss &other) const
        {
            return question == other.question && text == other.text && pupils == other.pupils;
        }
    };
    // For the rows shown of one topic: how many pupils missed each question
    // (a counted step that was wrong), most missed first. Questions are told
    // apart by their text where the records keep it, so that records made
    // before the topic was edited count with the question they really asked.
    QVector<Miss> misses(const QString &topic) const;

    // The two forms of CSV: the one a Russian spreadsheet opens by a double
    // click (";" between fields, a decimal comma) and RFC 4180's (",", a
    // decimal point). Both UTF-8 with a byte-order mark, CRLF lines.
    enum class CsvStyle { Russian, Rfc4180 };
    QByteArray csv(CsvStyle style = CsvStyle::Rfc4180) const;

private:
    bool passes(const ResultRecord &record) const;
    void apply();

    QVector<ResultFolder::Entry> m_all;
    QVector<ResultFolder::Entry> m_shown;
    Filter m_filter;
};
