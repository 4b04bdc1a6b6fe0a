#include "form/Prompter.h"

#include <QDialog>
#include <QFileDialog>

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

int MessageBoxPrompter::Run(QDialog& dialog) {
    return dialog.exec();
}

namespace {
const QString kFilter = QStringLiteral("Morvane Files (*.mrvn)");
}

QString MessageBoxPrompter::OpenFileName(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), kFilter);
}

QString MessageBoxPrompter::SaveFileName(QWidget* parent, const QString& suggested) {
    QString name = QFileDialog::getSaveFileName(parent, QString(), suggested, kFilter);
    if (!name.isEmpty() && !name.endsWith(QStringLiteral(".mrvn")))
        name += QStringLiteral(".mrvn");
    return name;
}

}  // namespace morvane::form
