// The few drawing operations the game's frames are made of. A platform
// implements them on its own images; the tests record them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/world.h"

struct Color {
  uint8_t r, g, b;
  bool operator==(const Color&) const = default;
};

struct Pen {  // solid, one pixel wide
  Color color;
  bool operator==(const Pen&) const = default;
};

struct Brush {  // solid fill
  Color color;
  bool operator==(const Brush&) const = default;
};

struct Font {
  const char* face;
  int32_t height;  // pixel height of the character cell
  int32_t weight;
};

enum TextAlign : int32_t { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };

// The pixels a surface draws into: each one a 0x??RRGGBB word (the top byte
// is the platform's and means nothing), rows stride pixels apart, top row
// first. Every window keeps its client image in this form.
struct PixelImage {
  const uint32_t* pixels;
  int32_t width, height, stride;
  uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * stride + x] & 0xFFFFFF; }
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  // A new black image of the size, at least one pixel each way.
  virtual void resize(int32_t width, int32_t height) = 0;
  // The image with everything drawn so far.
  virtual PixelImage image() = 0;
  // Nothing outside the clip rectangle changes until the next call.
  virtual void setClip(const Rect& clip) = 0;
  // Filled with the brush, with a one-pixel outline in the pen on its outermost pixels.
  virtual void rectangle(const Rect& r, const Pen& pen, const Brush& brush) = 0;
  // Filled with the brush, no outline.
  virtual void fillRect(const Rect& r, const Brush& brush) = 0;
  // The ellipse inscribed in r: a one-pixel rim in the pen, filled with the brush.
  virtual void ellipse(const Rect& r, const Pen& pen, const Brush& brush) = 0;
  // One line at the top of r, aligned within it and cut off at its edges;
  // transparent background.
  virtual void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) = 0;
};
