// How the receive model's text maps onto the receive window's document.
#pragma once

#include <QColor>
#include <cstddef>
#include <string_view>

namespace morvane::form {

// The model character at a document position. The window shows "\r\n" as
// one paragraph break and counts a character beyond the BMP twice.
std::size_t ModelPosition(std::string_view modelText, int documentPosition);

// The colour of received text by its decoder's confidence (0..1): black from
// 0.9 up, then greyer down to RGB(170,170,170) at 0.1 and below. Greys no
// lighter than that stay readable on white, and a doubtful character fades
// without changing hue, so the red, blue and green of warnings, sent text and
// time stamps keep their meaning.
QColor ConfidenceColour(float confidence);

}  // namespace morvane::form
