#include "celleditor.h"

#include "tabletext.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

CellEditor::CellEditor(QWidget *parent)
    : QLineEdit(parent)
{}

QString CellEditor::pastedLines()
{
    const QString text = QGuiApplication::clipboard()->text();
    return TableText::looksLikeRows(text) ? text : QString();
}

void CellEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (const QString lines = pastedLines(); !lines.isEmpty()) {
            event->accept();
            emit linesPasted(lines);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CellEditor::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString lines = pastedLines();
    for (QAction *action : menu->actions()) {
        if (!lines.isEmpty() && action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, lines] { emit linesPasted(lines); });
        }
    }
    menu->popup(event->globalPos());
}
