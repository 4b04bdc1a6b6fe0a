#include "form/Cmacro2.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "form/Prompter.h"
#include "form/TagPicker.h"
#include "macros/MacroDialogs.h"

namespace morvane::form {

Cmacro2::Cmacro2(int remarks, const QString& text, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setWindowTitle(QStringLiteral("Remarks for contest"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("<Remarks%1>の編集").arg(remarks), this));
    text_ = new QPlainTextEdit(text, this);
    column->addWidget(text_);
    list_ = MakeTagList(this, macros::RemarksTagList(), macros::kRemarksInitialItem);
    column->addWidget(list_);
    connect(list_, &QComboBox::activated, this, [this](int index) {
        lastChosen_ = list_->itemText(index).toStdString();
        InsertTag(text_, lastChosen_);
    });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (const auto warning = macros::RemarksWidthWarning(Text().toStdString(), lastChosen_))
            prompter_.Inform(this, QString::fromStdString(*warning));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    text_->setFocus();
}

QString Cmacro2::Text() const {
    return text_->toPlainText();
}

}  // namespace morvane::form
