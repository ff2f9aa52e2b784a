// vantrel-compare-frames: compares two screenshots of the game's window
// pixel by pixel over the play field, and over the panel outside the band its
// text is drawn in (a system draws text in its own face). Exit code 0 when
// they agree, 1 when they differ, 2 when a file cannot be read.
#include <QImage>
#include <cstdio>

#include "core/world.h"

namespace {

struct Compared {
  const char* name;
  Rect rect;
  Rect excluded;  // inside rect, not compared
};

bool inside(const Rect& r, int x, int y) { return r.left <= x && x < r.right && r.top <= y && y < r.bottom; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vantrel-compare-frames EXPECTED.png ACTUAL.png\n");
    return 2;
  }
  const QImage expected(QString::fromLocal8Bit(argv[1])), actual(QString::fromLocal8Bit(argv[2]));
  for (const auto& [image, path] : {std::pair{&expected, argv[1]}, std::pair{&actual, argv[2]}}) {
    if (image->isNull()) {
      std::fprintf(stderr, "vantrel-compare-frames: cannot read the image %s\n", path);
      return 2;
    }
  }
  computeLayout({0, 0, expected.width(), expected.height()});
  const Rect& p = world.panelRect;
  const Compared areas[] = {
      {"field", world.fieldRect, {}},
      {"panel", p, {p.left + 10, p.top + 10, p.right - 10, p.bottom - 10}},
  };
  int differences = 0;
  for (const Compared& a : areas) {
    int count = 0;
    for (int y = a.rect.top; y < a.rect.bottom; ++y) {
      for (int x = a.rect.left; x < a.rect.right; ++x) {
        if (inside(a.excluded, x, y) || !actual.valid(x, y)) {
          count += !actual.valid(x, y);
          continue;
        }
        const QRgb e = expected.pixel(x, y) & 0xFFFFFF, g = actual.pixel(x, y) & 0xFFFFFF;
        if (e == g) continue;
        if (count++ == 0) std::printf("%s: first difference at (%d, %d): %06X, not %06X\n", a.name, x, y, g, e);
      }
    }
    std::printf("%s: %d pixels differ\n", a.name, count);
    differences += count;
  }
  return differences == 0 ? 0 : 1;
}
