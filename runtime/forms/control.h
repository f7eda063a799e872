#pragma once

#include "print/colorvalue.h"
#include "print/textfont.h"
#include "print/twips.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QListView>
#include <QPalette>
#include <QShowEvent>
#include <QWidget>

#include <algorithm>
#include <type_traits>

// What every control of a window shares: a place and size in twips that reads
// back exactly as it was set (negative positions included), visibility,
// colours and the font of its caption or rows.
template <class Widget>
class Control : public Widget
{
public:
    explicit Control(QWidget *parent = nullptr)
        : Widget(parent)
    {}

    void Move(int left, int top, int width, int height)
    {
        m_left = left;
        m_top = top;
        m_width = width;
        m_height = height;
        place();
    }

    int Left() const { return m_left; }
    void setLeft(int left)
    {
        m_left = left;
        place();
    }
    int Top() const { return m_top; }
    void setTop(int top)
    {
        m_top = top;
        place();
    }
    int Height() const { return m_height; }
    void setHeight(int height)
    {
        m_height = height;
        place();
    }

    bool Visible() const { return !this->isHidden(); }
    bool Enabled() const { return this->isEnabled(); }

    // Brings the control in front of its siblings.
    void ZOrder() { this->raise(); }

    void setForeColor(quint32 color)
    {
        m_foreColor = color;
        QPalette palette = this->palette();
        const QColor c = ColorValue::toColor(color);
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::WindowText, c);
            palette.setColor(group, QPalette::Text, c);
            palette.setColor(group, QPalette::ButtonText, c);
        }
        this->setPalette(palette);
    }
    quint32 ForeColor() const { return m_foreColor; }

    void setBackColor(quint32 color)
    {
        QPalette palette = this->palette();
        const QColor c = ColorValue::toColor(color);
        palette.setColor(QPalette::Window, c);
        palette.setColor(QPalette::Button, c);
        // Only the rows of a list sit on the base colour; option buttons keep
        // theirs so that their circles stay visible on a dark window.
        if constexpr (std::is_base_of_v<QAbstractScrollArea, Widget>)
            palette.setColor(QPalette::Base, c);
        this->setPalette(palette);
        this->setAutoFillBackground(true);
    }

    void setFontSpec(const QString &family, qreal size, bool bold = false)
    {
        this->setFont(TextFont::make(family, size, bold ? QFont::Bold : QFont::Normal));
        place();
    }
    qreal FontSize() const { return this->font().pointSizeF(); }
    void setFontSize(qreal size)
    {
        QFont font = this->font();
        font.setPointSizeF(size);
        this->setFont(font);
        place();
    }
    bool FontBold() const { return this->font().bold(); }
    void setFontBold(bool bold)
    {
        QFont font = this->font();
        font.setBold(bold);
        this->setFont(font);
    }

protected:
    // Called whenever the control got a new place or size.
    virtual void placed() {}

    // Enter presses a button, ticks a box or chooses an option, as Space does.
    void keyPressEvent(QKeyEvent *event) override
    {
        if constexpr (std::is_base_of_v<QAbstractButton, Widget>) {
            if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && this->isEnabled()) {
                this->click();
                return;
            }
        }
        Widget::keyPressEvent(event);
    }

    void showEvent(QShowEvent *event) override
    {
        if constexpr (std::is_base_of_v<QListView, Widget>)
            place();
        Widget::showEvent(event);
    }

private:
    void place()
    {
        int height = Twips::toPixels(m_height);
        // A list never shows less than one whole row, however low it is set:
        // the pupil can still see and click a row and scroll to the others.
        // A hidden list waits until it is shown: the row height loads its font,
        // which a window whose lists start hidden does not need at start.
        if constexpr (std::is_base_of_v<QListView, Widget>) {
            if (this->isVisible())
                height = std::max(height, this->fontMetrics().height() + 2 * this->frameWidth() + 4);
        }
        this->setGeometry(Twips::toPixels(m_left), Twips::toPixels(m_top), Twips::toPixels(m_width), height);
        placed();
    }

    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    quint32 m_foreColor = 0;
};
