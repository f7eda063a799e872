#pragma once

#include "labform.h"
#include "manualclock.h"
#include "scriptedinput.h"

#include <QStringList>

#include <memory>

class CommandButton;

constexpr quint32 kMark = LabForm::MarkColor;
constexpr quint32 kPlain = LabForm::PlainColor;

// A lab window with a standing clock, scripted dialog replies, a fixed random
// seed and its timer stopped.
class LabFixture
{
public:
    enum class Lab { Doloran, Pelmar };

    explicit LabFixture(Lab lab);

    LabForm &form() { return *m_form; }
    ScriptedInput &input() { return m_input; }

    void click(const char *button);
    void clickWindow();
    // Press, release, press, release, delivered as the window system does.
    void doubleClickWindow();
    // Size input through the real dialog, with both replies accepted.
    void setSizes(int m, int n);
    // Fills through the real button, then puts known values in: element k of
    // the linear array is values[k - 1]; table cell (i, j) is 100 * i + j.
    void fillLinear(const QVector<int> &values);
    void fillTable(int m, int n);

    QStringList printed() const;
    // Colour of every number item on a printed line, in order.
    QList<quint32> colours(int line) const;
    QString enabledButtons() const; // names of the enabled buttons, sorted
    CommandButton *button(const char *name) const;

    // A printed line of numbers, each with its blanks.
    static QString numbers(const QVector<int> &values);

private:
    ManualClock m_clock;
    ScriptedInput m_input;
    std::unique_ptr<LabForm> m_form;
};
