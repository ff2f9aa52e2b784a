// The fixed pens, brushes and font the whole game draws with.
#pragma once
#include <array>

#include "core/world.h"
#include "render/surface.h"

extern const Pen blackPen, whitePen;
extern const Brush whiteBrush, blackBrush, greenBrush, redBrush, blueBrush, zoneBrush;
extern const std::array<Brush, fadeLength> fadeBrushes;  // entry i is grey 5 * i
extern const Font panelFont;
extern const Color textColor;

const Brush& blockBrush(BlockBrush brush);
