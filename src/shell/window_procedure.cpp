#include "shell/window_procedure.h"

#include "core/session.h"
#include "physics/ball.h"
#include "render/field.h"
#include "render/panel.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"
#include "shell/input.h"
#include "shell/tables.h"

namespace {

// The layout and the black background, as every paint of the window begins.
void layOut(WindowHost& host) {
  const Rect client = host.clientRect();
  computeLayout(client);
  paintBackground(host.surface(), client);
  host.present(client);
}

}  // namespace

void onCreate(WindowHost& host) {
  setSpeedFactor(1.0);
  shell.checkedSpeedItem = CommandNormal;
  checkSpeedItem(host, CommandNormal);
  world.tickCount = 0;
  layOut(host);
  raiseEvent(EventEnterName);
  showField(host);
  showPanel(host);
}

void onTimer(WindowHost& host) {
  // Counts on past the largest value as a 32-bit two's-complement counter would.
  world.tickCount = static_cast<int32_t>(static_cast<uint32_t>(world.tickCount) + 1u);
  physicsTick();
  if (world.tickCount % 2 == 0) showField(host);
  if (world.tickCount % 16 == 0) showPanel(host);
}

void paintWindow(WindowHost& host) {
  layOut(host);
  showField(host);
  showPanel(host);
}

void showField(WindowHost& host) {
  drawField(host.surface());
  host.present(world.fieldRect);
}

void showPanel(WindowHost& host) {
  drawPanel(host.surface());
  host.present(world.panelRect);
}

void resetGame() {
  world = GameWorld{};
  resetHighScores();
  resetNameEntry();
  resetShell();
}
