#pragma once

#include "steps/guesstally.h"
#include "steps/labcode.h"
#include "steps/stepcursor.h"
#include "steps/steptrace.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>

#include <memory>

class Clock;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSlider;
class QTableView;
class StepModel;

// One run of a lab's operation shown step by step: the cells, the code with
// the line the step runs, the counters, the variables and a sentence for each
// step; or, with guessing on, the run stands at its last change and the pupil
// clicks the cell the next change will change before anything shows it. The
// window keeps inside the screen at any zoom, for a projector.
class StepWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString operation READ operation)
    Q_PROPERTY(int steps READ steps)
    Q_PROPERTY(QList<int> cells READ cells)
    Q_PROPERTY(QList<int> grid READ grid)
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
    Q_PROPERTY(QVariantMap variables READ variables)
    Q_PROPERTY(int changes READ changes)
    Q_PROPERTY(int guesses READ guesses)
    Q_PROPERTY(int guessedRight READ guessedRight)
    Q_PROPERTY(QString sentence READ sentence)
    Q_PROPERTY(QString question READ question)
    Q_PROPERTY(QString program READ program)
    Q_PROPERTY(int step READ step WRITE setStep NOTIFY stepChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage)
    Q_PROPERTY(int zoom READ zoom)

public:
    static constexpr int MinimumSpeed = 1;
    static constexpr int MaximumSpeed = 50;
    // The cells at 100 %: at least this large, larger where there is room.
    static constexpr qreal SmallestCellPoints = 24;

    // clock: the time a guessing run starts at.
    explicit StepWindow(const Clock *clock, QWidget *parent = nullptr);
    ~StepWindow() override;

    // A new run replaces whatever the window showed; position is what the
    // pupil typed for the operation.
    void showRun(std::shared_ptr<const StepTrace> trace, LabCode::Operation operation, const QString &caption,
                 qint16 position = 0);
    void setZoom(int percent);
    int zoom() const { return m_zoom; }

    QString operation() const { return m_caption; }
    const StepTrace *trace() const { return m_cursor ? &m_cursor->trace() : nullptr; }
    const StepCursor *cursor() const { return m_cursor.get(); }
    int steps() const { return m_cursor ? m_cursor->steps() : 0; }
    // The array after the current step: m values, or n rows of m.
    QList<int> cells() const;
    // Every cell drawn, row by row, beyond the sizes too.
    QList<int> grid() const;
    int rows() const { return m_cursor && m_cursor->trace().table() ? std::max<int>(m_state.rows, 0) : 1; }
    int columns() const { return std::max<int>(m_state.columns, 0); }
    int usedRows() const { return rows(); }
    int usedColumns() const { return columns(); }
    // The cells the current step touched, as places in grid().
    QList<int> touched() const;
    QString kind() const { return m_cursor ? m_cursor->kind(m_step) : QString(); }
    QStringList code() const { return m_cursor ? m_cursor->listing().lines : QStringList(); }
    int codeLine() const { return m_cursor ? m_cursor->codeLine(m_step) : -1; }
    int comparisons() const { return m_state.comparisons; }
    int swaps() const { return m_state.swaps; }
    int assignments() const { return m_state.assignments; }
    QVariantMap variables() const;
    int changes() const { return m_cursor ? m_cursor->changes() : 0; }
    int guesses() const { return m_tally.guesses(); }
    int guessedRight() const { return m_tally.right(); }
    QString sentence() const { return m_cursor ? m_cursor->sentence(m_step) : QString(); }
    // What guessing asks now; empty when nothing is asked.
    QString question() const;
    QString program() const;
    int step() const { return m_step; }
    void setStep(int step);
    QString language() const { return LabCode::languageName(m_language); }
    void setLanguage(const QString &name);
    bool guessing() const { return m_guessing; }
    // Whether guessing waits for a click (not playing the answer).
    bool asking() const { return m_guessing && m_playTo < 0; }
    // A line under the cells: what became of a handed-in run.
    void report(const QString &line);

signals:
    void stepChanged(int step);
    // A run guessed from its first step to its end.
    void guessed(int changes, int guesses, int right, const QDateTime &started);
    // Ctrl++ (1), Ctrl+- (-1), Ctrl+0 (0): the lab scales both windows alike.
    void zoomAsked(int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildCode();
    void buildButtons();
    void buildCounters();
    void layOut();
    void buildShortcuts();
    void fitToScreen();
    void fitCells();
    QSizeF cellSize(QFont &cell, qreal points) const;
    void arrange();
    // Left, Right, Home, End and Space; false for any other key.
    bool stepKey(int key);
    void refresh();
    void showCounters();
    void showListing();
    void keepInSight();
    void play(bool on);
    void tick();
    void endOfPass();
    void toEnd();
    void startGuessing(bool on);
    void ask();
    void arrived();
    void playTo(int step);
    void choose(int row, int column);
    void finishGuessing();
    void enableNavigation();
    void showProgram();

    const Clock *m_clock;
    std::unique_ptr<StepCursor> m_cursor;
    LabCode::Language m_language = LabCode::Language::Algorithmic;
    QString m_caption;
    int m_step = 0;
    StepTrace::State m_state;
    GuessTally m_tally;
    bool m_guessing = false;
    int m_standing = 0; // guessing: the last change, where the run stands
    int m_playTo = -1;  // guessing: the change an answer is played to; -1 while asking
    QDateTime m_guessStarted;
    int m_zoom = 100;
    bool m_placed = false; // the window has been put on its screen
    QString m_widest;      // the widest value of the run, for the cells' width

    StepModel *m_model;
    QScrollArea *m_scroll;
    QBoxLayout *m_top; // the cells beside the code, or above it when zoomed
    QTableView *m_grid;
    QLabel *m_sentence;
    QLabel *m_prompt;
    QString m_handInLine; // the last line said of the record, replaced by the next
    QListWidget *m_code;
    QComboBox *m_languageBox;
    QLabel *m_stepCount;
    QLabel *m_comparisons;
    QLabel *m_swaps;
    QLabel *m_assignments;
    QLabel *m_variables;
    QPushButton *m_first;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPushButton *m_last;
    QPushButton *m_play;
    QPushButton *m_pass;
    QPushButton *m_programButton;
    QSlider *m_speed;
    QCheckBox *m_guessBox;
    QTimer m_timer;
    QTimer m_beat; // guessing: the change just played stays in sight a moment
};
