// A horizontal slider that can mark a selection range below its groove, as
// the speed and input-volume sliders mark their starting position: a band
// from the first to the last selected value with a small triangle at each end.
#pragma once

#include <QSlider>

namespace morvane::form {

class SelectionSlider final : public QSlider {
    Q_OBJECT
  public:
    explicit SelectionSlider(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}

    // Values outside the range are kept to it; an empty range (low > high)
    // shows no mark.
    void SetSelection(int low, int high);
    int SelectionStart() const { return selectionStart_; }
    int SelectionEnd() const { return selectionEnd_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int XOf(int value) const;

    int selectionStart_ = 0;
    int selectionEnd_ = -1;
};

}  // namespace morvane::form
