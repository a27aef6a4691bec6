#pragma once

#include <QColor>
#include <QImage>

namespace tarnwick {

// The engraved look of a disabled button's picture: its dark, opaque pixels (the light ones
// count as background, as on a button face) drawn in the shadow colour, with a highlight copy
// one pixel right and down beneath them. The result has the picture's size and is transparent
// elsewhere.
QImage EmbossedImage(const QImage& picture, const QColor& highlight, const QColor& shadow);

}  // namespace tarnwick
