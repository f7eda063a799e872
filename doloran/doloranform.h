#pragma once

#include "labform.h"

// The array-editing lab: deleting an element, a row or a column, and
// inserting a row or a column of 100s.
class DoloranForm : public LabForm
{
    Q_OBJECT

public:
    explicit DoloranForm(QWidget *parent = nullptr);

    static LabDesign windowDesign();

    CommandButton *Command1;
    CommandButton *Command2;
    CommandButton *Command3;
    CommandButton *Command4;
    CommandButton *Command5;
    CommandButton *Command6;
    CommandButton *Command7;
    CommandButton *Command8;
    CommandButton *Command9;

    void Command4_Click(); // delete element
    void Command5_Click(); // delete column
    void Command7_Click(); // delete row
    void Command8_Click(); // insert column
    void Command9_Click(); // insert row

protected:
    void Form_Click() override;
    void linearFilled() override;
    void tableFilled() override;

private:
    enum class Line { Column, Row };
    void deleteLine(Line line);
    void insertLine(Line line);
    void printTableMarking(Line line, qint16 at); // line at in the mark colour
    // The title, " Исходный массив" and the table with line at marked.
    void printSourceTable(Line line, qint16 at);
};
