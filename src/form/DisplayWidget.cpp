#include "form/DisplayWidget.h"

#include <QPainter>

namespace morvane::form {

namespace {

QPen PenFor(receive::Ink ink) {
    switch (ink) {
        case receive::Ink::Grid:
            return QPen(QColor(128, 128, 128), 0, Qt::DotLine);
        case receive::Ink::Marker:
            return QPen(QColor(255, 0, 0), 0);
        case receive::Ink::Trace:
            break;
    }
    return QPen(QColor(0, 255, 0), 0);
}

}  // namespace

DisplayWidget::DisplayWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DisplayWidget::SetPicture(const receive::DisplayPicture& picture) {
    picture_ = picture;
    ++shown_;
    update();
}

void DisplayWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_.Width < 2 || picture_.Height < 2)
        return;
    painter.scale(static_cast<double>(width()) / picture_.Width,
                  static_cast<double>(height()) / picture_.Height);
    for (const auto& line : picture_.Lines) {
        painter.setPen(PenFor(line.Pen));
        painter.drawLine(line.From.x, line.From.y, line.To.x, line.To.y);
    }
}

}  // namespace morvane::form
