#include "render/drawing_objects.h"

const Pen blackPen{{0, 0, 0}};
const Pen whitePen{{255, 255, 255}};
const Brush whiteBrush{{255, 255, 255}};
const Brush blackBrush{{0, 0, 0}};
const Brush greenBrush{{0, 200, 0}};
const Brush redBrush{{200, 0, 0}};
const Brush blueBrush{{0, 0, 200}};
const Brush zoneBrush{{64, 15, 15}};

const std::array<Brush, fadeLength> fadeBrushes = [] {
  std::array<Brush, fadeLength> brushes{};
  for (int i = 0; i < fadeLength; ++i) {
    const auto grey = static_cast<uint8_t>(5 * i);
    brushes[i] = Brush{{grey, grey, grey}};
  }
  return brushes;
}();

const Font panelFont{"Verdana", 20, 500};
const Color textColor{255, 255, 0};

const Brush& blockBrush(BlockBrush brush) {
  switch (brush) {
    case BrushRed: return redBrush;
    case BrushBlack: return blackBrush;
    default: return greenBrush;
  }
}
