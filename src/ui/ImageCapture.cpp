#include "ui/ImageCapture.h"

#include <QImage>

#include <cstring>

Dib DibFromImage(const QImage& image) {
    // RGB32 keeps each pixel as 0xffRRGGBB, which is blue, green, red, 0xff in memory order.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Dib dib = Dib::Create(rgb.width(), rgb.height(), 32);
    const std::size_t rowBytes = static_cast<std::size_t>(rgb.width()) * 4;
    for (int row = 0; row < rgb.height(); ++row) {
        uint8_t* target = dib.Pixels() + static_cast<std::size_t>(row) * dib.RowStride();
        std::memcpy(target, rgb.constScanLine(rgb.height() - 1 - row), rowBytes);
        for (std::size_t alpha = 3; alpha < rowBytes; alpha += 4) {
            target[alpha] = 0;
        }
    }
    return dib;
}
