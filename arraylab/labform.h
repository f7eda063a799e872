#pragma once

#include "forms/form.h"
#include "labarrays.h"
#include "labdesign.h"

#include <QHash>

#include <array>

#include <optional>

class CommandButton;
class FormTimer;
class TextBox;

// The window shared by both array labs: the button block kept in the lower
// right corner, the clock box, the size input, the two random arrays with
// their printing, and the minimum and maximum display.
class LabForm : public Form
{
    Q_OBJECT

public:
    using Extreme = LabArrays::Extreme;

    static constexpr quint32 TitleColor = 0xC000C0;
    static constexpr quint32 MarkColor = 255;
    static constexpr quint32 PlainColor = 555555;

    explicit LabForm(const LabDesign &design, QWidget *parent = nullptr);

    CommandButton *button(const QString &name) const { return m_buttons.value(name); }
    const LabDesign &design() const { return m_design; }
    // The arrays behind the window.
    LabArrays &arrays() { return m_arrays; }
    const LabArrays &arrays() const { return m_arrays; }

    // Which array is current, and whether pelmar's clock box is shown.
    enum ShownFlag { LinearCurrent = 1, TableCurrent = 2, ClockBoxShown = 3 };
    std::array<bool, 4> shown{};
    float startTime = 0;

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
    // A prompt's title style (12 pt, bold, the title colour, italic where
    // asked); returns the print state from before, for a cancel to put back.
    PrintState titleStyle(bool italic);
    // askNumber; a cancel puts the print state back as it was before.
    std::optional<qint16> askOrRestore(const QString &prompt, qint16 limit, const PrintState &before);
    void printLinear();
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
    // Clear the surface and print an array's title in bold, underlined title
    // colour (the table's also in italic), leaving bold on for the numbers.
    void startLinearPrint();
    void startTablePrint();

private:
    void buildControls();
    void printExtremeSummary(Extreme kind);
    // Prints the array's values, the ones equal to its extreme in the mark colour.
    void printMarkedLinear();
    void printMarkedTable();

    LabDesign m_design;
    QHash<QString, CommandButton *> m_buttons;
    LabArrays m_arrays;
};
