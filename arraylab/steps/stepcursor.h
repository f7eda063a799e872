#pragma once

#include "labcode.h"
#include "stepstory.h"
#include "steptrace.h"

#include <QString>
#include <QVector>

#include <memory>
#include <utility>

// What a step of a run means, asked in one place: where the array stands,
// which cells the step touched and how, the line of code it runs, its
// sentence, the counters, the variables, and for guessing which steps are
// asked and what the question says. The step window, its model and the
// guessing rules only ask it. Numbering follows the language shown: from 1,
// or from 0 in Python.
class StepCursor
{
public:
    enum class Role : quint8 { Changed, Compared, Source };
    struct Touch
    {
        LabObserver::Cell cell;
        Role role;
    };
    using Variables = QVector<std::pair<QString, int>>;

    // position: what the pupil typed for the operation, where it takes one.
    StepCursor(std::shared_ptr<const StepTrace> trace, LabCode::Operation operation, qint16 position);

    const StepTrace &trace() const { return *m_trace; }
    LabCode::Operation operation() const { return m_operation; }
    qint16 position() const { return m_position; }
    int steps() const { return m_trace->size(); }
    void setLanguage(LabCode::Language language);
    LabCode::Language language() const { return m_language; }
    // 1, or 0 in Python.
    int base() const { return m_language == LabCode::Language::Python ? 0 : 1; }
    const LabCode::Listing &listing() const { return m_listing; }
    const StepStory &story() const { return m_story; }

    StepTrace::State state(int step) const;
    QVector<Touch> touched(int step) const;
    // The line of the listing the step runs; -1 before the first.
    int codeLine(int step) const;
    // compare, swap, assign, resize or other; empty before the first step.
    QString kind(int step) const;
    QString sentence(int step) const { return m_story.sentence(step); }
    // The variables the code uses, as they stand after the step, in the
    // order the code introduces them; those not yet set are left out.
    Variables variables(int step) const;

    // Guessing: the steps that change the array or find a new extreme.
    int changes() const { return int(m_changes.size()); }
    // The last change at or before step; 0 when none.
    int lastChange(int step) const;
    // The first change after step; past the end when none is left.
    int nextChange(int step) const;
    // What is asked while the run stands at its last change.
    QString question(int standing) const;
    // Whether cell is one the change changes (either cell of an exchange).
    bool changedBy(int change, LabObserver::Cell cell) const;

private:
    // The nearest step at or before step that stands at a place of the array.
    int placed(int step) const;
    void addLoopVariables(int step, Variables &out) const;
    int pass(int step) const;
    std::optional<int> sortCounter(int step) const;

    std::shared_ptr<const StepTrace> m_trace;
    LabCode::Operation m_operation;
    qint16 m_position;
    LabCode::Language m_language = LabCode::Language::Algorithmic;
    LabCode::Listing m_listing;
    StepStory m_story;
    QVector<int> m_changes; // the steps asked, ascending
    int m_countReset = 0;   // the step count := 0 runs at; 0 for none
    mutable int m_cachedStep = -1;
    mutable StepTrace::State m_cached;
};
