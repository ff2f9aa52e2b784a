// PNG screenshots decode, through Qt's own reader, to the pixels they were made from.
#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>
#include <cstring>
#include <vector>

#include "shell/screenshot.h"

namespace {

TEST(ScreenshotTest, EveryKindOfImageDecodesToItsPixels) {
  struct Case {
    int width, height;
    int noise;  // out of 100: pixels of a random colour among runs of one
  };
  // One pixel; odd sizes; runs longer than one match; noise that leaves no run.
  const Case cases[] = {{1, 1, 0}, {3, 2, 50}, {1000, 3, 0}, {70, 5, 100}, {632, 424, 2}};
  QRandomGenerator random(7);
  for (const Case& c : cases) {
    QImage image(c.width, c.height, QImage::Format_RGB32);
    image.fill(qRgb(64, 15, 15));
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        if (static_cast<int>(random.bounded(100)) < c.noise) image.setPixel(x, y, random.generate() | 0xFF000000);
      }
    }
    const std::string png = encodePng({reinterpret_cast<const uint32_t*>(image.constBits()), image.width(),
                                       image.height(), static_cast<int32_t>(image.bytesPerLine() / 4)});
    const QImage decoded = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image) << c.width << "x" << c.height;

    // Rows further apart than their pixels, as in a bitmap with padded rows.
    const int stride = c.width + 3;
    std::vector<uint32_t> padded(static_cast<size_t>(stride) * c.height, 0x12345678);
    for (int y = 0; y < c.height; ++y) std::memcpy(&padded[size_t(y) * stride], image.constScanLine(y), 4 * c.width);
    EXPECT_EQ(encodePng({padded.data(), c.width, c.height, stride}), png);
  }
}

}  // namespace
