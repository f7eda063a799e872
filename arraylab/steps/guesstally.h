#pragma once

#include "stepcursor.h"

// The pupil's guesses during a run: before each change of the array, which
// cell it will change. A change counts as guessed when the first cell chosen
// for it was right.
class GuessTally
{
public:
    enum class Choice { Right, Wrong };

    // The pupil chose cell for the change at step change; a wrong choice
    // waits for another one.
    Choice choose(const StepCursor &cursor, int change, LabObserver::Cell cell);
    int guesses() const { return m_guesses; }
    int right() const { return m_right; }

private:
    int m_guesses = 0;
    int m_right = 0;
    bool m_missed = false; // the current change had a wrong choice already
};
