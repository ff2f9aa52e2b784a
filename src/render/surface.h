// The few drawing operations the game's frames are made of. A platform
// implements them on its own images; the tests record them.
#pragma once
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

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
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
