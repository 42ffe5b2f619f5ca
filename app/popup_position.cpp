#include "app/popup_position.h"

QPoint PopupPosition(QPoint cursor, QSize size) {
  int y = cursor.y() - size.height();
  const bool below = y <= 0;
  if (below) y = cursor.y();
  int x = cursor.x() - size.width() - (below ? 2 : 0);
  if (x <= 0) x = cursor.x() + (below ? 8 : 0);
  return {x, y};
}
