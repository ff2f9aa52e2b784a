#include "render/panel.h"

#include <cstdio>

#include "core/session.h"
#include "render/drawing_objects.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"

namespace {

// Lines are drawn into one rectangle that moves straight down between them.
struct TextCursor {
  DrawingSurface& surface;
  Rect rect;

  void down(int32_t step) {
    rect.top += step;
    rect.bottom += step;
  }
  void text(const char* s, TextAlign align) { surface.drawText(rect, s, align, panelFont, textColor); }
  void labelled(const char* label, const char* value) {
    text(label, AlignLeft);
    text(value, AlignRight);
  }
  void labelled(const char* label, int32_t value) {
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%ld", static_cast<long>(value));
    labelled(label, buffer);
  }
};

void drawFigures(TextCursor& t) {
  t.labelled("Player", playerName());
  t.down(60);
  t.labelled("Level", world.level);
  t.down(30);
  t.labelled("Points", world.points);
  t.down(60);
  t.labelled("Bonus Time", world.bonusTime);
  t.down(30);
  t.labelled("Bonus ", bonus());
  t.down(30);
  t.labelled("Blocks", world.blocksLeft);
  t.down(60);
  t.labelled("Balls", world.balls);
}

void drawHighScoreList(TextCursor& t) {
  t.text("High Score", AlignCenter);
  for (const HighScoreEntry& entry : highScoreTable) {
    t.down(25);
    t.labelled(entry.name, entry.score);
  }
}

void drawGameEnd(TextCursor& t, const char* title) {
  t.text(title, AlignCenter);
  t.down(30);
  t.labelled("Your Score", world.points);
  t.down(60);
  drawHighScoreList(t);
}

void drawNamePrompt(TextCursor& t) {
  t.text("Enter Name: ", AlignLeft);
  t.down(30);
  char buffer[80];
  const int32_t length = takeTypedName(buffer);
  buffer[length] = '_';
  buffer[length + 1] = '\0';
  t.text(buffer, AlignLeft);
}

}  // namespace

void drawPanel(DrawingSurface& surface) {
  const Rect& p = world.panelRect;
  surface.setClip(p);
  surface.rectangle(p, whitePen, blackBrush);
  TextCursor t{surface, {p.left + 10, p.top + 10, p.right - 10, p.top + 40}};
  switch (world.gameState) {
    case StateReady:
    case StatePlaying:
    case StateBallLost: drawFigures(t); break;
    case StateAllLevelsDone: drawGameEnd(t, "All Levels Done"); break;
    case StateGameOver: drawGameEnd(t, "Game Over"); break;
    case StateShowingHighScores:
      t.down(60);
      drawHighScoreList(t);
      break;
    case StateEnteringName: drawNamePrompt(t); break;
  }
}
