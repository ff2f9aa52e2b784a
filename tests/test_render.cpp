// The drawing objects, the background, the field frame with its fading
// blocks, ball and bat, and the information panel in every state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "hiscore_files.h"
#include "recording_front_end.h"
#include "render/drawing_objects.h"
#include "render/field.h"
#include "render/panel.h"
#include "render/surface.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"
#include "shell/midend.h"

namespace {

constexpr Color black{0, 0, 0}, white{255, 255, 255}, green{0, 200, 0}, red{200, 0, 0}, blue{0, 0, 200},
    zone{64, 15, 15}, yellow{255, 255, 0};

const Rect client{0, 0, clientWidth, clientHeight};
const Rect field{10, 10, 410, 410};
const Rect batZone{10, 210, 410, 310};
const Rect panel{420, 10, 620, 410};

// textRect for a line whose top lies `top` pixels below the panel's top.
Rect textRect(int32_t top, const Rect& p = panel) { return {p.left + 10, p.top + top, p.right - 10, p.top + top + 30}; }

std::string describe(const DrawOp& op) {
  static const char* kinds[] = {"Clip", "Rectangle", "Fill", "Ellipse", "Text"};
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "%s {%d,%d,%d,%d} pen(%d,%d,%d) fill(%d,%d,%d) \"%s\" align %d", kinds[op.kind],
                op.rect.left, op.rect.top, op.rect.right, op.rect.bottom, op.pen.r, op.pen.g, op.pen.b, op.fill.r,
                op.fill.g, op.fill.b, op.text.c_str(), op.align);
  return buffer;
}

std::string describe(const std::vector<DrawOp>& ops) {
  std::string s;
  for (const DrawOp& op : ops) s += describe(op) + "\n";
  return s;
}

DrawOp clipOp(const Rect& r) { return {DrawOp::Clip, r, {}, {}, {}, AlignLeft}; }
DrawOp rectOp(const Rect& r, Color pen, Color fill) { return {DrawOp::Rectangle, r, pen, fill, {}, AlignLeft}; }
DrawOp fillOp(const Rect& r, Color fill) { return {DrawOp::Fill, r, {}, fill, {}, AlignLeft}; }
DrawOp ellipseOp(const Rect& r) { return {DrawOp::Ellipse, r, white, blue, {}, AlignLeft}; }
DrawOp textOp(int32_t top, const std::string& text, TextAlign align, const Rect& p = panel) {
  return {DrawOp::Text, textRect(top, p), {}, yellow, text, align};
}

bool same(const DrawOp& a, const DrawOp& b) {
  if (a.kind != b.kind || !(a.rect == b.rect)) return false;
  switch (a.kind) {
    case DrawOp::Clip: return true;
    case DrawOp::Rectangle:
    case DrawOp::Ellipse: return a.pen == b.pen && a.fill == b.fill;
    case DrawOp::Fill: return a.fill == b.fill;
    case DrawOp::Text: return a.fill == b.fill && a.text == b.text && a.align == b.align;
  }
  return false;
}

void expectOps(const std::vector<DrawOp>& actual, const std::vector<DrawOp>& expected) {
  bool equal = actual.size() == expected.size();
  for (size_t i = 0; equal && i < actual.size(); ++i) equal = same(actual[i], expected[i]);
  EXPECT_TRUE(equal) << "expected:\n" << describe(expected) << "actual:\n" << describe(actual);
}

std::vector<DrawOp> fieldOps(RecordingSurface& s) {
  s.ops.clear();
  drawField(s);
  return s.ops;
}

std::vector<DrawOp> panelOps() {
  RecordingSurface s;
  drawPanel(s);
  return s.ops;
}

std::vector<DrawOp> fillsOf(const std::vector<DrawOp>& ops, const Rect& r) {
  std::vector<DrawOp> result;
  for (const DrawOp& op : ops)
    if (op.kind == DrawOp::Fill && op.rect == r) result.push_back(op);
  return result;
}

void placeBlock(int i, const Rect& r, int32_t hits, int32_t fade, BlockBrush brush) {
  Block& b = world.blockTable[i];
  b.hits = hits;
  b.fade = fade;
  b.points = 100;
  b.rect = r;
  b.brush = brush;
}

// The head and the tail of every field frame around the given block ops.
std::vector<DrawOp> frame(const std::vector<DrawOp>& blockOps) {
  std::vector<DrawOp> ops{clipOp(field), rectOp(field, white, black), rectOp(batZone, white, zone)};
  ops.insert(ops.end(), blockOps.begin(), blockOps.end());
  const auto x = static_cast<int32_t>(world.ballX), y = static_cast<int32_t>(world.ballY);
  ops.push_back(ellipseOp({x, y, x + world.ballSize, y + world.ballSize}));
  ops.push_back(fillOp({world.batX, world.batY, world.batX + world.batWidth, world.batY + world.batHeight}, white));
  return ops;
}

void setFieldScene() {
  computeLayout(client);
  world.ballX = 100.0;
  world.ballY = 300.0;
  world.ballSize = 15;
  world.batX = 190;
  world.batY = 290;
  world.batWidth = 40;
  world.batHeight = 5;
}

// The lines of the high-score list, the first entry at `top`.
std::vector<DrawOp> listOps(int32_t top) {
  std::vector<DrawOp> ops;
  for (int i = 0; i < 10; ++i) {
    ops.push_back(textOp(top + 25 * i, highScoreTable[i].name, AlignLeft));
    ops.push_back(textOp(top + 25 * i, std::to_string(highScoreTable[i].score), AlignRight));
  }
  return ops;
}

std::vector<DrawOp> panelFrame() { return {clipOp(panel), rectOp(panel, white, black)}; }

}  // namespace

class RenderTest : public GameTest {};

// ---------------------------------------------------------------- drawing objects

TEST_F(RenderTest, DrawingObjectsHaveTheirColours) {
  EXPECT_EQ(blackPen.color, black);
  EXPECT_EQ(whitePen.color, white);
  EXPECT_EQ(whiteBrush.color, white);
  EXPECT_EQ(blackBrush.color, black);
  EXPECT_EQ(greenBrush.color, green);
  EXPECT_EQ(redBrush.color, red);
  EXPECT_EQ(blueBrush.color, blue);
  EXPECT_EQ(zoneBrush.color, zone);
  ASSERT_EQ(fadeBrushes.size(), 50u);
  for (int i = 0; i < 50; ++i) {
    const auto g = static_cast<uint8_t>(5 * i);
    EXPECT_EQ(fadeBrushes[i].color, (Color{g, g, g})) << i;
  }
  EXPECT_EQ(textColor, yellow);
  EXPECT_STREQ(panelFont.face, "Verdana");
  EXPECT_EQ(panelFont.height, 20);
  EXPECT_EQ(panelFont.weight, 500);
  EXPECT_EQ(blockBrush(BrushGreen).color, green);
  EXPECT_EQ(blockBrush(BrushRed).color, red);
  EXPECT_EQ(blockBrush(BrushBlack).color, black);
}

// ---------------------------------------------------------------- background

TEST_F(RenderTest, BackgroundFillsTheClientBlack) {
  RecordingSurface s;
  paintBackground(s, client);
  std::vector<DrawOp> drawn;
  for (const DrawOp& op : s.ops) {
    if (op.kind == DrawOp::Clip) {
      EXPECT_EQ(op.rect, client);  // a clip, if any, lets the whole client through
      continue;
    }
    drawn.push_back(op);
  }
  expectOps(drawn, {rectOp(client, black, black)});
}

// ---------------------------------------------------------------- field frame

TEST_F(RenderTest, EmptyFieldFrame) {
  setFieldScene();
  ASSERT_EQ(world.fieldRect, field);
  ASSERT_EQ(world.batZone, batZone);
  RecordingSurface s;
  const auto ops = fieldOps(s);
  expectOps(ops, frame({}));
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front().kind, DrawOp::Clip);  // the clip comes first
  EXPECT_EQ(ops.front().rect, field);
}

TEST_F(RenderTest, ClipIsSetOnlyOnceToTheField) {
  setFieldScene();
  world.blockCount = 1;
  placeBlock(0, {100, 100, 123, 110}, 2, 0, BrushGreen);
  RecordingSurface s;
  int clips = 0;
  for (const DrawOp& op : fieldOps(s))
    if (op.kind == DrawOp::Clip) {
      ++clips;
      EXPECT_EQ(op.rect, field);
    }
  EXPECT_EQ(clips, 1);
}

TEST_F(RenderTest, LiveBlocksAreFilledWithTheirBrushInTableOrder) {
  setFieldScene();
  const Rect a{50, 50, 73, 60}, b{75, 50, 98, 60}, c{100, 50, 123, 60};
  placeBlock(0, a, 2, 0, BrushGreen);
  placeBlock(1, b, 1, 0, BrushRed);
  placeBlock(2, c, 2, 0, BrushBlack);
  world.blockCount = 3;
  RecordingSurface s;
  expectOps(fieldOps(s), frame({fillOp(a, green), fillOp(b, red), fillOp(c, black)}));
}

TEST_F(RenderTest, OnlyTheFirstBlockCountBlocksAreDrawn) {
  setFieldScene();
  placeBlock(0, {50, 50, 73, 60}, 2, 0, BrushGreen);
  placeBlock(1, {75, 50, 98, 60}, 2, 50, BrushGreen);
  world.blockCount = 1;
  RecordingSurface s;
  expectOps(fieldOps(s), frame({fillOp({50, 50, 73, 60}, green)}));
  EXPECT_EQ(world.blockTable[1].fade, 50);  // not counted down either
}

TEST_F(RenderTest, BlockWithoutHitsAndFadeIsNotDrawn) {
  setFieldScene();
  const Rect gone{50, 50, 73, 60}, live{75, 50, 98, 60};
  placeBlock(0, gone, 0, 0, BrushBlack);
  placeBlock(1, live, 2, 0, BrushGreen);
  world.blockCount = 2;
  RecordingSurface s;
  const auto ops = fieldOps(s);
  expectOps(ops, frame({fillOp(live, green)}));
  EXPECT_TRUE(fillsOf(ops, gone).empty());
}

TEST_F(RenderTest, DestroyedBlockFadesOverFiftyFramesThenVanishes) {
  setFieldScene();
  const Rect r{60, 70, 83, 80};
  placeBlock(0, r, 0, 50, BrushBlack);
  world.blockCount = 1;
  RecordingSurface s;
  for (int frameNo = 1; frameNo <= 50; ++frameNo) {
    const auto grey = static_cast<uint8_t>(5 * (50 - frameNo));  // 245, 240 ... 5, 0
    expectOps(fieldOps(s), frame({fillOp(r, {grey, grey, grey})}));
    EXPECT_EQ(world.blockTable[0].fade, 50 - frameNo);
  }
  for (int extra = 0; extra < 3; ++extra) {
    expectOps(fieldOps(s), frame({}));
    EXPECT_EQ(world.blockTable[0].fade, 0);
  }
}

TEST_F(RenderTest, GreyLevelsOfAFadeInOrder) {
  setFieldScene();
  const Rect r{60, 70, 83, 80};
  placeBlock(0, r, 0, 50, BrushBlack);
  world.blockCount = 1;
  RecordingSurface s;
  std::vector<int> greys;
  for (int i = 0; i < 60; ++i)
    for (const DrawOp& op : fillsOf(fieldOps(s), r)) greys.push_back(op.fill.r);
  std::vector<int> expected;
  for (int g = 245; g >= 0; g -= 5) expected.push_back(g);
  EXPECT_EQ(greys, expected);
}

TEST_F(RenderTest, LiveBlockWithFadeIsFilledTwice) {
  setFieldScene();
  const Rect r{60, 70, 83, 80};
  placeBlock(0, r, 1, 3, BrushRed);
  world.blockCount = 1;
  RecordingSurface s;
  expectOps(fieldOps(s), frame({fillOp(r, red), fillOp(r, {10, 10, 10})}));
  EXPECT_EQ(world.blockTable[0].fade, 2);
  EXPECT_EQ(world.blockTable[0].hits, 1);
}

TEST_F(RenderTest, BlockDestroyedInPlayFadesFromTheNextFrame) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  ASSERT_GT(world.blockCount, 0);
  Block& b = world.blockTable[0];
  // What a second hit leaves.
  b.hits = 0;
  b.fade = 50;
  b.brush = BrushBlack;
  RecordingSurface s;
  auto fills = fillsOf(fieldOps(s), b.rect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].fill, (Color{245, 245, 245}));
  for (int i = 0; i < 49; ++i) fieldOps(s);
  EXPECT_EQ(b.fade, 0);
  EXPECT_TRUE(fillsOf(fieldOps(s), b.rect).empty());
}

TEST_F(RenderTest, FreshLevelDrawsEveryBlockGreen) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  ASSERT_GT(world.blockCount, 0);
  std::vector<DrawOp> blocks;
  for (int i = 0; i < world.blockCount; ++i) blocks.push_back(fillOp(world.blockTable[i].rect, green));
  RecordingSurface s;
  expectOps(fieldOps(s), frame(blocks));
}

TEST_F(RenderTest, BallIsTruncatedNotRounded) {
  setFieldScene();
  world.ballX = 10.9;
  world.ballY = 20.99;
  world.ballSize = 15;
  RecordingSurface s;
  const auto ops = fieldOps(s);
  ASSERT_GE(ops.size(), 2u);
  const DrawOp& ball = ops[ops.size() - 2];
  EXPECT_TRUE(same(ball, ellipseOp({10, 20, 25, 35}))) << describe(ball);
}

TEST_F(RenderTest, BallTruncatesTowardZeroAndUsesBallSize) {
  setFieldScene();
  world.ballX = -0.7;  // toward zero: 0, not -1
  world.ballY = 399.999;
  world.ballSize = 9;
  RecordingSurface s;
  const auto ops = fieldOps(s);
  ASSERT_GE(ops.size(), 2u);
  EXPECT_TRUE(same(ops[ops.size() - 2], ellipseOp({0, 399, 9, 408}))) << describe(ops[ops.size() - 2]);
}

TEST_F(RenderTest, BallIsDrawnAfterTheBlocksAndTheBatLast) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  world.ballX = world.blockTable[0].rect.left + 0.5;
  world.ballY = world.blockTable[0].rect.top + 0.5;
  world.batX = static_cast<int32_t>(world.ballX);
  world.batY = static_cast<int32_t>(world.ballY);
  RecordingSurface s;
  const auto ops = fieldOps(s);
  ASSERT_GE(ops.size(), 3u);
  const DrawOp& last = ops.back();
  EXPECT_TRUE(same(last, fillOp({world.batX, world.batY, world.batX + 40, world.batY + 5}, white))) << describe(last);
  EXPECT_EQ(ops[ops.size() - 2].kind, DrawOp::Ellipse);
  for (size_t i = 0; i + 2 < ops.size(); ++i) EXPECT_NE(ops[i].kind, DrawOp::Ellipse);
}

TEST_F(RenderTest, BatAndBallFollowTheWorld) {
  setFieldScene();
  world.batX = 5;  // partly outside the field: the clip cuts it
  world.batY = 250;
  world.batWidth = 40;
  world.batHeight = 5;
  world.ballX = 400.2;
  world.ballY = 5.5;
  RecordingSurface s;
  expectOps(fieldOps(s), frame({}));
  EXPECT_TRUE(same(s.ops.back(), fillOp({5, 250, 45, 255}, white)));
}

TEST_F(RenderTest, FieldFrameChangesNothingButTheFade) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  world.blockTable[3].hits = 0;
  world.blockTable[3].fade = 50;
  const GameWorld before = world;
  RecordingSurface s;
  fieldOps(s);
  EXPECT_EQ(world.blockTable[3].fade, 49);
  world.blockTable[3].fade = 50;
  EXPECT_EQ(world.ballX, before.ballX);
  EXPECT_EQ(world.ballY, before.ballY);
  EXPECT_EQ(world.batX, before.batX);
  EXPECT_EQ(world.blockCount, before.blockCount);
  EXPECT_EQ(world.blocksLeft, before.blocksLeft);
  EXPECT_EQ(world.gameState, before.gameState);
  for (int i = 0; i < world.blockCount; ++i) {
    EXPECT_EQ(world.blockTable[i].hits, before.blockTable[i].hits);
    EXPECT_EQ(world.blockTable[i].fade, before.blockTable[i].fade);
    EXPECT_EQ(world.blockTable[i].rect, before.blockTable[i].rect);
    EXPECT_EQ(world.blockTable[i].brush, before.blockTable[i].brush);
  }
}

TEST_F(RenderTest, FieldFollowsTheLayoutOfAMovedClient) {
  computeLayout({5, 7, 637, 431});
  world.ballSize = 15;
  RecordingSurface s;
  const auto ops = fieldOps(s);
  ASSERT_GE(ops.size(), 3u);
  EXPECT_TRUE(same(ops[0], clipOp({15, 17, 415, 417})));
  EXPECT_TRUE(same(ops[1], rectOp({15, 17, 415, 417}, white, black)));
  EXPECT_TRUE(same(ops[2], rectOp({15, 217, 415, 317}, white, zone)));
}

// ---------------------------------------------------------------- panel

TEST_F(RenderTest, PanelShowsTheFiguresOfAGame) {
  computeLayout(client);
  for (int c : {'E', 'v', 'a'}) nameEntryKey(c);
  raiseEvent(EventNewGame);
  ASSERT_EQ(world.gameState, StateReady);
  ASSERT_EQ(world.panelRect, panel);
  world.level = 3;
  world.points = 1234;
  world.bonusTime = 117;
  world.bonus = 300;
  world.blocksLeft = 17;
  world.balls = 2;
  std::vector<DrawOp> expected = panelFrame();
  const std::vector<DrawOp> lines = {
      textOp(10, "Player", AlignLeft),      textOp(10, "Eva", AlignRight),    textOp(70, "Level", AlignLeft),
      textOp(70, "3", AlignRight),          textOp(100, "Points", AlignLeft), textOp(100, "1234", AlignRight),
      textOp(160, "Bonus Time", AlignLeft), textOp(160, "117", AlignRight),   textOp(190, "Bonus ", AlignLeft),
      textOp(190, "300", AlignRight),       textOp(220, "Blocks", AlignLeft), textOp(220, "17", AlignRight),
      textOp(280, "Balls", AlignLeft),      textOp(280, "2", AlignRight),
  };
  expected.insert(expected.end(), lines.begin(), lines.end());
  expectOps(panelOps(), expected);
  for (GameStateCode state : {StatePlaying, StateBallLost}) {
    world.gameState = state;
    expectOps(panelOps(), expected);
  }
}

TEST_F(RenderTest, PanelFiguresAreSignedDecimalWithoutGrouping) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  world.bonus = -15;
  world.bonusTime = 0;
  world.level = 12;
  world.blocksLeft = 0;
  world.balls = 0;
  world.gameState = StatePlaying;
  world.points = 1234567;
  auto ops = panelOps();
  ASSERT_EQ(ops.size(), 16u);
  EXPECT_EQ(ops[3].text, "NoName");
  EXPECT_EQ(ops[7].text, "1234567");
  EXPECT_EQ(ops[9].text, "0");
  EXPECT_EQ(ops[11].text, "-15");
  world.points = -2147483647 - 1;
  ops = panelOps();
  EXPECT_EQ(ops[7].text, "-2147483648");
}

// However a game ends: its heading, the score, and the list ending 380
// pixels down the panel.
TEST_F(RenderTest, PanelAtTheEndOfAGameShowsItsHeadingTheScoreAndTheList) {
  computeLayout(client);
  const struct {
    const char* heading;
    GameStateCode state;
    int32_t points;
    const char* lastScore;  // the list's tenth entry
    bool zoeFirst;          // the game entered the table under the typed name
  } cases[] = {
      {"Game Over", StateGameOver, 2500, "0", true},
      {"All Levels Done", StateAllLevelsDone, 77, "-7", false},
      {"Game Over", StateGameOver, 77, "-7", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.heading);
    if (c.zoeFirst) {
      for (int key : {'Z', 'o', 'e'}) nameEntryKey(key);
      endGameWithScore(c.points);
      ASSERT_EQ(std::string(highScoreTable[0].name), "Zoe");
    } else {
      fillTable({{"A", 900},
                 {"Bb", 800},
                 {"C", 700},
                 {"D", 600},
                 {"E", 500},
                 {"F", 400},
                 {"G", 300},
                 {"H", 200},
                 {"I", 100},
                 {"Cheater", -7}});
      world.points = c.points;
    }
    world.gameState = c.state;
    std::vector<DrawOp> expected = panelFrame();
    const std::vector<DrawOp> head = {textOp(10, c.heading, AlignCenter), textOp(40, "Your Score", AlignLeft),
                                      textOp(40, std::to_string(c.points), AlignRight),
                                      textOp(100, "High Score", AlignCenter)};
    expected.insert(expected.end(), head.begin(), head.end());
    const auto list = listOps(125);
    expected.insert(expected.end(), list.begin(), list.end());
    expectOps(panelOps(), expected);
    EXPECT_EQ(expected.back().text, c.lastScore);
    EXPECT_EQ(expected.back().rect, textRect(350));
    EXPECT_EQ(expected.back().rect.bottom - panel.top, 380);
  }
}

TEST_F(RenderTest, PanelAfterTheLastLevelIsCleared) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  world.level = world.levelCount;
  world.points = 4321;
  raiseEvent(EventLevelCleared);
  ASSERT_EQ(world.gameState, StateAllLevelsDone);
  const auto ops = panelOps();
  ASSERT_EQ(ops.size(), 2u + 4u + 20u);
  EXPECT_TRUE(same(ops[2], textOp(10, "All Levels Done", AlignCenter)));
  EXPECT_TRUE(same(ops[4], textOp(40, "4321", AlignRight)));
  EXPECT_TRUE(same(ops[6], textOp(125, "NoName", AlignLeft)));
  EXPECT_TRUE(same(ops[7], textOp(125, "4321", AlignRight)));
}

TEST_F(RenderTest, PanelShowingHighScoresHasTheListAloneHigherUp) {
  computeLayout(client);
  raiseEvent(EventShowHighScores);
  ASSERT_EQ(world.gameState, StateShowingHighScores);
  std::vector<DrawOp> expected = panelFrame();
  expected.push_back(textOp(70, "High Score", AlignCenter));
  const auto list = listOps(95);
  expected.insert(expected.end(), list.begin(), list.end());
  expectOps(panelOps(), expected);
  EXPECT_EQ(expected.back().rect, textRect(320));

  fillTable({{"Long name that is wider than the rect", 2147483647}});
  expected = panelFrame();
  expected.push_back(textOp(70, "High Score", AlignCenter));
  const auto list2 = listOps(95);
  expected.insert(expected.end(), list2.begin(), list2.end());
  expectOps(panelOps(), expected);
  EXPECT_EQ(expected[3].text, "Long name that is wider than th");
  EXPECT_EQ(expected[4].text, "2147483647");
}

TEST_F(RenderTest, PanelPromptsForTheName) {
  computeLayout(client);
  raiseEvent(EventEnterName);
  ASSERT_EQ(world.gameState, StateEnteringName);
  std::vector<DrawOp> expected = panelFrame();
  expected.push_back(textOp(10, "Enter Name: ", AlignLeft));
  expected.push_back(textOp(40, "_", AlignLeft));
  expectOps(panelOps(), expected);

  for (int c : {'S', 'a', 'm'}) nameEntryKey(c);
  expected.back() = textOp(40, "Sam_", AlignLeft);
  expectOps(panelOps(), expected);

  for (int c : {'U', 'E', 'L', 'X', 'Y', 'Q'}) nameEntryKey(c);  // the ninth letter is ignored
  expected.back() = textOp(40, "SamUELXY_", AlignLeft);
  expectOps(panelOps(), expected);

  nameEntryKey(8);
  expected.back() = textOp(40, "SamUELX_", AlignLeft);
  expectOps(panelOps(), expected);
  EXPECT_EQ(nameEntryKey(13), 7);
}

TEST_F(RenderTest, PanelIsEmptyInsideItsFrameInAnyOtherState) {
  computeLayout(client);
  for (int state : {0, 39, 47, 99, -1}) {
    world.gameState = GameStateCode(state);  // 0 after a reset; the others come from nowhere
    expectOps(panelOps(), panelFrame());
  }
}

TEST_F(RenderTest, PanelTextIsYellowAndInsideThePanel) {
  computeLayout(client);
  raiseEvent(EventShowHighScores);
  for (GameStateCode state :
       {StateReady, StateAllLevelsDone, StateGameOver, StateEnteringName, StateShowingHighScores}) {
    world.gameState = state;
    const auto ops = panelOps();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_TRUE(same(ops[0], clipOp(panel)));
    EXPECT_TRUE(same(ops[1], rectOp(panel, white, black)));
    for (size_t i = 2; i < ops.size(); ++i) {
      EXPECT_EQ(ops[i].kind, DrawOp::Text) << describe(ops[i]);
      EXPECT_EQ(ops[i].fill, yellow) << describe(ops[i]);
      EXPECT_EQ(ops[i].rect.left, panel.left + 10);
      EXPECT_EQ(ops[i].rect.right, panel.right - 10);
      EXPECT_EQ(ops[i].rect.bottom - ops[i].rect.top, 30);
      EXPECT_LE(ops[i].rect.bottom, panel.bottom);
    }
  }
}

TEST_F(RenderTest, PanelFollowsTheLayoutOfAMovedClient) {
  const Rect moved{425, 17, 625, 417};
  computeLayout({5, 7, 637, 431});
  ASSERT_EQ(world.panelRect, moved);
  raiseEvent(EventEnterName);
  std::vector<DrawOp> expected = {clipOp(moved), rectOp(moved, white, black),
                                  textOp(10, "Enter Name: ", AlignLeft, moved), textOp(40, "_", AlignLeft, moved)};
  expectOps(panelOps(), expected);
}

TEST_F(RenderTest, PanelChangesNothing) {
  computeLayout(client);
  raiseEvent(EventNewGame);
  world.blockTable[0].hits = 0;
  world.blockTable[0].fade = 50;
  const GameWorld before = world;
  for (GameStateCode state : {StateReady, StateGameOver, StateEnteringName, StateShowingHighScores}) {
    world.gameState = state;
    panelOps();
  }
  world.gameState = before.gameState;
  EXPECT_EQ(world.blockTable[0].fade, 50);
  EXPECT_EQ(world.points, before.points);
  EXPECT_EQ(std::string(playerName()), std::string(before.candidateEntry.name));
  EXPECT_EQ(nameEntryKey(13), 0);
}

// ---------------------------------------------------------------- through the mid-end

TEST_F(RenderTest, WindowCreationDrawsTheNamePromptAndTheField) {
  RecordingFrontEnd window;
  RecordingSurface drawing;
  MidEnd midEnd;
  midEnd.create(window, drawing, midEnd.openingClientSize());
  const auto& ops = drawing.ops;
  bool prompt = false, frameSeen = false;
  for (const DrawOp& op : ops) {
    if (op.kind == DrawOp::Text && op.text == "Enter Name: ") prompt = true;
    if (op.kind == DrawOp::Rectangle && op.rect == field && op.pen == white && op.fill == black) frameSeen = true;
  }
  EXPECT_TRUE(prompt);
  EXPECT_TRUE(frameSeen);
}
