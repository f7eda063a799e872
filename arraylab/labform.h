#pragma once

#include "forms/form.h"
#include "labdesign.h"
#include "labhandin.h"
#include "steps/labarrays.h"
#include "steps/labcode.h"

#include <QHash>

#include <functional>

#include <memory>
#include <optional>

class CheckBox;
class QScrollBar;
class CommandButton;
class FormTimer;
class StepTrace;
class StepWindow;
class TextBox;

// The window shared by both array labs: the button block kept in the lower
// right corner, the clock box, the size input, the two random arrays with
// their printing, and the minimum and maximum display. With "По шагам"
// ticked, an operation's steps go to the step window; "Свой массив…" fills
// an array the teacher's way; Ctrl++ and Ctrl+- scale the print.
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

    // Which array the operations work on: none before the first fill.
    enum class Current { None, Linear, Table };
    Current current = Current::None;
    bool clockBoxShown = false; // pelmar's clock box, turned by a click
    float startTime = 0;

    static constexpr int MinimumZoom = 100;
    static constexpr int MaximumZoom = 300;
    static constexpr int ZoomStep = 25;

    TextBox *Text1;
    FormTimer *Timer1;
    CheckBox *stepsBox;
    CommandButton *ownArrayButton;

    // Made on the first run shown step by step.
    StepWindow *stepWindow() const { return m_stepWindow; }
    // The print and the step window, from MinimumZoom to MaximumZoom percent.
    int zoom() const { return m_zoom; }
    // 1 larger, -1 smaller, 0 back to 100 %.
    void zoomBy(int direction);
    // The teacher's own values, shown and offered to the operations as after a fill.
    void fillOwn(bool table, const QVector<qint16> &values);

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
    // A caption runs the search step by step when "По шагам" is ticked.
    void showExtreme(Extreme kind, const QString &caption = QString());

    static const QString LinearTitle;
    static const QString TableTitle;

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void clockChanged() override;
    void printChanged() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The buttons each lab offers after a fill.
    virtual void linearFilled() = 0;
    virtual void tableFilled() = 0;

    void showExtremeLinear(Extreme kind, bool showClockAfterTitle, LabObserver *observer = nullptr);
    void showExtremeTable(Extreme kind, LabObserver *observer = nullptr);
    // Runs an operation: with "По шагам" ticked it is traced, and the run
    // goes to the step window under the caption; position is what the pupil
    // typed for it.
    void traced(LabCode::Operation operation, const QString &caption, qint16 position,
                const std::function<void(LabObserver *)> &run);
    void showLinear();
    void showTable();
    // Clear the surface and print an array's title in bold, underlined title
    // colour (the table's also in italic), leaving bold on for the numbers.
    void startLinearPrint();
    void startTablePrint();

private:
    void buildControls();
    void buildStepControls(QList<QWidget *> &tabOrder);
    void buildScrolling();
    // Above 100 %, a print that no longer fits: the window takes the screen
    // and the print scrolls, its bars clear of the buttons.
    void fitPrint();
    QRect controlsBlock() const;
    void ownArray();
    void handIn(int changes, int guesses, int right, const QDateTime &started);
    void printExtremeSummary(Extreme kind);
    // Prints the array's values, the ones equal to its extreme in the mark colour.
    void printMarkedLinear();
    void printMarkedTable();

    LabDesign m_design;
    QHash<QString, CommandButton *> m_buttons;
    LabArrays m_arrays;
    StepWindow *m_stepWindow = nullptr;
    LabHandIn m_handIn{this};
    int m_zoom = MinimumZoom;
    bool m_grown = false; // taken the screen for a zoomed print
    QScrollBar *m_across = nullptr;
    QScrollBar *m_down = nullptr;
};
