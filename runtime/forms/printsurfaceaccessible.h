#pragma once

#include <QAccessibleWidget>

class PrintSurface;

// Lets a screen reader read what a program printed: the print surface is
// static text whose text is its printed lines, one per line.
class PrintSurfaceAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit PrintSurfaceAccessible(PrintSurface *surface);

    static QAccessibleInterface *factory(const QString &className, QObject *object);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;

    // QAccessibleTextInterface: read-only text without a caret or selection.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    QString printed() const;
};
