#pragma once

#include "steptrace.h"

// The pupil's guesses during a run: before each step that changes the array,
// which cell it will change. A change counts as guessed when the first cell
// chosen for it was right.
class GuessTally
{
public:
    enum class Choice { Right, Wrong };

    // The first step after from that a pupil is asked about; past the end when none is left.
    static int nextAsked(const StepTrace &trace, int from);
    // Whether cell is one the step changes (either cell of an exchange).
    static bool changedBy(const StepTrace::Step &step, LabObserver::Cell cell);

    // The pupil chose cell for step; a wrong choice waits for another one.
    Choice choose(const StepTrace::Step &step, LabObserver::Cell cell);
    int guesses() const { return m_guesses; }
    int right() const { return m_right; }

private:
    int m_guesses = 0;
    int m_right = 0;
    bool m_missed = false; // the current change had a wrong choice already
};
