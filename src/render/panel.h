// The information panel beside the field: figures, end messages, high scores, name prompt.
#pragma once
#include "render/surface.h"

void drawPanel(DrawingSurface& surface);
