#pragma once

#include <QDialog>

class QPlainTextEdit;

// The whole program of a run, shown to copy or to save and run in the
// language's own environment.
class ProgramDialog : public QDialog
{
    Q_OBJECT

public:
    // suffix: the file ending offered when saving (".pas").
    ProgramDialog(const QString &title, const QString &program, const QString &suffix, QWidget *parent);

    QString program() const;

signals:
    // A save ended; error is empty when the file was written.
    void saved(const QString &path, const QString &error);

private:
    void copy();
    void save();
    void saveTo(const QString &path);

    QPlainTextEdit *m_text;
    QString m_suffix;
};
