#include "toolbar/EmbossedImage.h"

namespace tarnwick {

namespace {

// Pixels lighter than this read as part of the face, so white details stay engraved.
constexpr int kLightGray = 192;
constexpr int kOpaqueAlpha = 128;

bool IsInk(QRgb pixel) {
    return qAlpha(pixel) >= kOpaqueAlpha && qGray(pixel) < kLightGray;
}

}  // namespace

QImage EmbossedImage(const QImage& picture, const QColor& highlight, const QColor& shadow) {
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_ARGB32);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    result.fill(Qt::transparent);
    const QRgb highlightRgb = highlight.rgba();
    const QRgb shadowRgb = shadow.rgba();
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (IsInk(source.pixel(x, y)) && x + 1 < source.width() && y + 1 < source.height()) {
                result.setPixel(x + 1, y + 1, highlightRgb);
            }
        }
    }
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (IsInk(source.pixel(x, y))) {
                result.setPixel(x, y, shadowRgb);
            }
        }
    }
    return result;
}

}  // namespace tarnwick
