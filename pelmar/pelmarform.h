#pragma once

#include "labform.h"

// The search-and-sort lab: the minimum and maximum marked and counted, and an
// exchange sort of the linear array or of the whole table.
class PelmarForm : public LabForm
{
    Q_OBJECT

public:
    explicit PelmarForm(QWidget *parent = nullptr);

    static LabDesign windowDesign();

    CommandButton *Command1;
    CommandButton *Command2;
    CommandButton *Command3;
    CommandButton *Command4;
    CommandButton *Command5;
    CommandButton *Command7;
    CommandButton *Command8;
    CommandButton *Command9;

    void sortLinear(); // "сорт1"
    void sortTable();  // "сорт2"

protected:
    void Form_Click() override;
    void linearFilled() override;
    void tableFilled() override;

private:
    void setSortTextState();
};
