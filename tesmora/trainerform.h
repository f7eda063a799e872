#pragma once

#include "attemptrecovery.h"
#include "forms/form.h"
#include "runhandin.h"
#include "topicfile.h"
#include "trainer.h"

#include <QDateTime>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

class CheckBox;
class CommandButton;
class FormTimer;
class Label;
class ListBox;
class OptionButton;
class ResultCourier;
class StateKeeper;
class StatusBoard;
class TextBox;

// The trainer's window: question and answer lists, the level options, the
// mode buttons with their check boxes, help, exit and the clock line.
class TrainerForm : public Form
{
    Q_OBJECT

public:
    explicit TrainerForm(const QString &dataFolder = TopicFile::trainerFolder(), QWidget *parent = nullptr);

    QString dataFolder() const { return m_dataFolder; }
    // A topic other than the built-in one is named in the title bar.
    void setTopicName(const QString &name);
    // A topic asked for by name was not found: the window says so at Load.
    void reportMissingTopic(const QString &name) { m_missingTopic = name; }
    // Something the window says at Load, before the topic's own problems.
    void reportStartProblem(const QString &text) { m_startProblems << text; }
    // Every graded report and every time-out is handed in to this folder.
    void setResultsFolder(const QString &folder);
    // What takes the records there; none without a folder.
    ResultCourier *courier() const { return m_handIn ? m_handIn->courier() : nullptr; }
    StatusBoard *handInBoard() const { return m_handIn ? m_handIn->board() : nullptr; }
    StateKeeper *stateKeeper() const { return m_handIn ? m_handIn->keeper() : nullptr; }

    // Problems met while reading the topic files at Load, as shown to the pupil.
    QStringList loadMessages() const { return m_loadMessages; }
    // The state and rules behind the window.
    const Trainer &trainer() const { return m_trainer; }

    CommandButton *Command1;
    CommandButton *Command2;
    CommandButton *Command3;
    CommandButton *Command4;
    CommandButton *Command5;
    CommandButton *Command6;
    CheckBox *Check1;
    CheckBox *Check2;
    CheckBox *Check3;
    CheckBox *Check4;
    OptionButton *Option1;
    OptionButton *Option2;
    OptionButton *Option3;
    ListBox *List1;
    ListBox *List2;
    Label *Label1;
    Label *Label2;
    TextBox *Text1;
    FormTimer *Timer1;

    void Command1_Click();
    void List1_Click();
    void List2_Click();
    void Command2_Click();
    void Command6_Click();
    void Command3_Click();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Timer1_Timer();
    void Command4_Click();
    void Command5_Click();

protected:
    void Form_Load() override;
    void Form_DblClick() override;
    void clockChanged() override;

private:
    // The mode boxes ticked, as the trainer's picks and result read them.
    Trainer::Modes tickedModes() const;
    void buildControls();
    void restartClock();
    bool levelChosen() const;
    void modeBoxClick(CheckBox *box, CommandButton *button, std::initializer_list<CommandButton *> disableWithoutLevel,
                      std::initializer_list<CommandButton *> disableWithLevel,
                      std::initializer_list<CheckBox *> boxesToClear);
    void optionClick(const QString &limit, OptionButton *other1, OptionButton *other2);
    // What every mode does first: counts, marks and timing start afresh.
    void startMode();
    void clearLists();
    // The value of the reply of a Test 1 turn and its text; none when the window was closed.
    std::optional<std::pair<QString, double>> askYesNo();
    void reportLine(ListBox *list, const QString &text, Separator separator = Separator::NewLine);
    void printResult(const Trainer::Result &result);
    // The screen cleared; the report, if it was on it, is no more.
    void clearScreen();
    // The last report again, with the hand-in line as it stands.
    void drawReport();
    void handInReported(const QString &line);
    // Within the window's width, at the notices' size.
    void printWrapped(const QString &text);

    Trainer m_trainer;
    QString m_dataFolder;
    QString m_missingTopic;
    QString m_topicName;
    std::unique_ptr<RunHandIn> m_handIn; // none without a results folder
    void noteProgress();
    // The run's first question is on the screen: it is on the record.
    void runShown();
    void keepState();
    void handIn(bool timedOut);
    // Test 1's turns from one on; a candidate drawn before for the first
    // (none: -1) of a run gone on with.
    void askTurns(int from, int candidate, bool resumed);
    // The questions and the answers, in the draw's order for Test 2.
    void fillLists(bool test2);
    void showPendingQuestion();
    // Goes on with the run a crash or a close left, as found at Load.
    void resumeRun();
    void chooseLevel(qint64 limitSeconds);
    void printNotice(const QString &text);
    std::optional<AttemptRecovery::Found> m_resume;
    // A status that could not be written is said once, until one is again.
    void statusWritten(const QString &error);
    QString m_statusError;
    Trainer::Result m_shownResult;
    QString m_handInLine;       // what became of the last run's record
    bool m_reportShown = false; // the report is what the screen shows
    bool m_runOpen = false;     // a run is under way: no hand-in line breaks into it
    QStringList m_loadMessages;
    QStringList m_startProblems;
};
