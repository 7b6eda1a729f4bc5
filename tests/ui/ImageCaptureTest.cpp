#include "ui/ImageCapture.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(ImageCaptureTest, RowsAreStoredBottomFirstAsBlueGreenRedZero) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(0, 0, QColor(255, 0, 0)); // top left
    image.setPixelColor(2, 1, QColor(1, 2, 3));   // bottom right

    const Dib dib = DibFromImage(image);
    ASSERT_EQ(dib.Width(), 3);
    ASSERT_EQ(dib.Height(), 2);
    ASSERT_EQ(dib.BitCount(), 32);
    const uint8_t* bottom = dib.Pixels();
    const uint8_t* top = dib.Pixels() + dib.RowStride();
    EXPECT_EQ(bottom[8], 3);
    EXPECT_EQ(bottom[9], 2);
    EXPECT_EQ(bottom[10], 1);
    EXPECT_EQ(bottom[11], 0);
    EXPECT_EQ(top[0], 0);
    EXPECT_EQ(top[1], 0);
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[3], 0);
    EXPECT_EQ(top[4], 30);
}
