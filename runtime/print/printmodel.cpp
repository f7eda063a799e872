#include "print/printmodel.h"

#include "print/textfont.h"

#include <QVariantMap>

#include <cmath>

namespace {
constexpr int kZoneChars = 14;
}

PrintModel::PrintModel()
    : m_family(QFont().family())
{}

void PrintModel::setFamily(const QString &family)
{
    m_family = family;
    m_metrics.clear();
}

void PrintModel::setState(const PrintState &state)
{
    m_color = state.color;
    m_size = state.size;
    m_bold = state.bold;
    m_italic = state.italic;
    m_underline = state.underline;
}

void PrintModel::clear()
{
    m_lines.clear();
    m_lineOpen = false;
    m_x = 0;
    m_y = 0;
    m_extent = QSizeF();
}

void PrintModel::print(const QString &text, Separator separator)
{
    if (!m_lineOpen) {
        if (m_lines.size() >= MaxLines)
            return;
        m_lines.append(PrintLine{m_y, {}});
        m_lineOpen = true;
    }
    PrintItem item;
    item.text = text;
    item.color = m_color;
    item.size = m_size;
    item.bold = m_bold;
    item.italic = m_italic;
    item.underline = m_underline;
    item.x = m_x;
    m_x += advance(text);
    m_extent = m_extent.expandedTo(QSizeF(m_x, m_y + currentMetrics().metrics.height()));
    switch (separator) {
    case Separator::SameLine:
        m_lines.last().items.append(item);
        break;
    case Separator::NextZone: {
        item.zoneAfter = true;
        m_lines.last().items.append(item);
        const qreal zone = zoneWidth();
        m_x = (std::floor(m_x / zone) + 1) * zone;
        break;
    }
    case Separator::NewLine:
        m_lines.last().items.append(item);
        endLine();
        break;
    }
}

void PrintModel::endLine()
{
    if (!m_lineOpen) {
        if (m_lines.size() >= MaxLines)
            return;
        m_lines.append(PrintLine{m_y, {}});
    }
    m_lineOpen = false;
    m_x = 0;
    m_y += currentMetrics().metrics.height();
}

QStringList PrintModel::lineTexts() const
{
    QStringList texts;
    texts.reserve(m_lines.size());
    for (const PrintLine &line : m_lines) {
        QString text;
        for (const PrintItem &item : line.items) {
            text += item.text;
            if (item.zoneAfter)
                text += QLatin1Char('\t');
        }
        texts.append(text);
    }
    return texts;
}

QVariantList PrintModel::itemMaps() const
{
    QVariantList maps;
    for (int l = 0; l < m_lines.size(); ++l) {
        for (const PrintItem &item : m_lines[l].items) {
            QVariantMap map;
            map.insert(QStringLiteral("line"), l);
            map.insert(QStringLiteral("text"), item.text);
            map.insert(QStringLiteral("color"), item.color);
            map.insert(QStringLiteral("size"), item.size);
            map.insert(QStringLiteral("bold"), item.bold);
            map.insert(QStringLiteral("italic"), item.italic);
            map.insert(QStringLiteral("underline"), item.underline);
            maps.append(map);
        }
    }
    return maps;
}

QFont PrintModel::fontOf(const PrintItem &item) const
{
    QFont f = TextFont::make(m_family, item.size, item.bold ? QFont::Bold : QFont::Normal,
                             item.italic ? QFont::StyleItalic : QFont::StyleNormal);
    f.setUnderline(item.underline);
    return f;
}

qreal PrintModel::zoneWidth() const
{
    const qreal width = kZoneChars * currentMetrics().metrics.averageCharWidth();
    return width > 0 ? width : kZoneChars;
}

PrintModel::Metrics &PrintModel::currentMetrics() const
{
    const quint64 key = (quint64(std::llround(m_size * 100)) << 2) | (m_bold ? 1u : 0u) | (m_italic ? 2u : 0u);
    auto it = m_metrics.find(key);
    if (it == m_metrics.end()) {
        const QFont f = TextFont::make(m_family, m_size, m_bold ? QFont::Bold : QFont::Normal,
                                       m_italic ? QFont::StyleItalic : QFont::StyleNormal);
        it = m_metrics.insert(key, std::make_shared<Metrics>(Metrics{QFontMetricsF(f), {}}));
    }
    return *it.value();
}

qreal PrintModel::advance(const QString &text) const
{
    Metrics &m = currentMetrics();
    auto it = m.advances.constFind(text);
    if (it != m.advances.constEnd())
        return it.value();
    const qreal width = m.metrics.horizontalAdvance(text);
    if (m.advances.size() < 4096 && text.size() < 64)
        m.advances.insert(text, width);
    return width;
}
