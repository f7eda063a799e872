#include "forms/commandbutton.h"

#include <QEvent>

CommandButton::CommandButton(const QString &name, const QString &caption, QWidget *parent)
    : Control<QPushButton>(parent)
    , m_caption(caption)
{
    setObjectName(name);
    setText(caption);
    setAccessibleName(caption);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

void CommandButton::setValue(bool value)
{
    if (value)
        emit Click();
}

void CommandButton::changeEvent(QEvent *event)
{
    Control<QPushButton>::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitCaption();
}

void CommandButton::fitCaption()
{
    const QFontMetrics metrics(font());
    const int room = width() - 8; // the frame and a little air on each side
    QString shown = m_caption;
    if (metrics.horizontalAdvance(m_caption) > room) {
        int best = -1;
        int bestWidth = 0;
        for (int at = int(m_caption.indexOf(QLatin1Char(' '))); at > 0;
             at = int(m_caption.indexOf(QLatin1Char(' '), at + 1))) {
            const int wider
                = qMax(metrics.horizontalAdvance(m_caption.left(at)), metrics.horizontalAdvance(m_caption.mid(at + 1)));
            if (best < 0 || wider < bestWidth) {
                best = at;
                bestWidth = wider;
            }
        }
        if (best > 0)
            shown = m_caption.left(best) + QLatin1Char('\n') + m_caption.mid(best + 1);
    }
    if (text() != shown)
        setText(shown);
}
