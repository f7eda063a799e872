#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "forms/textbox.h"
#include "manualclock.h"

#include <QSignalSpy>
#include <QTest>

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void checkBoxValueRunsClick_data();
    void checkBoxValueRunsClick();
    void nestedClickRunsAtOnce();
    void commandButtonValue();
    void optionButtons();
    void listClickOnSelectedRow();
    void twipsReadBackExactly();
    void longCaptionsWrap_data();
    void longCaptionsWrap();
    void textBoxRewritesOnlyChanges();
    void timerWakesWhenTextCanChange_data();
    void timerWakesWhenTextCanChange();
};

void TestControls::checkBoxValueRunsClick_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("clicks");
    QTest::newRow("clear to ticked") << 0 << 1 << 1;
    QTest::newRow("ticked to clear") << 1 << 0 << 1;
    QTest::newRow("ticked stays ticked") << 1 << 1 << 0;
    QTest::newRow("clear stays clear") << 0 << 0 << 0;
}

void TestControls::checkBoxValueRunsClick()
{
    QFETCH(int, start);
    QFETCH(int, value);
    QFETCH(int, clicks);
    QWidget window;
    CheckBox box(QStringLiteral("Check1"), &window);
    box.setChecked(start == 1);
    int seen = -1;
    QSignalSpy spy(&box, &CheckBox::Click);
    connect(&box, &CheckBox::Click, &window, [&] { seen = box.Value(); });
    box.setValue(value);
    QCOMPARE(spy.count(), clicks);
    QCOMPARE(box.Value(), value);
    if (clicks)
        QCOMPARE(seen, value); // the handler already sees the new value
}

void TestControls::nestedClickRunsAtOnce()
{
    QWidget window;
    window.resize(200, 100);
    CheckBox first(QStringLiteral("Check1"), &window);
    CheckBox second(QStringLiteral("Check2"), &window);
    first.Move(0, 0, 255, 255);
    QStringList order;
    connect(&first, &CheckBox::Click, &window, [&] {
        order << "first begins";
        second.setValue(1);
        order << "first ends";
    });
    connect(&second, &CheckBox::Click, &window, [&] { order << "second"; });
    window.show();
    QTest::mouseClick(&first, Qt::LeftButton, {}, first.rect().center());
    QCOMPARE(first.Value(), 1);
    QCOMPARE(order, (QStringList{"first begins", "second", "first ends"}));
}

void TestControls::commandButtonValue()
{
    QWidget window;
    window.resize(200, 100);
    CommandButton button(QStringLiteral("Command3"), QStringLiteral("Результат"), &window);
    button.Move(0, 0, 1335, 615);
    QSignalSpy spy(&button, &CommandButton::Click);
    window.show();

    button.setEnabled(false);
    button.setValue(true); // from code, even a disabled button runs its Click
    QCOMPARE(spy.count(), 1);
    button.setValue(false);
    QCOMPARE(spy.count(), 1);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(spy.count(), 1); // a user cannot click a disabled button
    button.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
}

void TestControls::optionButtons()
{
    QWidget window;
    window.resize(300, 100);
    OptionButton one(QStringLiteral("Option1"), QStringLiteral("1 мин"), &window);
    OptionButton two(QStringLiteral("Option2"), QStringLiteral("2 мин"), &window);
    one.Move(0, 0, 1095, 375);
    two.Move(1200, 0, 1095, 375);
    QSignalSpy oneSpy(&one, &OptionButton::Click);
    QSignalSpy twoSpy(&two, &OptionButton::Click);
    window.show();

    QTest::mouseClick(&one, Qt::LeftButton, {}, QPoint(8, one.height() / 2));
    QVERIFY(one.Value());
    QCOMPARE(oneSpy.count(), 1);
    QTest::mouseClick(&two, Qt::LeftButton, {}, QPoint(8, two.height() / 2));
    QVERIFY(two.Value());
    QVERIFY(!one.Value()); // one group: choosing one clears the other
    QCOMPARE(twoSpy.count(), 1);

    two.setValue(false); // clearing runs nothing and leaves none chosen
    QVERIFY(!two.Value());
    QVERIFY(!one.Value());
    QCOMPARE(twoSpy.count(), 1);
    one.setValue(true);
    QCOMPARE(oneSpy.count(), 2);
}

void TestControls::listClickOnSelectedRow()
{
    QWidget window;
    window.resize(400, 300);
    ListBox list(QStringLiteral("List1"), &window);
    list.Move(0, 0, 6000, 4000);
    for (const char *row : {"zero", "one", "two"})
        list.AddItem(QString::fromLatin1(row));
    QSignalSpy spy(&list, &ListBox::Click);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QPoint rowOne = list.visualItemRect(list.item(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowOne);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(list.ListIndex(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowOne);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(list.List(1), QStringLiteral("one"));
    QCOMPARE(list.List(7), QString());
}

void TestControls::twipsReadBackExactly()
{
    QWidget window;
    CommandButton button(QStringLiteral("Command1"), QStringLiteral("Массив1"), &window);
    button.Move(8625 - 2650, 7935 - 2100, 1215, 495);
    QCOMPARE(button.Left(), 5975);
    QCOMPARE(button.Top(), 5835);
    QCOMPARE(button.geometry(), QRect(398, 389, 81, 33));
    button.setLeft(-300); // negative places are allowed
    QCOMPARE(button.Left(), -300);
    QCOMPARE(button.x(), -20);
}

void TestControls::longCaptionsWrap_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("widthTwips");
    QTest::addColumn<QString>("shown");
    QTest::newRow("fits") << "Выход" << 1215 << "Выход";
    QTest::newRow("two words, narrow") << "Удаление элемента" << 1215 << "Удаление\nэлемента";
    QTest::newRow("two words, wide") << "Удаление элемента" << 4000 << "Удаление элемента";
    QTest::newRow("three words break at the best blank")
        << "Вставка нового столбца" << 1500 << "Вставка\nнового столбца";
    QTest::newRow("one long word stays") << "Перевычисление" << 300 << "Перевычисление";
}

void TestControls::longCaptionsWrap()
{
    QFETCH(QString, caption);
    QFETCH(int, widthTwips);
    QFETCH(QString, shown);
    QWidget window;
    CommandButton button(QStringLiteral("Command4"), caption, &window);
    button.setFontSpec(QStringLiteral("MS Sans Serif"), 8.25);
    button.Move(0, 0, widthTwips, 495);
    QCOMPARE(button.text(), shown);
    QCOMPARE(button.Caption(), caption);
    QCOMPARE(button.accessibleName(), caption);
    // Each line fits the button once it is broken.
    for (const QString &line : shown.split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1Char(' ')) || shown.contains(QLatin1Char('\n')))
            QVERIFY(button.fontMetrics().horizontalAdvance(line) <= button.width() - 8);
    }
}

void TestControls::textBoxRewritesOnlyChanges()
{
    QWidget window;
    TextBox box(QStringLiteral("Text1"), &window);
    QSignalSpy spy(&box, &QPlainTextEdit::textChanged);
    box.setText(QStringLiteral("Время 9:41:05"));
    box.setText(QStringLiteral("Время 9:41:05"));
    QCOMPARE(spy.count(), 1);
    box.setText(QStringLiteral("Время 9:41:06"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(box.Text(), QStringLiteral("Время 9:41:06"));
}

void TestControls::timerWakesWhenTextCanChange_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("spanStart"); // invalid: no span followed
    QTest::addColumn<int>("delay");
    QTest::newRow("clock only") << QTime(12, 0, 0, 400) << QTime() << 602;
    QTest::newRow("span turns first") << QTime(12, 0, 0, 400) << QTime(11, 59, 0, 900) << 502;
    QTest::newRow("clock turns first") << QTime(12, 0, 0, 400) << QTime(11, 59, 0, 200) << 602;
    QTest::newRow("right on a second") << QTime(12, 0, 1, 0) << QTime() << 1002;
    QTest::newRow("span from yesterday evening") << QTime(0, 0, 0, 100) << QTime(23, 59, 59, 150) << 52;
}

void TestControls::timerWakesWhenTextCanChange()
{
    QFETCH(QTime, now);
    QFETCH(QTime, spanStart);
    QFETCH(int, delay);
    ManualClock clock(QDateTime(QDate(2026, 12, 7), now));
    FormTimer timer(QStringLiteral("Timer1"), &clock, nullptr);
    timer.setEnabled(false);
    if (spanStart.isValid())
        timer.followSpanFrom(spanStart.msecsSinceStartOfDay() / 86400000.0);
    QVERIFY(qAbs(timer.nextDelay() - delay) <= 1);
    QCOMPARE(timer.Interval(), 1);
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
