#pragma once

#include "steps/guesstally.h"
#include "steps/labcode.h"
#include "steps/stepstory.h"
#include "steps/steptrace.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QTableView;
class StepModel;

// One run of a lab's operation shown step by step: the cells, the code with
// the line the step carries out, the counters and a sentence for each step;
// or, with guessing on, the pupil clicks the cell each change will touch.
class StepWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString operation READ operation)
    Q_PROPERTY(int steps READ steps)
    Q_PROPERTY(QList<int> cells READ cells)
    Q_PROPERTY(int rows READ rows)
    Q_PROPERTY(int columns READ columns)
    Q_PROPERTY(int usedRows READ usedRows)
    Q_PROPERTY(int usedColumns READ usedColumns)
    Q_PROPERTY(QList<int> touched READ touched)
    Q_PROPERTY(QString kind READ kind)
    Q_PROPERTY(QStringList code READ code)
    Q_PROPERTY(int codeLine READ codeLine)
    Q_PROPERTY(int comparisons READ comparisons)
    Q_PROPERTY(int swaps READ swaps)
    Q_PROPERTY(int assignments READ assignments)
    Q_PROPERTY(int guesses READ guesses)
    Q_PROPERTY(int guessedRight READ guessedRight)
    Q_PROPERTY(QString sentence READ sentence)
    Q_PROPERTY(int step READ step WRITE setStep NOTIFY stepChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage)

public:
    static constexpr int MinimumSpeed = 1;
    static constexpr int MaximumSpeed = 50;

    explicit StepWindow(QWidget *parent = nullptr);
    ~StepWindow() override;

    // A new run replaces whatever the window showed.
    void showRun(std::shared_ptr<const StepTrace> trace, LabCode::Operation operation, const QString &caption);
    void setZoom(int percent);

    QString operation() const { return m_caption; }
    const StepTrace *trace() const { return m_trace.get(); }
    int steps() const { return m_trace ? m_trace->size() : 0; }
    QList<int> cells() const;
    int rows() const { return m_trace ? m_trace->gridRows() : 0; }
    int columns() const { return m_trace ? m_trace->gridColumns() : 0; }
    int usedRows() const { return m_trace && m_trace->table() ? m_state.rows : 1; }
    int usedColumns() const { return m_state.columns; }
    QList<int> touched() const;
    QString kind() const;
    QStringList code() const { return m_listing.lines; }
    int codeLine() const;
    int comparisons() const { return m_state.comparisons; }
    int swaps() const { return m_state.swaps; }
    int assignments() const { return m_state.assignments; }
    int guesses() const { return m_tally.guesses(); }
    int guessedRight() const { return m_tally.right(); }
    QString sentence() const;
    int step() const { return m_step; }
    void setStep(int step);
    QString language() const { return LabCode::languageName(m_language); }
    void setLanguage(const QString &name);
    bool guessing() const { return m_guessing; }
    // A line under the cells: what became of a handed-in run.
    void report(const QString &line);

signals:
    void stepChanged(int step);
    // A guessing run reached its last step.
    void guessed(int guesses, int right, const QDateTime &started);
    // Ctrl++ (1), Ctrl+- (-1), Ctrl+0 (0): the lab scales both windows alike.
    void zoomAsked(int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void buildCode();
    void buildButtons();
    void layOut();
    void buildShortcuts();
    // Left, Right, Home, End and Space; false for any other key.
    bool stepKey(int key);
    void refresh();
    void showListing();
    void play(bool on);
    void tick();
    void endOfPass();
    void startGuessing(bool on);
    void waitForGuess();
    void choose(int row, int column);
    void finishGuessing();
    void enableNavigation();

    std::shared_ptr<const StepTrace> m_trace;
    std::unique_ptr<StepStory> m_story;
    LabCode::Operation m_operation = LabCode::Operation::DeleteElement;
    LabCode::Language m_language = LabCode::Language::Algorithmic;
    LabCode::Listing m_listing;
    QString m_caption;
    int m_step = 0;
    StepTrace::State m_state;
    GuessTally m_tally;
    bool m_guessing = false;
    QDateTime m_guessStarted;
    int m_zoom = 100;

    StepModel *m_model;
    QTableView *m_grid;
    QLabel *m_sentence;
    QLabel *m_prompt;
    QListWidget *m_code;
    QComboBox *m_languageBox;
    QLabel *m_counters;
    QPushButton *m_first;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPushButton *m_last;
    QPushButton *m_play;
    QPushButton *m_pass;
    QSlider *m_speed;
    QCheckBox *m_guessBox;
    QTimer m_timer;
};
