#pragma once

#include <QLineEdit>

// A cell's line: a text of several lines pasted into it (17 questions copied
// from a spreadsheet) is not run into one entry but handed out for the
// window to offer as rows.
class CellEditor : public QLineEdit
{
    Q_OBJECT

public:
    explicit CellEditor(QWidget *parent = nullptr);

signals:
    void linesPasted(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void handOut(const QString &lines);
    // The clipboard's text when it holds more than one line.
    static QString pastedLines();
};
