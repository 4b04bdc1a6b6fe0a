// The SendNR dialog of the contest mode: the template of the sent number.
#pragma once

#include <QDialog>

class QComboBox;
class QPlainTextEdit;

namespace morvane::form {

class Cmacro3 final : public QDialog {
    Q_OBJECT
  public:
    explicit Cmacro3(const QString& text, QWidget* parent = nullptr);

    QString Text() const;
    QPlainTextEdit* TextEdit() const { return text_; }
    QComboBox* List() const { return list_; }

  private:
    QPlainTextEdit* text_ = nullptr;
    QComboBox* list_ = nullptr;
};

}  // namespace morvane::form
