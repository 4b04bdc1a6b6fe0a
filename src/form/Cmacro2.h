// The Remarks dialog of the contest mode: one template with its tag list and
// the digit-count warnings.
#pragma once

#include <QDialog>

class QComboBox;
class QPlainTextEdit;

namespace morvane::form {

class Prompter;

class Cmacro2 final : public QDialog {
    Q_OBJECT
  public:
    // `remarks` is 1 or 2.
    Cmacro2(int remarks, const QString& text, Prompter& prompter, QWidget* parent = nullptr);

    QString Text() const;
    QPlainTextEdit* TextEdit() const { return text_; }
    QComboBox* List() const { return list_; }

  private:
    Prompter& prompter_;
    QPlainTextEdit* text_ = nullptr;
    QComboBox* list_ = nullptr;
    std::string lastChosen_;
};

}  // namespace morvane::form
