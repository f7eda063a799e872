#include "printsurface.h"

#include "colorvalue.h"

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

void PrintSurface::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void PrintSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), ColorValue::toColor(m_backColor));
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);

    const QRect area = event->rect();
    const qreal bottom = area.bottom() + 1;
    QFont lastFont;
    bool haveFont = false;
    for (const PrintLine &line : m_model.lines()) {
        if (line.y > bottom)
            break;
        for (const PrintItem &item : line.items) {
            if (item.text.isEmpty())
                continue;
            const QFont font = m_model.fontOf(item);
            if (!haveFont || font != lastFont) {
                painter.setFont(font);
                lastFont = font;
                haveFont = true;
            }
            painter.setPen(ColorValue::toColor(item.color));
            const qreal ascent = painter.fontMetrics().ascent();
            painter.drawText(QPointF(item.x, line.y + ascent), item.text);
        }
    }
}

void PrintSurface::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void PrintSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
