#pragma once

#include "form.h"
#include "labdesign.h"
#include "labstate.h"

#include <QHash>

#include <optional>

class CommandButton;
class FormTimer;
class TextBox;

// The window shared by both array labs: the button block kept in the lower
// right corner, the clock box, the size input, the two random arrays with
// their printing, and the minimum and maximum display.
class LabForm : public Form, public LabState
{
    Q_OBJECT

public:
    enum class Extreme { Minimum, Maximum };

    static constexpr quint32 TitleColor = 0xC000C0;
    static constexpr quint32 MarkColor = 255;
    static constexpr quint32 PlainColor = 555555;

    explicit LabForm(const LabDesign &design, QWidget *parent = nullptr);

    CommandButton *button(const QString &name) const { return m_buttons.value(name); }
    const LabDesign &design() const { return m_design; }

    TextBox *Text1;
    FormTimer *Timer1;

    void Timer1_Timer();
    void sizeInput();
    void fillLinear();
    void fillTable();
    void exitLab();

    // Asks until the reply is a whole number not above limit; no value when
    // the pupil cancelled.
    std::optional<qint16> askNumber(const QString &prompt, qint16 limit);
    void printTable();
    void showExtreme(Extreme kind);

    static const QString LinearTitle;
    static const QString TableTitle;

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void clockChanged() override;

    // The buttons each lab offers after a fill.
    virtual void linearFilled() = 0;
    virtual void tableFilled() = 0;

    void showExtremeLinear(Extreme kind, bool showClockAfterTitle);
    void showExtremeTable(Extreme kind);
    qint16 randomElement();
    // Clear the surface and print an array's title in bold, underlined title
    // colour (the table's also in italic), leaving bold on for the numbers.
    void startLinearPrint();
    void startTablePrint();
    // One less, but never below the smallest 16-bit value.
    static qint16 shrink(qint16 size);

private:
    void buildControls();
    void printExtremeSummary(Extreme kind);
    bool beats(qint16 value, Extreme kind) const;

    LabDesign m_design;
    QHash<QString, CommandButton *> m_buttons;
};
