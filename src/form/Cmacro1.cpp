#include "form/Cmacro1.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "form/TagPicker.h"
#include "macros/MacroDialogs.h"

namespace morvane::form {

QColor MacroColour(int colour) {
    static constexpr QRgb kPalette[6] = {qRgb(0, 0, 0),     qRgb(0, 0, 255), qRgb(0, 255, 0),
                                         qRgb(0, 255, 255), qRgb(255, 0, 0), qRgb(255, 0, 255)};
    return QColor(kPalette[colour >= 0 && colour < 6 ? colour : 0]);
}

Cmacro1::Cmacro1(int macro, bool contest, const QString& text, const QString& caption, int colour,
                 QWidget* parent)
    : QDialog(parent), colour_(colour) {
    setWindowTitle(QStringLiteral("Macro　編集"));
    auto* grid = new QGridLayout(this);
    heading_ =
        new QLineEdit(QString::fromStdString(macros::MacroDialogHeading(macro, contest)), this);
    heading_->setReadOnly(true);
    grid->addWidget(heading_, 0, 0, 1, 2);

    text_ = new QPlainTextEdit(text, this);
    grid->addWidget(text_, 1, 0, 1, 4);

    const auto macroTags = macros::MacroTagList(macros::IsContestHeading(Heading().toStdString()));
    lists_[0] = MakeTagList(this, macroTags);
    lists_[1] = MakeTagList(this, macros::SpeedTagList());
    lists_[2] = MakeTagList(this, macros::RatioTagList());
    lists_[3] = MakeTagList(this, macros::SpaceTagList());
    const char* listCaptions[4] = {"Macro", "Speed", "Ratio", "Space"};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(listCaptions[i]), this), 2, i);
        grid->addWidget(lists_[i], 3, i);
        ConnectTagList(lists_[i], text_);
    }

    captionButton_ = new QPushButton(QStringLiteral("Caption"), this);
    caption_ = new QLineEdit(caption, this);
    grid->addWidget(captionButton_, 4, 0);
    grid->addWidget(caption_, 4, 1, 1, 3);
    connect(captionButton_, &QPushButton::clicked, this, [this] {
        colour_ = macros::NextCaptionColour(colour_);
        PaintCaption();
    });
    PaintCaption();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 5, 0, 1, 4);
    text_->setFocus();
}

QString Cmacro1::Heading() const {
    return heading_->text();
}
QString Cmacro1::Text() const {
    return text_->toPlainText();
}
QString Cmacro1::Caption() const {
    return caption_->text();
}

void Cmacro1::PaintCaption() {
    QPalette palette = caption_->palette();
    palette.setColor(QPalette::Text, MacroColour(colour_));
    caption_->setPalette(palette);
}

}  // namespace morvane::form
