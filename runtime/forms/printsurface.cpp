#include "forms/printsurface.h"

#include "print/colorvalue.h"

#include <QMouseEvent>
#include <QPainter>

PrintSurface::PrintSurface(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("printSurface"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PrintSurface::setBackColor(quint32 color)
{
    m_backColor = color;
    update();
}

void PrintSurface::setPicture(QImage picture)
{
    // Three bytes a pixel hold a 24-bit picture whole and cost a quarter less
    // than the four of a pixmap; the painter reads them as they are.
    picture.convertTo(QImage::Format_RGB888);
    m_picture = std::move(picture);
    update();
}

void PrintSurface::setZoom(qreal zoom)
{
    m_zoom = zoom;
    update();
}

void PrintSurface::setOffset(QPoint offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    update();
}

QSize PrintSurface::drawnSize() const
{
    const QSizeF print = m_model.extent().expandedTo(QSizeF(m_picture.size()));
    return (print * m_zoom).toSize();
}

void PrintSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), ColorValue::toColor(m_backColor));
    painter.translate(-m_offset);
    painter.scale(m_zoom, m_zoom);
    if (!m_picture.isNull())
        painter.drawImage(0, 0, m_picture);

    const qreal bottom = (event->rect().bottom() + 1 + m_offset.y()) / m_zoom;
    QFont lastFont;
    bool haveFont = false;
    qreal ascent = 0;
    for (const PrintLine &line : m_model.lines()) {
        if (line.y > bottom)
            break;
        const auto &items = line.items;
        // Items printed one after another in the same font and colour are
        // drawn as one run: a row of a table is then a single text.
        for (int first = 0; first < items.size();) {
            int last = first;
            QString run = items[first].text;
            while (last + 1 < items.size() && !items[last].zoneAfter && items[last + 1].color == items[first].color
                   && items[last + 1].size == items[first].size && items[last + 1].bold == items[first].bold
                   && items[last + 1].italic == items[first].italic
                   && items[last + 1].underline == items[first].underline) {
                run += items[++last].text;
            }
            if (!run.isEmpty()) {
                const QFont font = m_model.fontOf(items[first]);
                if (!haveFont || font != lastFont) {
                    painter.setFont(font);
                    ascent = painter.fontMetrics().ascent();
                    lastFont = font;
                    haveFont = true;
                }
                painter.setPen(ColorValue::toColor(items[first].color));
                painter.drawText(QPointF(items[first].x, line.y + ascent), run);
            }
            first = last + 1;
        }
    }
}

void PrintSurface::mousePressEvent(QMouseEvent *event)
{
    m_secondPress = false;
    QWidget::mousePressEvent(event);
}

// A double-click is press, release (Click), second press (DblClick) and a
// second release that raises nothing.
void PrintSurface::mouseReleaseEvent(QMouseEvent *event)
{
    const bool endsDoubleClick = m_secondPress;
    m_secondPress = false;
    if (event->button() == Qt::LeftButton && !endsDoubleClick && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void PrintSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Not passed on: QWidget would take it for a plain press.
    event->accept();
    if (event->button() == Qt::LeftButton) {
        m_secondPress = true;
        emit doubleClicked();
    }
}
