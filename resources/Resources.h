// What the program carries inside itself: the application icon and the placeholder picture that
// both image views show at start.
#pragma once

#include <QByteArray>
#include <QIcon>

// The sizes in pixels at which the icon is drawn; the desktop entry's icons are the same pictures.
inline constexpr int IconSizes[] = {16, 32, 48, 64, 128, 256};

// The page with lines of text and a chart of three bars, at each of the IconSizes.
QIcon ApplicationIcon();
// The placeholder: a 300 x 300 baseline JPEG file, as bytes.
QByteArray PlaceholderJpeg();
