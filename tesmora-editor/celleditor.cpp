#include "celleditor.h"

#include "tabletext.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

CellEditor::CellEditor(QWidget *parent)
    : QLineEdit(parent)
{}

QString CellEditor::pastedLines()
{
    const QString text = QGuiApplication::clipboard()->text();
    return TableText::looksLikeRows(text) ? text : QString();
}

void CellEditor::handOut(const QString &lines)
{
    // Once the key or the menu's item is done with: the window asks in a
    // dialog of its own, and this line is closed and deleted meanwhile.
    QTimer::singleShot(0, this, [this, lines] { emit linesPasted(lines); });
}

void CellEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (const QString lines = pastedLines(); !lines.isEmpty()) {
            event->accept();
            handOut(lines);
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
    // Qt names the paste item by its icon's name on some versions only: its
    // text, as translated here, tells it on all.
    const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction *action : menu->actions()) {
        const bool isPaste = action->objectName() == QLatin1String("edit-paste")
            || action->text().section(QLatin1Char('\t'), 0, 0) == paste;
        if (!lines.isEmpty() && isPaste) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, lines] { handOut(lines); });
        }
    }
    menu->popup(event->globalPos());
}
