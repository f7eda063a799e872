#pragma once

#include "importedpairs.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Two-column tables as spreadsheets and word processors give them, pasted or
// saved as CSV or tab-separated text: questions in the first column, answers
// in the second.
class TableText
{
public:
    // Fields parted by delimiter, rows by \n, \r\n or \r; a field in double
    // quotes may hold delimiters and line breaks, "" standing for a quote.
    static QVector<QStringList> rows(const QString &text, QChar delimiter);
    // Tab, else ';', else ',', as the first row has them outside quotes.
    static QChar guessDelimiter(const QString &text);
    // More than one line: a paste into one cell that is better offered as rows.
    static bool looksLikeRows(const QString &text);
    // The first two columns as pairs; "Строка N" in skipped counts rows from 1.
    static ImportedPairs pairs(const QVector<QStringList> &rows);
    // UTF-8 with or without a byte-order mark when the bytes are valid UTF-8,
    // UTF-16 with its mark, Windows-1251 otherwise; nothing for a file that is
    // not text at all (a spreadsheet's own .xlsx or .ods, say).
    static std::optional<QString> decodeFile(const QByteArray &bytes, QString *error);
};
