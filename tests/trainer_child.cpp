// A pupil's whole Test 2 run in a trainer over the results folder named by
// its argument: sixteen right picks, then the report. It prints "report"
// as soon as the report is on the screen, so that a test may kill it at any
// moment after; left alone, it ends once the record is handed in.
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "resultcourier.h"
#include "support/trainertestsupport.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    TrainerFixture t;
    t.handInTo(app.arguments().at(1));
    TrainerForm &f = t.form();
    t.click(f.Option3);
    t.click(f.Check4);
    t.click(f.Command6);
    for (int k = 0; k < 16; ++k) {
        const auto &order = f.trainer().answerOrder();
        t.clickRow(f.List1, k);
        t.clickRow(f.List2, int(std::find(order.begin(), order.begin() + 17, k) - order.begin()));
    }
    t.click(f.Command3);
    std::printf("report\n");
    std::fflush(stdout);
    return QTest::qWaitFor([&f] { return !f.courier()->busy(); }, 30000) ? 0 : 1;
}
