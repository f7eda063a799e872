#include "forms/inputprovider.h"

#include <QCoreApplication>
#include <QInputDialog>

std::optional<QString> InputProvider::ask(QWidget *parent, const QString &prompt)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::applicationName());
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    // Set here, not left to a translation, so they read right on any system.
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
