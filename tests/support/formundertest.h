#pragma once

#include <QtGlobal>

#include <optional>

class Clock;
class Form;
class FormTimer;
class InputProvider;

// How every test brings up a window: its timer stopped, so that the test
// decides when it ticks; the clock, the dialog replies and the random seed
// the test gives (none given: the window's own); then shown and exposed.
class FormUnderTest
{
public:
    struct Setup
    {
        const Clock *clock = nullptr;
        InputProvider *input = nullptr;
        std::optional<quint32> seed;
    };

    // False when the window was not exposed in time.
    static bool start(Form &form, FormTimer *timer, const Setup &setup);
};
