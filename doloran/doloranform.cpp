#include "doloranform.h"

#include "forms/commandbutton.h"
#include "forms/textbox.h"

LabDesign DoloranForm::windowDesign()
{
    const QString sans = QStringLiteral("MS Sans Serif");
    LabDesign d;
    d.iconName = QStringLiteral("doloran");
    d.caption = QStringLiteral("Form1");
    d.backColor = 0x00FFFF80;
    d.clientWidth = 8625;
    d.clientHeight = 7935;
    d.buttonWidth = 1215;
    d.buttonHeight = 495;
    d.text1Left = 6360;
    d.text1Top = 1200;
    d.text1Width = 2175;
    d.buttons = {
        {QStringLiteral("Command1"), QStringLiteral("Массив1"), sans, 9.75},
        {QStringLiteral("Command2"), QStringLiteral("Массив2"), sans, 9.75},
        {QStringLiteral("Command3"), QStringLiteral("Выход"), sans, 9.75},
        {QStringLiteral("Command4"), QStringLiteral("Удаление элемента"), QString(), 0},
        {QStringLiteral("Command5"), QStringLiteral("Удаление столбца"), QString(), 0},
        {QStringLiteral("Command6"), QStringLiteral("Ввод m,n"), sans, 8.25},
        {QStringLiteral("Command7"), QStringLiteral("Удаление строки"), QString(), 0},
        {QStringLiteral("Command8"), QStringLiteral("Вставка столбца"), QString(), 0},
        {QStringLiteral("Command9"), QStringLiteral("Вставка строки"), QString(), 0},
    };
    d.text1TabIndex = 9;
    d.layout = {
        {QStringLiteral("Command2"), 2650, 700},  {QStringLiteral("Command1"), 2650, 2100},
        {QStringLiteral("Command4"), 2650, 2700}, {QStringLiteral("Command7"), 1300, 1300},
        {QStringLiteral("Command8"), 1300, 2100}, {QStringLiteral("Command9"), 1300, 2700},
        {QStringLiteral("Command5"), 2650, 1300}, {QStringLiteral("Command3"), 1300, 700},
        {QStringLiteral("Command6"), 1300, 3600}, {QStringLiteral("ownArrayButton"), 2650, 3600},
        {QStringLiteral("stepsBox"), 2650, 4200},
    };
    d.disabledAtStart = {QStringLiteral("Command4"), QStringLiteral("Command5"), QStringLiteral("Command7"),
                         QStringLiteral("Command8"), QStringLiteral("Command9"), QStringLiteral("Command1"),
                         QStringLiteral("Command2")};
    d.sizeInput = QStringLiteral("Command6");
    return d;
}

DoloranForm::DoloranForm(QWidget *parent)
    : LabForm(windowDesign(), parent)
    , Command1(button(QStringLiteral("Command1")))
    , Command2(button(QStringLiteral("Command2")))
    , Command3(button(QStringLiteral("Command3")))
    , Command4(button(QStringLiteral("Command4")))
    , Command5(button(QStringLiteral("Command5")))
    , Command6(button(QStringLiteral("Command6")))
    , Command7(button(QStringLiteral("Command7")))
    , Command8(button(QStringLiteral("Command8")))
    , Command9(button(QStringLiteral("Command9")))
{
    connect(Command4, &CommandButton::Click, this, &DoloranForm::Command4_Click);
    connect(Command5, &CommandButton::Click, this, &DoloranForm::Command5_Click);
    connect(Command7, &CommandButton::Click, this, &DoloranForm::Command7_Click);
    connect(Command8, &CommandButton::Click, this, &DoloranForm::Command8_Click);
    connect(Command9, &CommandButton::Click, this, &DoloranForm::Command9_Click);
}

void DoloranForm::linearFilled()
{
    Command4->setEnabled(true);
    for (CommandButton *b : {Command5, Command7, Command8, Command9})
        b->setEnabled(false);
}

void DoloranForm::tableFilled()
{
    Command4->setEnabled(false);
    for (CommandButton *b : {Command5, Command7, Command8, Command9})
        b->setEnabled(true);
}

void DoloranForm::Form_Click()
{
    if (current == Current::Linear)
        showExtremeLinear(Extreme::Minimum, true);
    else
        Text1->hide();
    if (current == Current::Table) {
        showExtremeTable(Extreme::Minimum);
        Text1->hide();
    } else {
        Text1->show();
    }
}

void DoloranForm::Command4_Click()
{
    const PrintState before = titleStyle(false);
    LabArrays &a = arrays();
    const std::optional<qint16> position = askOrRestore(QStringLiteral("№ удаляемого числа"), a.m(), before);
    if (!position)
        return;
    Cls();
    setFontUnderline(true);
    Print(LinearTitle);
    setFontUnderline(false);
    for (int e = 1; e <= a.m(); ++e) {
        setForeColor(e == *position ? MarkColor : PlainColor);
        Print(a.linear()[e], Separator::SameLine);
    }
    Print(QStringLiteral(" Исходный массив"));
    Print();
    traced(LabCode::Operation::DeleteElement, Command4->Caption(), *position,
           [&](LabObserver *o) { a.deleteElement(*position, o); });
    setForeColor(PlainColor);
    Print();
    printLinear();
    Print(QStringLiteral(" Новый массив"));
    current = Current::Linear;
    Command4->setEnabled(true);
    Command7->setEnabled(false);
}

void DoloranForm::printTableMarking(Line line, qint16 at)
{
    const LabArrays &a = arrays();
    for (int row = 1; row <= a.n(); ++row) {
        for (int column = 1; column <= a.m(); ++column) {
            const bool marked = line == Line::Column ? column == at : row == at;
            setForeColor(marked ? MarkColor : PlainColor);
            Print(a.table()[row][column], Separator::SameLine);
        }
        Print();
    }
}

void DoloranForm::printSourceTable(Line line, qint16 at)
{
    Cls();
    setFontUnderline(true);
    Print(TableTitle);
    setFontItalic(false);
    setFontUnderline(false);
    setForeColor(MarkColor);
    Print(QStringLiteral(" Исходный массив"));
    printTableMarking(line, at);
}

void DoloranForm::deleteLine(Line line)
{
    const PrintState before = titleStyle(true); // a cancel puts back the italic of the table title too
    LabArrays &a = arrays();
    const std::optional<qint16> position = line == Line::Column
        ? askOrRestore(QStringLiteral("№ удаляемого столбца"), a.m(), before)
        : askOrRestore(QStringLiteral("№ удаляемой строки"), a.n(), before);
    if (!position)
        return;
    printSourceTable(line, *position);
    if (line == Line::Row)
        Print();
    if (line == Line::Column)
        traced(LabCode::Operation::DeleteColumn, Command5->Caption(), *position,
               [&](LabObserver *o) { a.deleteColumn(*position, o); });
    else
        traced(LabCode::Operation::DeleteRow, Command7->Caption(), *position,
               [&](LabObserver *o) { a.deleteRow(*position, o); });
    setForeColor(PlainColor);
    Print();
    Print(QStringLiteral(" Новый массив"));
    printTable();
    current = Current::Table;
    Command4->setEnabled(false);
    Command5->setEnabled(true);
    if (line == Line::Row)
        Command7->setEnabled(true);
}

void DoloranForm::Command5_Click()
{
    deleteLine(Line::Column);
}

void DoloranForm::Command7_Click()
{
    deleteLine(Line::Row);
}

void DoloranForm::insertLine(Line line)
{
    const PrintState before = titleStyle(true);
    LabArrays &a = arrays();
    if (line == Line::Column ? !a.canInsertColumn() : !a.canInsertRow()) {
        // The message goes below the table the pupil is looking at.
        setForeColor(MarkColor);
        setFontItalic(false);
        Print(line == Line::Column ? QStringLiteral("В таблице уже 40 столбцов - вставить ещё один нельзя.")
                                   : QStringLiteral("В таблице уже 40 строк - вставить ещё одну нельзя."));
        setPrintState(before);
        return;
    }
    const std::optional<qint16> position = line == Line::Column
        ? askOrRestore(QStringLiteral("№ вставляемого столбца"), qint16(a.m() + 1), before)
        : askOrRestore(QStringLiteral("№ вставляемой строки"), qint16(a.n() + 1), before);
    if (!position)
        return;
    const qint16 at = LabArrays::insertPlace(*position);
    printSourceTable(line, at);
    Print();
    // The position as typed: the code shown puts one before the first at the first.
    if (line == Line::Column)
        traced(LabCode::Operation::InsertColumn, Command8->Caption(), *position,
               [&](LabObserver *o) { a.insertColumn(*position, o); });
    else
        traced(LabCode::Operation::InsertRow, Command9->Caption(), *position,
               [&](LabObserver *o) { a.insertRow(*position, o); });
    setForeColor(MarkColor);
    Print();
    Print(QStringLiteral(" Новый массив"));
    printTableMarking(line, at);
    current = Current::Table;
    Command4->setEnabled(false);
    Command5->setEnabled(true);
}

void DoloranForm::Command8_Click()
{
    insertLine(Line::Column);
}

void DoloranForm::Command9_Click()
{
    insertLine(Line::Row);
}
