#include "forms/textbox.h"

TextBox::TextBox(const QString &name, QWidget *parent)
    : Control<QPlainTextEdit>(parent)
{
    setObjectName(name);
    setReadOnly(true);
    setTabChangesFocus(true); // Tab moves on, as from every other control
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TextBox::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    setPlainText(text);
}
