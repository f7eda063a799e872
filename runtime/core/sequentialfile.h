#pragma once

#include <QByteArray>
#include <QString>

// Reads a text file field by field: a field ends at a comma or at a line end
// (CRLF, LF or a lone CR), leading blanks are skipped and a field in double
// quotes keeps its commas and loses its quotes.
//
// Whatever a file holds, the work stays bounded: at most MaxBytes are read and
// a field keeps at most MaxFieldLength characters.
class SequentialFile
{
public:
    enum class Status { Closed, Open, Missing, NotAFile, Unreadable };

    static constexpr qint64 MaxBytes = 1 << 20;
    static constexpr int MaxFieldLength = 2000;

    Status open(const QString &path);
    void openBytes(const QByteArray &bytes);
    void close();

    bool atEnd() const;
    QString readField();

    // Cuts bytes to at most limit without splitting a UTF-8 sequence; true
    // when anything was cut.
    static bool cutToLimit(QByteArray &bytes, qint64 limit);

    // True when the file was longer than MaxBytes and its tail was not read.
    bool truncated() const { return m_truncated; }
    // The line (from 0) on which the last field read began, and whether it
    // was longer than MaxFieldLength and cut.
    int fieldLine() const { return m_fieldLine; }
    bool fieldCut() const { return m_fieldCut; }

private:
    bool isLineEnd(int pos) const;
    void skipLineEnd();

    QString m_text;
    int m_pos = 0;
    int m_line = 0;
    int m_fieldLine = 0;
    bool m_fieldCut = false;
    Status m_status = Status::Closed;
    bool m_truncated = false;
};
