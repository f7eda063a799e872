#pragma once

#include "print/printmodel.h"

#include <QString>
#include <QWidget>

#include <optional>

class Clock;
class InputProvider;
class PrintSurface;
class RandomSource;

// The base of every program window: a print surface filling the inner area,
// the window's print state, the input dialog, the clock and random draws.
// Subclasses add their controls and override the window's event handlers.
class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // Runs Form_Load once; showForm() also shows the window.
    void load();
    void showForm();

    PrintSurface *surface() const { return m_surface; }
    PrintModel &printModel();
    const PrintModel &printModel() const;

    quint32 ForeColor() const;
    void setForeColor(quint32 color);
    qreal FontSize() const;
    void setFontSize(qreal size);
    bool FontBold() const;
    void setFontBold(bool on);
    void setFontItalic(bool on);
    bool FontUnderline() const;
    void setFontUnderline(bool on);
    void setBackColor(quint32 color);
    // All of the above at once, to put back what a cancelled prompt changed.
    PrintState printState() const { return printModel().state(); }
    void setPrintState(const PrintState &state) { printModel().setState(state); }

    // Inner size in twips.
    int ScaleWidth() const;
    int ScaleHeight() const;
    void setClientSize(int widthTwips, int heightTwips);

    void Cls();
    void Print();
    void Print(const QString &text, Separator separator = Separator::NewLine);
    void Print(const char *text, Separator separator = Separator::NewLine);
    void Print(int number, Separator separator = Separator::NewLine);

    // "Дата …    Время …   Время работы …": the date, the time of day and the
    // whole seconds since startTime (a fraction of a day), for the clock box.
    QString clockLine(double startTime) const;

    // No value when the dialog was cancelled.
    std::optional<QString> InputBox(const QString &prompt);

    const Clock &clock() const { return *m_clock; }
    void setClock(const Clock *clock);
    RandomSource &random() { return *m_random; }
    InputProvider &input() { return *m_input; }
    void setInputProvider(InputProvider *input);

    // Ends the program: the window closes and ended() tells the application.
    void End();
    // The window was closed or the program is ending: a handler waiting on a
    // dialog stops asking.
    bool isClosing() const { return m_closing; }

signals:
    void ended();

protected:
    virtual void Form_Load() {}
    virtual void Form_Click() {}
    virtual void Form_DblClick() {}
    virtual void Form_Resize() {}
    // A new clock was set: timers of the window follow it.
    virtual void clockChanged() {}
    // Something was printed or the print cleared.
    virtual void printChanged() {}

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void changed();

    PrintSurface *m_surface;
    const Clock *m_clock;
    RandomSource *m_random;
    InputProvider *m_defaultInput;
    InputProvider *m_input;
    bool m_loaded = false;
    bool m_closing = false;
};
