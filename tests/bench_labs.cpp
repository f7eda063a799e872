// In-process timings of the heaviest lab operations, in a Release build:
//   build/bin/bench_labs -platform offscreen
// Not part of the test run: timings are not pass or fail.
#include "appsetup.h"
#include "commandbutton.h"
#include "formtimer.h"
#include "pelmarform.h"
#include "printsurface.h"
#include "scriptedinput.h"

#include <QTest>

class BenchLabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { AppSetup::installFontSubstitutes(); }
    void printAndPaintFullTable();
    void sortFullTable();

private:
    void prepare(PelmarForm &form, ScriptedInput &input);
};

void BenchLabs::prepare(PelmarForm &form, ScriptedInput &input)
{
    form.Timer1->setEnabled(false);
    form.setInputProvider(&input);
    form.showForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(1400, 1000);
    input.replies({"30", "30"});
    form.Command5->setValue(true);
}

void BenchLabs::printAndPaintFullTable()
{
    PelmarForm form;
    ScriptedInput input;
    prepare(form, input);
    QBENCHMARK {
        form.fillTable();
        form.surface()->repaint();
    }
}

void BenchLabs::sortFullTable()
{
    PelmarForm form;
    ScriptedInput input;
    prepare(form, input);
    form.fillTable();
    QBENCHMARK {
        form.Cls();
        form.sortTable();
    }
}

QTEST_MAIN(BenchLabs)
#include "bench_labs.moc"
