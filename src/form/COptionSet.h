// The Option Set dialog: widgets over OptionDialogModel, which owns the
// working option string and every rule about what a click writes.
#pragma once

#include <QDialog>
#include <array>

#include "settings/OptionDialog.h"

class QAbstractButton;
class QLineEdit;
class QSpinBox;

namespace morvane::form {

class COptionSet final : public QDialog {
    Q_OBJECT
  public:
    COptionSet(std::string_view options, const settings::OptionTexts& texts,
               QWidget* parent = nullptr);

    std::string Options() const { return model_.Working(); }
    settings::OptionTexts Texts() const;

    // For tests and the keyboard handling: the widget of a control or field.
    QAbstractButton* Button(settings::OptionControl control) const;
    QLineEdit* Field(settings::OptionField field) const;
    QSpinBox* HourSpin(settings::GreetingHour hour) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void Refresh();

    settings::OptionDialogModel model_;
    std::array<QAbstractButton*, static_cast<int>(settings::OptionControl::Count)> buttons_{};
    std::array<QLineEdit*, 7> fields_{};
    std::array<QSpinBox*, 3> hours_{};
};

}  // namespace morvane::form
