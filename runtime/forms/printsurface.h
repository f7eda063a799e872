#pragma once

#include "print/printmodel.h"

#include <QImage>
#include <QWidget>

// The window's own drawing area: paints the background, an optional picture at
// the top-left corner and everything printed so far. What was printed lives in
// the model, so it survives covering, resizing and repaints, and any Qt-aware
// tool can read it through the lines and items properties.
class PrintSurface : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList lines READ lines)
    Q_PROPERTY(QVariantList items READ items)

public:
    explicit PrintSurface(QWidget *parent = nullptr);

    PrintModel &model() { return m_model; }
    const PrintModel &model() const { return m_model; }

    QStringList lines() const { return m_model.lineTexts(); }
    QVariantList items() const { return m_model.itemMaps(); }

    void setBackColor(quint32 color);
    void setPicture(QImage picture);
    // Draws everything larger, for a projector; what was printed stays as it is.
    void setZoom(qreal zoom);
    qreal zoom() const { return m_zoom; }
    // Where a zoomed print larger than the surface is scrolled to, in pixels.
    void setOffset(QPoint offset);
    QPoint offset() const { return m_offset; }
    // The print's size as drawn at the zoom, in pixels.
    QSize drawnSize() const;

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    PrintModel m_model;
    quint32 m_backColor = 0x00FFFFFF;
    qreal m_zoom = 1;
    QPoint m_offset;
    QImage m_picture;
    bool m_secondPress = false; // the press that made a double-click
};
