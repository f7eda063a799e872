#pragma once

#include <QString>

#include <optional>

class QWidget;

// Asks the user for one line of text. The standard provider shows a modal
// dialog; tests put a ScriptedInput in its place. No value means cancelled.
class InputProvider
{
public:
    virtual ~InputProvider() = default;
    virtual std::optional<QString> ask(QWidget *parent, const QString &prompt);
};
