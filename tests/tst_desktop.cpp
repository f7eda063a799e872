#include "doloranform.h"
#include "forms/appsetup.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "labtestsupport.h"
#include "pelmarform.h"
#include "trainertestsupport.h"

#include "forms/inputprovider.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

// Keyboard paths through the windows, and what a screen reader is told.
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void trainingStepByKeyboard();
    void labOperationByKeyboard();
    void inputDialogKeys_data();
    void inputDialogKeys();
    void accessibleNames_data();
    void accessibleNames();
    void printedTextIsAccessible();
    void qtTextsInRussian();
};

namespace {

// Presses Tab until the widget has the focus; false if it never gets it.
bool tabTo(QWidget *window, QWidget *target)
{
    for (int presses = 0; presses < 40; ++presses) {
        if (QApplication::focusWidget() == target)
            return true;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

} // namespace

void TestDesktop::initTestCase()
{
    AppSetup::installFontSubstitutes();
    AppSetup::installAccessibility();
}

void TestDesktop::trainingStepByKeyboard()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Command5->setFocus();

    QVERIFY(tabTo(&f, f.Option3));
    QTest::keyClick(f.Option3, Qt::Key_Space);
    QCOMPARE(f.trainer().timeLimit(), QStringLiteral("0:05:00"));
    QVERIFY(tabTo(&f, f.Check1));
    QTest::keyClick(f.Check1, Qt::Key_Space);
    QCOMPARE(t.modeButtons(), QStringLiteral("1000"));
    QVERIFY(tabTo(&f, f.Command1));
    QTest::keyClick(f.Command1, Qt::Key_Return);
    QCOMPARE(f.List1->ListCount(), 17);

    QVERIFY(tabTo(&f, f.List1));
    for (int down = 0; down < 3; ++down)
        QTest::keyClick(f.List1, Qt::Key_Down);
    QVERIFY(t.printed().isEmpty()); // moving is not picking
    QTest::keyClick(f.List1, Qt::Key_Return);
    QCOMPARE(t.printed(), QStringList{"q3 3 "});
    QVERIFY(tabTo(&f, f.List2));
    f.List2->setCurrentRow(0);
    for (int down = 0; down < 3; ++down)
        QTest::keyClick(f.List2, Qt::Key_Down);
    QTest::keyClick(f.List2, Qt::Key_Enter);
    QCOMPARE(t.printed(), (QStringList{"q3 3 ", "a3 верно", " 1 "}));
}

void TestDesktop::labOperationByKeyboard()
{
    LabFixture t(LabFixture::Lab::Doloran);
    LabForm &f = t.form();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    t.button("Command3")->setFocus();

    t.input().replies({"3", "2"});
    QVERIFY(tabTo(&f, t.button("Command6")));
    QTest::keyClick(t.button("Command6"), Qt::Key_Return);
    QCOMPARE(int(f.arrays().m()), 3);
    QVERIFY(tabTo(&f, t.button("Command2")));
    QTest::keyClick(t.button("Command2"), Qt::Key_Space);
    QCOMPARE(t.printed().size(), 3);
    t.input().reply("1");
    QVERIFY(tabTo(&f, t.button("Command7")));
    QTest::keyClick(t.button("Command7"), Qt::Key_Enter);
    QCOMPARE(int(f.arrays().n()), 1);
    QCOMPARE(t.printed().at(t.printed().size() - 2), QStringLiteral(" Новый массив"));
}

void TestDesktop::inputDialogKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("answered");
    QTest::newRow("Enter takes the reply") << "17" << int(Qt::Key_Return) << true;
    QTest::newRow("Enter on an empty reply") << QString() << int(Qt::Key_Enter) << true;
    QTest::newRow("Escape cancels") << "17" << int(Qt::Key_Escape) << false;
}

void TestDesktop::inputDialogKeys()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(bool, answered);
    // The real dialog, answered from the keyboard as soon as it is up.
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QWidget *field = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key(key));
    });
    InputProvider provider;
    const std::optional<QString> reply = provider.ask(nullptr, QStringLiteral("да - 1 или нет - 0"));
    QCOMPARE(reply.has_value(), answered);
    if (answered)
        QCOMPARE(*reply, typed);
}

void TestDesktop::accessibleNames_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("tesmora") << "tesmora";
    QTest::newRow("doloran") << "doloran";
    QTest::newRow("pelmar") << "pelmar";
}

void TestDesktop::accessibleNames()
{
    QFETCH(QString, program);
    std::unique_ptr<Form> form;
    if (program == QLatin1String("tesmora"))
        form = std::make_unique<TrainerForm>(QString());
    else if (program == QLatin1String("doloran"))
        form = std::make_unique<DoloranForm>();
    else
        form = std::make_unique<PelmarForm>();
    QStringList names;
    for (QWidget *w : form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
        names << w->objectName() + QLatin1Char('=') + name;
    }
    if (program == QLatin1String("tesmora")) {
        for (const char *expected :
             {"Check1=Обучение", "Check2=Тест1 да/нет", "Check4=Тест2 выбор", "Check3=Результат", "List1=Вопросы",
              "Option2=2 мин", "Command4=Выход", "printSurface=Вывод программы"})
            QVERIFY2(names.contains(QString::fromUtf8(expected)), expected);
    } else {
        QVERIFY(names.contains(QStringLiteral("Command1=Массив1")));
    }
}

void TestDesktop::printedTextIsAccessible()
{
    LabFixture t(LabFixture::Lab::Pelmar);
    t.fillLinear({512, 130, 877});
    t.click("Command7");
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(t.form().surface());
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::StaticText);
    QAccessibleTextInterface *text = iface->textInterface();
    QVERIFY(text);
    const QString expected = t.printed().join(QLatin1Char('\n'));
    QCOMPARE(text->characterCount(), int(expected.size()));
    QCOMPARE(text->text(0, text->characterCount()), expected);
    QVERIFY(expected.contains(QStringLiteral("min= 130 \t 1 шт")));
    QCOMPARE(iface->text(QAccessible::Value), expected);
}

void TestDesktop::qtTextsInRussian()
{
    // Run last: from here on Qt speaks Russian in this process. The tests
    // themselves run in the C locale, as a program may.
    QVERIFY(AppSetup::installRussianTranslation(*qApp));
    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    QVERIFY(texts.size() >= 6);
    const QRegularExpression cyrillic(QStringLiteral("[А-Яа-яЁё]"));
    for (const QString &text : std::as_const(texts))
        QVERIFY2(text.contains(cyrillic), qPrintable(text));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
