#include "core/world.h"

#include "game_fixture.h"

using WorldTest = GameTest;

TEST_F(WorldTest, RegionAtFollowsThePrecedenceOfTheThreeRectangles) {
  computeLayout({0, 0, clientWidth, clientHeight});
  const struct {
    int32_t x, y, area;
  } cases[] = {
      {10, 10, AreaField},    {409, 409, AreaField},   {410, 200, AreaOutside}, {415, 100, AreaOutside},
      {10, 210, AreaBatZone}, {409, 309, AreaBatZone}, {200, 310, AreaField},   {200, 209, AreaField},
      {420, 10, AreaPanel},   {619, 409, AreaPanel},   {620, 100, AreaOutside}, {500, 410, AreaOutside},
      {5, 5, AreaOutside},    {-1, -1, AreaOutside},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(regionAt(c.x, c.y), c.area);
  }
}

TEST_F(WorldTest, LayoutTakesOnlyTheClientOrigin) {
  computeLayout({100, 50, 101, 51});
  EXPECT_EQ(world.fieldRect, (Rect{110, 60, 510, 460}));
  EXPECT_EQ(world.panelRect, (Rect{520, 60, 720, 460}));
  EXPECT_EQ(world.batZone, (Rect{110, 260, 510, 360}));
}
