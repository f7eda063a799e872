#pragma once

#include "steps/arrayinput.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class RandomSource;

// The teacher's own array: the linear array or the table, drawn to a
// pattern or typed in. Typed values that are not good are refused with a
// message, and the dialog stays open for them to be mended.
class OwnArrayDialog : public QDialog
{
    Q_OBJECT

public:
    // m columns (the linear array's length) and n rows, as the lab has them.
    OwnArrayDialog(int m, int n, RandomSource &random, QWidget *parent = nullptr);

    bool table() const;
    const QVector<qint16> &values() const { return m_values; }
    QString refusal() const;

    void accept() override;

private:
    int count() const;
    void update();

    int m_m;
    int m_n;
    RandomSource &m_random;
    QVector<qint16> m_values;
    QRadioButton *m_linear;
    QRadioButton *m_table;
    QButtonGroup *m_patterns;
    QPlainTextEdit *m_typed;
    QLabel *m_need;
    QLabel *m_refusal;
};
