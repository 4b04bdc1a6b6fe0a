#include "form/Prompter.h"

namespace morvane::form {

void MessageBoxPrompter::Inform(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Morvane"), text);
}

Prompter::Answer MessageBoxPrompter::AskYesNoCancel(QWidget* parent, const QString& text) {
    const auto button = QMessageBox::question(
        parent, QStringLiteral("Morvane"), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

}  // namespace morvane::form
