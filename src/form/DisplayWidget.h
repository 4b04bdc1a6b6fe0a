// Paints one display picture (the level or tone display model's lines) onto
// a black area. The model works in its own pixel size; the widget stretches
// that to its own size, so a resized or high-DPI form shows the same picture.
// Clicks pass through to the form, which owns the hit test.
#pragma once

#include <QWidget>

#include "receive/ReceiveTypes.h"

namespace morvane::form {

class DisplayWidget final : public QWidget {
    Q_OBJECT
  public:
    explicit DisplayWidget(QWidget* parent = nullptr);

    void SetPicture(const receive::DisplayPicture& picture);
    const receive::DisplayPicture& Picture() const { return picture_; }
    // Pictures shown since construction; the form's block-rate check reads it.
    quint64 PicturesShown() const { return shown_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    receive::DisplayPicture picture_;
    quint64 shown_ = 0;
};

}  // namespace morvane::form
