#include "ui/ImageCapture.h"

#include "ui/ProgramSettings.h"
#include "view/ViewState.h"

#include <QImage>

#include <cstring>

namespace {

// The view is shown opaque: the window presents its colour channels as drawn and composes its
// alpha with nothing. A framebuffer read back is labelled premultiplied, and converting it to an
// opaque format would divide the colours by that alpha (a transparent body turned almost white).
// Labelling the same bytes as straight alpha first makes the conversion keep the colours and only
// drop the alpha.
QImage AsStraightAlpha(const QImage& image) {
    QImage relabelled = image;
    switch (image.format()) {
    case QImage::Format_ARGB32_Premultiplied:
        relabelled.reinterpretAsFormat(QImage::Format_ARGB32);
        break;
    case QImage::Format_RGBA8888_Premultiplied:
        relabelled.reinterpretAsFormat(QImage::Format_RGBA8888);
        break;
    case QImage::Format_RGBA64_Premultiplied:
        relabelled.reinterpretAsFormat(QImage::Format_RGBA64);
        break;
    default:
        break;
    }
    return relabelled;
}

} // namespace

CapturedImage CapturedImageFromQImage(const QImage& image) {
    // RGB32 keeps each pixel as 0xffRRGGBB, which is blue, green, red, 0xff in memory order.
    const QImage rgb = AsStraightAlpha(image).convertToFormat(QImage::Format_RGB32);
    CapturedImage dib = CapturedImage::Create(rgb.width(), rgb.height(), 32);
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

bool SavedImageShowsSelection() {
    return OpenProgramSettings()
        ->value(QString::fromLatin1(kSavedImageSelectionKey), false)
        .toBool();
}

CapturedImage CaptureWithoutSelection(ViewState& view, const std::function<QImage()>& grab) {
    const ViewState kept = view;
    view.ClearSelection();
    const QImage image = grab();
    view = kept;
    return CapturedImageFromQImage(image);
}
