#include "shell/window_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowLayoutTest, TheBordersAreWhatThePictureLeavesOfTheClient) {
  const Rect client{0, 0, 700, 500};
  struct Case {
    const char* what;
    Rect picture;
    std::vector<Rect> borders;
  };
  const Case cases[] = {
      {"the picture fills the client", client, {}},
      {"centred: four bands",
       {34, 38, 666, 462},
       {{0, 0, 700, 38}, {0, 462, 700, 500}, {0, 38, 34, 462}, {666, 38, 700, 462}}},
      {"wider client only: left and right", {0, 0, 632, 500}, {{632, 0, 700, 500}}},
      {"a client smaller than the picture: nothing", {0, 0, 800, 600}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(bordersAround(client, c.picture), c.borders);
  }
}

TEST(WindowLayoutTest, TheNoticeStandsWhereItHidesNothingOfTheGame) {
  const Rect work{0, 0, 1920, 1040};
  const Point notice{300, 120};
  struct Case {
    const char* what;
    Rect game;
    Point place;
  };
  const Case cases[] = {
      {"room on the right", {100, 100, 740, 570}, {748, 100}},
      {"at the right edge: left of it", {1200, 100, 1840, 570}, {892, 100}},
      {"as wide as the screen: below", {0, 100, 1920, 570}, {0, 578}},
      {"at the bottom too: above", {0, 600, 1920, 1040}, {0, 472}},
      {"nowhere: right of it, as it was", {0, 0, 1920, 1040}, {1928, 0}},
      {"exactly room on the right", {0, 0, 1612, 500}, {1620, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(noticePlace(work, c.game, notice), c.place);
  }
}

}  // namespace
