// The macro dialog: text, caption and caption colour of one macro, with the
// four tag lists. The caller stores what changed after OK.
#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QPushButton;

namespace morvane::form {

// The six caption colours by number.
QColor MacroColour(int colour);

class Cmacro1 final : public QDialog {
    Q_OBJECT
  public:
    Cmacro1(int macro, bool contest, const QString& text, const QString& caption, int colour,
            QWidget* parent = nullptr);

    QString Heading() const;
    QString Text() const;
    QString Caption() const;
    int Colour() const { return colour_; }

    QPlainTextEdit* TextEdit() const { return text_; }
    QComboBox* MacroList() const { return lists_[0]; }
    QPushButton* CaptionButton() const { return captionButton_; }

  private:
    void PaintCaption();

    QLineEdit* heading_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLineEdit* caption_ = nullptr;
    QPushButton* captionButton_ = nullptr;
    QComboBox* lists_[4] = {};
    int colour_ = 0;
};

}  // namespace morvane::form
