// Circle-against-rectangle contact with reflection about the contact normal.
#pragma once
#include <cstdint>

#include "core/world.h"

// The circle that stands for the ball in every contact test.
struct Circle {
  double cx, cy, r;
};

enum RegionBits : int32_t { RegionBottom = 1, RegionLeft = 2, RegionTop = 4, RegionRight = 8 };

int32_t edgeCross(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by);
int32_t regionCode(int32_t px, int32_t py, int32_t left, int32_t top, int32_t right, int32_t bottom);
Circle contactCircle();
int32_t circleRebound(double cx, double cy, double r, double& vx, double& vy, Rect rect);
int32_t batRebound();
void blockRebounds();
