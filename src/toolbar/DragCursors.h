#pragma once

#include <QCursor>

namespace tarnwick {

// The pointer while a button is dragged over a bar that can take it.
QCursor DropCursor();
// The pointer while a dropped button would be removed.
QCursor RemoveCursor();

}  // namespace tarnwick
