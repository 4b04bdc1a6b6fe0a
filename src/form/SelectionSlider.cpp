#include "form/SelectionSlider.h"

#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace morvane::form {

void SelectionSlider::SetSelection(int low, int high) {
    selectionStart_ = std::clamp(low, minimum(), maximum());
    selectionEnd_ = low > high ? selectionStart_ - 1 : std::clamp(high, minimum(), maximum());
    update();
}

// The centre of the handle when the slider stands at `value`.
int SelectionSlider::XOf(int value) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    return groove.x() + handle.width() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), value, span);
}

void SelectionSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (selectionEnd_ < selectionStart_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    const int left = XOf(selectionStart_);
    const int right = XOf(selectionEnd_);
    const int top = 1;
    const int size = std::max(3, height() / 6);
    if (right > left)
        painter.drawRect(left, top, right - left, 2);
    for (int x : {left, right})
        painter.drawPolygon(
            QPolygon({QPoint(x - size, top), QPoint(x + size, top), QPoint(x, top + size)}));
}

}  // namespace morvane::form
