#include "form/Cmacro3.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "form/TagPicker.h"
#include "macros/MacroDialogs.h"

namespace morvane::form {

Cmacro3::Cmacro3(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Edit SendNR for contest"));
    auto* column = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(text, this);
    column->addWidget(text_);
    list_ = MakeTagList(this, macros::SendNrTagList());
    column->addWidget(list_);
    ConnectTagList(list_, text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    text_->setFocus();
}

QString Cmacro3::Text() const {
    return text_->toPlainText();
}

}  // namespace morvane::form
