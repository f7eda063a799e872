#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// What differs between the two labs' windows.
struct LabDesign
{
    struct Button
    {
        QString name;
        QString caption;
        QString fontFamily; // empty: the window's own font, regular
        qreal fontSize = 0;
    };
    struct Place
    {
        QString control;
        int dx;
        int dy;
    };

    QString caption;
    QString iconName; // the lab's own resources hold :/NAME/NAME-16.png and -32.png
    quint32 backColor = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int text1Left = 0; // where the clock box starts; the layout may move it
    int text1Top = 0;
    int text1Width = 0;
    std::optional<quint32> text1BackColor;
    std::optional<quint32> text1ForeColor;
    QVector<Button> buttons;     // in tab order
    int text1TabIndex = 0;       // the clock box's place in the tab order
    QVector<Place> layout;       // distances from the lower right corner
    QStringList disabledAtStart; // in the order they are disabled
    QString sizeInput;           // the button that asks for m and n
};
