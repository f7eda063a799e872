#include "inputprovider.h"

#include <QGuiApplication>
#include <QInputDialog>

std::optional<QString> InputProvider::ask(QWidget *parent, const QString &prompt)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QGuiApplication::applicationDisplayName());
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
