#include "form/CautoCQ.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "form/TagPicker.h"
#include "macros/MacroDialogs.h"

namespace morvane::form {

CautoCQ::CautoCQ(const QString& text, const QString& times, bool contest, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Auto CQ 編集"));
    const std::string hidden = macros::AutoCqHiddenText(times.toStdString(), contest);
    auto* form = new QFormLayout(this);
    text_ = new QPlainTextEdit(text, this);
    form->addRow(text_);
    const auto tags = macros::AutoCqTagList(macros::IsContestHeading(hidden));
    list_ = MakeTagList(this, tags);
    // The list shows its name until an item is chosen.
    list_->setPlaceholderText(QStringLiteral("Macro"));
    list_->setCurrentIndex(-1);
    ConnectTagList(list_, text_);
    form->addRow(list_);
    const auto spinners = macros::SpinnersFromTimes(hidden);
    interval_ = new QSpinBox(this);
    interval_->setRange(1, 30);
    interval_->setValue(spinners.Interval);
    repeat_ = new QSpinBox(this);
    repeat_->setRange(1, 7);
    repeat_->setValue(spinners.Repeat);
    form->addRow(QStringLiteral("Interval"), interval_);
    form->addRow(QStringLiteral("Repeat"), repeat_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    text_->setFocus();
}

QString CautoCQ::Text() const {
    return text_->toPlainText();
}

QString CautoCQ::Times() const {
    return QString::fromStdString(macros::TimesFromSpinners(interval_->value(), repeat_->value()));
}

}  // namespace morvane::form
