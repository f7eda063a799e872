#pragma once

#include "manualclock.h"
#include "scriptedinput.h"
#include "trainerform.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

class CheckBox;
class InputProvider;
class ListBox;
class QAbstractButton;

// A trainer window over topic files written for the test, with a standing
// clock, scripted dialog replies, a fixed random seed and the timer stopped
// so that the test decides when it ticks.
class TrainerFixture
{
public:
    static constexpr int Pairs = 18;

    TrainerFixture();
    // Writes the files first; an empty optional leaves the file missing.
    TrainerFixture(const std::optional<QByteArray> &questions, const std::optional<QByteArray> &answers);
    // Over topic files already there, with replies from input (none: the script).
    TrainerFixture(const QString &folder, InputProvider *input);

    static QByteArray numberedLines(const char *prefix, int count);

    TrainerForm &form() { return *m_form; }
    ManualClock &clock() { return m_clock; }
    // Starts the window afresh, handing its results in to folder.
    void handInTo(const QString &folder);
    ScriptedInput &input() { return m_input; }
    QString dataFolder() const { return m_folder; }

    void click(QAbstractButton *button);
    void clickRow(ListBox *list, int row);
    QStringList printed() const;

    // "1010": Command1, Command2, Command6, Command3 enabled or not.
    QString modeButtons() const;
    // "100": Check1, Check2, Check4 ticked or not.
    QString modeBoxes() const;

private:
    void start();

    QTemporaryDir m_dir;
    QString m_folder = m_dir.path();
    InputProvider *m_replies = &m_input;
    ManualClock m_clock;
    ScriptedInput m_input;
    std::unique_ptr<TrainerForm> m_form;
};
