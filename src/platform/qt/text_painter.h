// The game's text in Qt's rasteriser, drawn into the software surface's
// pixels: every shape is the surface's own, the same on every platform.
#pragma once
#include <cstdint>
#include <string_view>

#include "render/surface.h"

void paintText(uint32_t* pixels, int32_t width, int32_t height, const Rect& clip, const Rect& r, std::string_view text,
               TextAlign align, const Font& font, Color color);
