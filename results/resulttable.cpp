#include "resulttable.h"

#include "safetext.h"

#include <QLocale>
#include <QSet>

#include <algorithm>

const QStringList ResultTable::Header
    = {QStringLiteral("дата"),      QStringLiteral("время"),   QStringLiteral("логин"),  QStringLiteral("имя"),
       QStringLiteral("компьютер"), QStringLiteral("тема"),    QStringLiteral("режим"),  QStringLiteral("совпадения"),
       QStringLiteral("ошибки"),    QStringLiteral("процент"), QStringLiteral("оценка"), QStringLiteral("внимание")};

void ResultTable::setEntries(const QVector<ResultFolder::Entry> &entries)
{
    m_all = entries;
    apply();
}

void ResultTable::setFilter(const Filter &filter)
{
    m_filter = filter;
    apply();
}

bool ResultTable::passes(const ResultRecord &record) const
{
    if ((!m_filter.topic.isEmpty() && record.topic != m_filter.topic)
        || (m_filter.mode && record.mode != *m_filter.mode))
        return false;
    if (!m_filter.pupil.isEmpty() && !record.name.contains(m_filter.pupil, Qt::CaseInsensitive)
        && !record.user.contains(m_filter.pupil, Qt::CaseInsensitive))
        return false;
    if (m_filter.from.isNull() && m_filter.to.isNull())
        return true; // the local date costs a time zone look-up: only when asked
    const QDate day = record.finished.toLocalTime().date();
    return (m_filter.from.isNull() || day >= m_filter.from) && (m_filter.to.isNull() || day <= m_filter.to);
}

void ResultTable::apply()
{
    if (m_filter.topic.isEmpty() && m_filter.pupil.isEmpty() && !m_filter.mode && m_filter.from.isNull()
        && m_filter.to.isNull()) {
        m_shown = m_all; // shared, not copied
        return;
    }
    m_shown.clear();
    for (const ResultFolder::Entry &entry : std::as_const(m_all)) {
        if (passes(entry.record))
            m_shown.append(entry);
    }
}

QStringList ResultTable::topics() const
{
    QSet<QString> names;
    for (const ResultFolder::Entry &entry : m_all)
        names.insert(entry.record.topic);
    QStringList list(names.cbegin(), names.cend());
    std::sort(list.begin(), list.end());
    return list;
}

QStringList ResultTable::row(const ResultFolder::Entry &entry)
{
    const ResultRecord &r = entry.record;
    const QDateTime local = r.finished.toLocalTime();
    return {local.toString(QStringLiteral("yyyy-MM-dd")),
            local.toString(QStringLiteral("HH:mm:ss")),
            r.user,
            r.name,
            r.host,
            r.topic,
            ResultMode::caption(r.mode),
            r.opening ? QString() : QString::number(r.matches),
            r.opening ? QString() : QString::number(r.errors),
            r.opening ? QString() : percentText(r.percent),
            r.timedOut || r.unfinished ? QString() : r.grade,
            entry.attention};
}

QString ResultTable::percentText(double percent)
{
    // As the Russian locale writes it (a percentage has no thousands), at a
    // fraction of its cost: every cell of ten thousand rows asks.
    return QString::number(percent, 'g', 10).replace(QLatin1Char('.'), QLatin1Char(','));
}

QMap<QString, int> ResultTable::gradeCounts() const
{
    QMap<QString, int> counts;
    for (char grade = '1'; grade <= '5'; ++grade)
        counts.insert(QString(QLatin1Char(grade)), 0);
    // A grade the trainer never gives (a record edited by hand, flagged) is
    // counted as "?", so that no record's text becomes a bar of its own.
    for (const ResultFolder::Entry &entry : m_shown) {
        const ResultRecord &r = entry.record;
        if (r.opening || r.unfinished)
            continue; // an attempt not ended has no grade to count
        const QString grade = r.timedOut || r.grade.isEmpty() ? QStringLiteral("—") : r.grade;
        ++counts[counts.contains(grade) || grade == QStringLiteral("—") ? grade : QStringLiteral("?")];
    }
    return counts;
}

QVector<ResultTable::Miss> ResultTable::misses(const QString &topic) const
{
    QMap<QPair<QString, int>, int> missed; // by text, or by index where there is none
    QHash<QPair<QString, int>, int> index;
    for (const ResultFolder::Entry &entry : m_shown) {
        if (entry.record.topic != topic)
            continue;
        QSet<QPair<QString, int>> questions; // a pupil counts once per question
        for (const ResultRecord::Step &step : entry.record.steps) {
            if (!step.counted || step.right)
                continue;
            const QPair<QString, int> key{step.questionText, step.questionText.isEmpty() ? step.question : -1};
            questions.insert(key);
            if (!index.contains(key))
                index.insert(key, step.question); // as it was first seen
        }
        for (const auto &key : std::as_const(questions))
            ++missed[key];
    }
    QVector<Miss> list;
    for (auto it = missed.cbegin(); it != missed.cend(); ++it)
        list.append({index.value(it.key()), it.key().first, it.value()});
    std::stable_sort(list.begin(), list.end(), [](const Miss &a, const Miss &b) {
        return a.pupils != b.pupils ? a.pupils > b.pupils : a.question < b.question;
    });
    return list;
}

QByteArray ResultTable::csv(CsvStyle style) const
{
    const QChar separator = style == CsvStyle::Russian ? QLatin1Char(';') : QLatin1Char(',');
    const auto field = [separator](const QString &cell) {
        QString text = SafeText::spreadsheetCell(cell);
        if (!text.contains(separator) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
            && !text.contains(QLatin1Char('\r')))
            return text;
        QString quoted = text;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    };
    const auto line = [&field, separator](const QStringList &cells) {
        QStringList out;
        for (const QString &cell : cells)
            out << field(cell);
        return out.join(separator) + QStringLiteral("\r\n");
    };
    QString text = line(Header);
    for (const ResultFolder::Entry &entry : m_shown) {
        QStringList cells = row(entry);
        // RFC 4180 parts fields with commas: its numbers take the point.
        if (style == CsvStyle::Rfc4180)
            cells[Percent].replace(QLatin1Char(','), QLatin1Char('.'));
        text += line(cells);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
