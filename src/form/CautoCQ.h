// The Auto CQ dialog: the repeated text, its tag list and the interval and
// repeat spinners.
#pragma once

#include <QDialog>

class QComboBox;
class QPlainTextEdit;
class QSpinBox;

namespace morvane::form {

class CautoCQ final : public QDialog {
    Q_OBJECT
  public:
    // `times` is the stored "IIRR" text.
    CautoCQ(const QString& text, const QString& times, bool contest, QWidget* parent = nullptr);

    QString Text() const;
    // "IIRR" from the spinners.
    QString Times() const;
    QPlainTextEdit* TextEdit() const { return text_; }
    QComboBox* List() const { return list_; }
    QSpinBox* IntervalSpin() const { return interval_; }
    QSpinBox* RepeatSpin() const { return repeat_; }

  private:
    QPlainTextEdit* text_ = nullptr;
    QComboBox* list_ = nullptr;
    QSpinBox* interval_ = nullptr;
    QSpinBox* repeat_ = nullptr;
};

}  // namespace morvane::form
