#pragma once

#include <QByteArray>
#include <optional>

// Eight-bit RGB pixels, row after row, three bytes a pixel.
struct RgbImage {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};

// Decodes a JPEG photo; empty, truncated or foreign data gives nothing, never a crash. With a
// minimum size the picture may come out smaller than stored, but never below that size.
std::optional<RgbImage> decodeJpeg(const QByteArray& data, int minWidth = 0, int minHeight = 0);
// Encodes pixels as a baseline JPEG of the given quality (1 to 100).
QByteArray encodeJpeg(const RgbImage& image, int quality = 85);
