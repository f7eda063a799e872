#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <memory>

enum class Separator { SameLine, NextZone, NewLine };

struct PrintItem
{
    QString text;
    quint32 color = 0;
    qreal size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    qreal x = 0;            // left edge in pixels
    bool zoneAfter = false; // the next item starts at the next print zone
};

struct PrintLine
{
    qreal y = 0; // top edge in pixels
    QVector<PrintItem> items;
};

// The window's font and colour for the next print.
struct PrintState
{
    quint32 color = 0;
    qreal size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const PrintState &o) const
    {
        return color == o.color && size == o.size && bold == o.bold && italic == o.italic && underline == o.underline;
    }
};

// What has been printed on a window, kept as lines of items so that the text
// can be painted again at any time and read back by tests. It also holds the
// window's print state: colour, font and the print position.
class PrintModel
{
public:
    // Lines beyond this count are far below any screen; they are not kept.
    static constexpr int MaxLines = 5000;

    PrintModel();

    void setFamily(const QString &family);
    QString family() const { return m_family; }

    quint32 foreColor() const { return m_color; }
    void setForeColor(quint32 color) { m_color = color; }
    qreal fontSize() const { return m_size; }
    void setFontSize(qreal size) { m_size = size; }
    bool fontBold() const { return m_bold; }
    void setFontBold(bool on) { m_bold = on; }
    bool fontItalic() const { return m_italic; }
    void setFontItalic(bool on) { m_italic = on; }
    bool fontUnderline() const { return m_underline; }
    void setFontUnderline(bool on) { m_underline = on; }
    PrintState state() const { return {m_color, m_size, m_bold, m_italic, m_underline}; }
    void setState(const PrintState &state);

    void clear();
    void print(const QString &text, Separator separator);
    void endLine();

    const QVector<PrintLine> &lines() const { return m_lines; }
    // How far to the right and down the printed text reaches, in pixels.
    QSizeF extent() const { return m_extent; }
    // The top of the line the next print starts, in pixels.
    qreal nextY() const { return m_y; }

    QStringList lineTexts() const;
    QVariantList itemMaps() const;

    QFont fontOf(const PrintItem &item) const;
    qreal zoneWidth() const;

private:
    struct Metrics
    {
        QFontMetricsF metrics;
        QHash<QString, qreal> advances; // the same numbers are printed again and again
    };
    // Of the current font, kept per size, bold and italic.
    Metrics &currentMetrics() const;
    qreal advance(const QString &text) const;

    QString m_family;
    quint32 m_color = 0;
    qreal m_size = 8.25;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;

    QVector<PrintLine> m_lines;
    bool m_lineOpen = false;
    qreal m_x = 0;
    qreal m_y = 0;
    QSizeF m_extent;

    mutable QHash<quint64, std::shared_ptr<Metrics>> m_metrics;
};
