#include "core/sequentialfile.h"

#include "core/textdecoder.h"

#include <QFile>
#include <QFileInfo>

SequentialFile::Status SequentialFile::open(const QString &path)
{
    close();
    const QFileInfo info(path);
    if (!info.exists()) {
        m_status = Status::Missing;
        return m_status;
    }
    if (!info.isFile()) {
        m_status = Status::NotAFile;
        return m_status;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_status = Status::Unreadable;
        return m_status;
    }
    // Read in pieces: asking for the whole limit at once would set aside
    // a megabyte for every small topic file.
    QByteArray bytes;
    while (bytes.size() <= MaxBytes) {
        const QByteArray piece = file.read(qMin<qint64>(qint64(64) * 1024, MaxBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    m_truncated = cutToLimit(bytes, MaxBytes);
    if (file.error() != QFileDevice::NoError) {
        m_status = Status::Unreadable;
        return m_status;
    }
    const bool truncated = m_truncated;
    openBytes(bytes);
    m_truncated = truncated;
    return m_status;
}

bool SequentialFile::cutToLimit(QByteArray &bytes, qint64 limit)
{
    if (bytes.size() <= limit)
        return false;
    bytes.truncate(limit);
    // Do not cut a UTF-8 sequence in two: that would make the file look like
    // another encoding. An unfinished sequence at the end is dropped whole.
    qsizetype lead = bytes.size();
    int continuation = 0;
    while (lead > 0 && continuation < 3 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++continuation;
    }
    if (lead > 0) {
        const auto first = static_cast<unsigned char>(bytes[lead - 1]);
        const int length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        if (length > 1 && continuation + 1 < length)
            bytes.truncate(lead - 1);
    }
    return true;
}

void SequentialFile::openBytes(const QByteArray &bytes)
{
    close();
    m_text = TextDecoder::decode(bytes);
    m_status = Status::Open;
}

void SequentialFile::close()
{
    m_text.clear();
    m_pos = 0;
    m_line = 0;
    m_fieldLine = 0;
    m_fieldCut = false;
    m_truncated = false;
    m_status = Status::Closed;
}

bool SequentialFile::atEnd() const
{
    return m_status != Status::Open || m_pos >= m_text.size();
}

bool SequentialFile::isLineEnd(int pos) const
{
    const QChar c = m_text[pos];
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

void SequentialFile::skipLineEnd()
{
    ++m_line;
    if (m_text[m_pos] == QLatin1Char('\r') && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == QLatin1Char('\n'))
        m_pos += 2;
    else
        m_pos += 1;
}

QString SequentialFile::readField()
{
    if (atEnd())
        return QString();
    const int size = int(m_text.size());
    while (m_pos < size && (m_text[m_pos] == QLatin1Char(' ') || m_text[m_pos] == QLatin1Char('\t')))
        ++m_pos;

    m_fieldLine = m_line;
    QString field;
    if (m_pos < size && m_text[m_pos] == QLatin1Char('"')) {
        // A quoted field runs to the closing quote; an unbalanced quote ends at
        // the line end, so one slip does not swallow the rest of the file.
        const int start = ++m_pos;
        while (m_pos < size && m_text[m_pos] != QLatin1Char('"') && !isLineEnd(m_pos))
            ++m_pos;
        m_fieldCut = m_pos - start > MaxFieldLength;
        field = m_text.mid(start, qMin(m_pos - start, MaxFieldLength));
        if (m_pos < size && m_text[m_pos] == QLatin1Char('"'))
            ++m_pos;
        // Whatever stands between the closing quote and the separator is dropped.
        while (m_pos < size && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_pos))
            ++m_pos;
    } else {
        const int start = m_pos;
        while (m_pos < size && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_pos))
            ++m_pos;
        int end = m_pos;
        while (end > start && (m_text[end - 1] == QLatin1Char(' ') || m_text[end - 1] == QLatin1Char('\t')))
            --end;
        m_fieldCut = end - start > MaxFieldLength;
        field = m_text.mid(start, qMin(end - start, MaxFieldLength));
    }

    if (m_pos < size) {
        if (m_text[m_pos] == QLatin1Char(','))
            ++m_pos;
        else
            skipLineEnd();
    }
    return field;
}
