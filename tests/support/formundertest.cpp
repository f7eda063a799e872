#include "formundertest.h"

#include "core/randomsource.h"
#include "forms/form.h"
#include "forms/formtimer.h"

#include <QTest>

bool FormUnderTest::start(Form &form, FormTimer *timer, const Setup &setup)
{
    timer->setEnabled(false);
    if (setup.clock)
        form.setClock(setup.clock);
    if (setup.input)
        form.setInputProvider(setup.input);
    if (setup.seed)
        form.random().setFixedSeed(*setup.seed);
    form.showForm();
    if (QTest::qWaitForWindowExposed(&form))
        return true;
    qWarning("%s was not exposed", qPrintable(form.windowTitle()));
    return false;
}
