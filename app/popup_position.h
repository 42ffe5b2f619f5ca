// Where the help popup opens.
#pragma once

#include <QPoint>
#include <QSize>

// Where a popup of `size` (its frame included) opens beside the mouse
// `cursor`: above and to the left of it where there is room, else below or
// to the right, so that it never covers the point clicked.
QPoint PopupPosition(QPoint cursor, QSize size);
