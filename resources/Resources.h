// What the program carries inside itself: the application icon and the placeholder picture that
// both image views show at start.
#pragma once

#include <QByteArray>
#include <QIcon>

// The page with lines of text and a chart of three bars, in 16 x 16 and 32 x 32 pixels.
QIcon ApplicationIcon();
// The placeholder: a 300 x 300 baseline JPEG file, as bytes.
QByteArray PlaceholderJpeg();
