#include "physics/contact.h"

#include <algorithm>

namespace {

// 32-bit wrap-around arithmetic without signed overflow.
int32_t wrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
int32_t wrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// The overlap rule of the platform's rectangle intersection.
bool overlaps(const Rect& a, const Rect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

struct Normal {
  double nx, ny;
};

Normal contactNormal(int32_t code, double cx, double cy, double r, const Rect& rect) {
  switch (code) {
    case RegionRight: return {cx - rect.right, 0.0};
    case RegionLeft: return {cx - rect.left, 0.0};
    case RegionTop: return {0.0, cy - rect.top};
    case RegionBottom: return {0.0, cy - rect.bottom};
    case RegionTop | RegionRight: return {cx - rect.right, cy - rect.top};
    case RegionTop | RegionLeft: return {cx - rect.left, cy - rect.top};
    case RegionBottom | RegionRight: return {cx - rect.right, cy - rect.bottom};
    case RegionBottom | RegionLeft: return {cx - rect.left, cy - rect.bottom};
    default: return {r, 0.0};  // inside: as a contact on the right side
  }
}

}  // namespace

int32_t edgeCross(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  return wrapSub(wrapMul(wrapSub(py, ay), wrapSub(bx, ax)), wrapMul(wrapSub(px, ax), wrapSub(by, ay)));
}

// Walks the edges from bottom-right to top-right, top-left, bottom-left and back.
int32_t regionCode(int32_t px, int32_t py, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  int32_t code = edgeCross(px, py, right, bottom, right, top) > 0;
  code = code * 2 + (edgeCross(px, py, right, top, left, top) > 0);
  code = code * 2 + (edgeCross(px, py, left, top, left, bottom) > 0);
  code = code * 2 + (edgeCross(px, py, left, bottom, right, bottom) > 0);
  return code;
}

Circle contactCircle() {
  const int32_t half = world.ballSize / 2;
  return {static_cast<double>(static_cast<int32_t>(world.ballX) + half),
          static_cast<double>(static_cast<int32_t>(world.ballY) + half), static_cast<double>(half)};
}

int32_t circleRebound(double cx, double cy, double r, double& vx, double& vy, Rect rect) {
  const Rect box{static_cast<int32_t>(cx - r), static_cast<int32_t>(cy - r), static_cast<int32_t>(cx + r),
                 static_cast<int32_t>(cy + r)};
  if (!overlaps(box, rect)) return 0;
  const int32_t code =
      regionCode(static_cast<int32_t>(cx), static_cast<int32_t>(cy), rect.left, rect.top, rect.right, rect.bottom);
  const auto [nx, ny] = contactNormal(code, cx, cy, r, rect);
  if (nx * vx + ny * vy >= 0.0) return 0;  // moving along or away from the surface
  const double d = nx * nx + ny * ny;
  if (d > r * r) return 0;  // beyond the rounded corner
  const double k = 1.0 / d;
  const double newVX = ((ny * ny - nx * nx) * vx - 2 * nx * ny * vy) * k;
  const double newVY = ((nx * nx - ny * ny) * vy - 2 * nx * ny * vx) * k;
  vx = newVX;
  vy = newVY;
  return 1;
}

int32_t batRebound() {
  const Circle c = contactCircle();
  const Rect bat{world.batX, world.batY, world.batX + world.batWidth, world.batY + world.batHeight};
  return circleRebound(c.cx, c.cy, c.r, world.ballVX, world.ballVY, bat);
}

// Every live block is tested, each against the velocity the earlier ones left.
void blockRebounds() {
  const Circle c = contactCircle();
  for (int32_t i = 0; i < world.blockCount; ++i) {
    Block& b = world.blockTable[i];
    if (b.hits == 0) continue;
    if (circleRebound(c.cx, c.cy, c.r, world.ballVX, world.ballVY, b.rect) != 1) continue;
    --b.hits;
    b.brush = b.hits != 0 ? BrushRed : BrushBlack;
    if (b.hits == 0) {
      b.fade = fadeLength;
      --world.blocksLeft;
      world.points += bonus() + b.points;
    }
  }
}
