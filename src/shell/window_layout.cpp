#include "shell/window_layout.h"

#include <algorithm>

std::vector<Rect> bordersAround(const Rect& client, const Rect& p) {
  const Rect parts[] = {{client.left, client.top, client.right, p.top},
                        {client.left, p.bottom, client.right, client.bottom},
                        {client.left, p.top, p.left, p.bottom},
                        {p.right, p.top, client.right, p.bottom}};
  std::vector<Rect> borders;
  for (const Rect& r : parts) {
    if (r.left < r.right && r.top < r.bottom) borders.push_back(r);
  }
  return borders;
}

Point noticePlace(const Rect& work, const Rect& game, Point size) {
  const Point places[] = {{game.right + noticeGap, game.top},
                          {game.left - noticeGap - size.x, game.top},
                          {game.left, game.bottom + noticeGap},
                          {game.left, game.top - noticeGap - size.y}};
  const auto fits = [&](Point p) {
    return p.x >= work.left && p.y >= work.top && p.x + size.x <= work.right && p.y + size.y <= work.bottom;
  };
  const Point* place = std::find_if(std::begin(places), std::end(places), fits);
  return place == std::end(places) ? places[0] : *place;
}
