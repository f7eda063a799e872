#include "pelmarform.h"

#include "forms/commandbutton.h"
#include "forms/textbox.h"

LabDesign PelmarForm::windowDesign()
{
    const QString sans = QStringLiteral("MS Sans Serif");
    LabDesign d;
    d.iconName = QStringLiteral("pelmar");
    d.caption = QStringLiteral("Pelmar");
    d.backColor = 0x00FFFFC0;
    d.clientWidth = 8880;
    d.clientHeight = 7965;
    d.buttonWidth = 1095;
    d.buttonHeight = 495;
    d.text1Width = 2415;
    d.text1BackColor = 0x00800080;
    d.text1ForeColor = 0x0000FF00;
    d.buttons = {
        {QStringLiteral("Command1"), QStringLiteral("Массив1"), sans, 9.75},
        {QStringLiteral("Command2"), QStringLiteral("Массив2"), sans, 9.75},
        {QStringLiteral("Command3"), QStringLiteral("Выход"), sans, 9.75},
        {QStringLiteral("Command4"), QStringLiteral("сорт1"), QString(), 0},
        {QStringLiteral("Command7"), QStringLiteral("Поиск min"), sans, 8.25},
        {QStringLiteral("Command8"), QStringLiteral("сорт2"), QString(), 0},
        {QStringLiteral("Command5"), QStringLiteral("Ввод m,n"), sans, 8.25},
        {QStringLiteral("Command9"), QStringLiteral("Поиск max"), sans, 8.25},
    };
    d.text1TabIndex = 7;
    d.layout = {
        {QStringLiteral("Command2"), 2650, 700},  {QStringLiteral("Command1"), 2650, 2100},
        {QStringLiteral("Command8"), 2650, 1300}, {QStringLiteral("Command4"), 2650, 2700},
        {QStringLiteral("Command7"), 1300, 2100}, {QStringLiteral("Command9"), 1300, 2700},
        {QStringLiteral("Command5"), 1300, 3500}, {QStringLiteral("Command3"), 1300, 700},
        {QStringLiteral("Text1"), 2600, 6600},    {QStringLiteral("ownArrayButton"), 2650, 3500},
        {QStringLiteral("stepsBox"), 2650, 4100},
    };
    d.disabledAtStart = {QStringLiteral("Command4"), QStringLiteral("Command8"), QStringLiteral("Command7"),
                         QStringLiteral("Command9"), QStringLiteral("Command1"), QStringLiteral("Command2")};
    d.sizeInput = QStringLiteral("Command5");
    return d;
}

PelmarForm::PelmarForm(QWidget *parent)
    : LabForm(windowDesign(), parent)
    , Command1(button(QStringLiteral("Command1")))
    , Command2(button(QStringLiteral("Command2")))
    , Command3(button(QStringLiteral("Command3")))
    , Command4(button(QStringLiteral("Command4")))
    , Command5(button(QStringLiteral("Command5")))
    , Command7(button(QStringLiteral("Command7")))
    , Command8(button(QStringLiteral("Command8")))
    , Command9(button(QStringLiteral("Command9")))
{
    connect(Command4, &CommandButton::Click, this, &PelmarForm::sortLinear);
    connect(Command8, &CommandButton::Click, this, &PelmarForm::sortTable);
    connect(Command7, &CommandButton::Click, this, [this] { showExtreme(Extreme::Minimum, Command7->Caption()); });
    connect(Command9, &CommandButton::Click, this, [this] { showExtreme(Extreme::Maximum, Command9->Caption()); });
}

void PelmarForm::linearFilled()
{
    Command4->setEnabled(true);
    Command8->setEnabled(false);
    Command7->setEnabled(true);
    Command9->setEnabled(true);
}

void PelmarForm::tableFilled()
{
    Command4->setEnabled(false);
    Command8->setEnabled(true);
    Command7->setEnabled(true);
    Command9->setEnabled(true);
}

void PelmarForm::Form_Click()
{
    showExtreme(Extreme::Minimum);
    if (!clockBoxShown) {
        Text1->show();
        clockBoxShown = true;
    } else {
        Text1->hide();
        clockBoxShown = false;
    }
}

void PelmarForm::setSortTextState()
{
    setFontSize(12);
    setFontBold(true);
    setFontUnderline(true);
    setForeColor(MarkColor);
}

void PelmarForm::sortLinear()
{
    setSortTextState();
    traced(LabCode::Operation::SortLinear, Command4->Caption(), 0, [this](LabObserver *o) { arrays().sortLinear(o); });
    Print();
    printLinear();
    current = Current::Linear;
}

void PelmarForm::sortTable()
{
    setSortTextState();
    traced(LabCode::Operation::SortTable, Command8->Caption(), 0, [this](LabObserver *o) { arrays().sortTable(o); });
    Print();
    printTable();
    current = Current::Table;
}
