// Where a window puts its own things, the same on every platform: the black
// borders around the game's picture, and the save notice beside the window.
#pragma once
#include <vector>

#include "core/world.h"

// The parts of the client area the picture leaves: at most four, none empty.
std::vector<Rect> bordersAround(const Rect& client, const Rect& picture);

// The notice's top left corner, so that it hides nothing of the game: right
// of the game window, else left of it, below or above it, the first place
// where the screen's work area holds the whole notice; right of it when
// none does. Rectangles are in screen pixels, the window's with its frame.
constexpr int32_t noticeGap = 8;
Point noticePlace(const Rect& workArea, const Rect& gameWindow, Point noticeSize);
