#include "invariants.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/session.h"
#include "core/world.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"
#include "shell/input.h"
#include "shell/tables.h"

namespace {

bool isLetters(const char* text) {
  for (; *text; ++text) {
    if (!std::isalpha(static_cast<unsigned char>(*text))) return false;
  }
  return true;
}

// The first fault in the blocks of the level, or empty.
std::string blockFault() {
  int32_t live = 0;
  for (int32_t i = 0; i < world.blockCount; ++i) {
    const Block& b = world.blockTable[i];
    const BlockBrush brush = b.hits == 2 ? BrushGreen : b.hits == 1 ? BrushRed : BrushBlack;
    const bool fadeFits = b.hits > 0 ? b.fade == 0 : b.fade >= 0 && b.fade <= fadeLength;
    if (b.hits < 0 || b.hits > 2 || b.brush != brush || !fadeFits || b.points != 100) {
      return "block " + std::to_string(i) + " has hits " + std::to_string(b.hits) + ", brush " +
             std::to_string(b.brush) + ", fade " + std::to_string(b.fade);
    }
    live += b.hits > 0;
  }
  if (live != world.blocksLeft) return "blocksLeft is not the number of live blocks";
  return {};
}

}  // namespace

void InvariantChecker::restart() { *this = InvariantChecker{}; }

std::string InvariantChecker::check(const WindowMessage& message) {
  const GameWorld& w = world;
  if (message.kind == MessageTick) ++ticks_;
  if (w.tickCount != static_cast<int32_t>(static_cast<uint32_t>(ticks_))) return "tickCount is not the ticks given";
  for (double d : {w.ballX, w.ballY, w.ballVX, w.ballVY, w.speedFactor}) {
    if (!std::isfinite(d)) return "a number of the ball is not finite";
  }
  const bool factorKnown = w.speedFactor == 0.5 || w.speedFactor == 1.0 || w.speedFactor == 1.5 || w.speedFactor == 2.0;
  if (!factorKnown || shell.checkedSpeedItem != (w.speedFactor == 0.5   ? CommandSlow
                                                 : w.speedFactor == 1.0 ? CommandNormal
                                                 : w.speedFactor == 1.5 ? CommandFast
                                                                        : CommandSonic)) {
    return "speed factor and checked item disagree";
  }
  fastest_ = std::max(fastest_, w.speedFactor);
  const bool inGame = w.gameState >= StateReady && w.gameState <= StateBallLost;
  if (w.gameState < StateReady || w.gameState > StateShowingHighScores) return "gameState out of range";
  if (w.level < (inGame ? 1 : 0) || w.level > 12 || w.balls < 0 || w.balls > 2) return "level or balls out of range";
  if (w.blockCount < 0 || w.blockCount > blockCapacity) return "blockCount out of range";
  if (const std::string fault = blockFault(); !fault.empty()) return fault;
  if (w.points < 0 || w.points % 5 != 0 || w.bonus < 0 || w.bonus % 5 != 0) return "points or bonus not whole fives";
  if (w.bonusTime < 0) return "bonusTime negative";
  // The bat starts at (0, 0) and enters its zone when the pointer first moves;
  // it is kept inside for the size it had then: a level's build gives it its
  // size but leaves it where it was until the pointer moves again.
  if (w.batX != batX_ || w.batY != batY_) {
    batX_ = w.batX, batY_ = w.batY;
    placedWidth_ = w.batWidth, placedHeight_ = w.batHeight;
  }
  const Rect& zone = w.batZone;
  auto inZone = [&](int32_t width, int32_t height) {
    return w.batX >= zone.left && w.batX + width <= zone.right && w.batY >= zone.top && w.batY + height <= zone.bottom;
  };
  const bool batPlaced = w.batX != 0 || w.batY != 0;
  if (batPlaced && !inZone(placedWidth_, placedHeight_)) return "bat outside its zone";
  if (w.gameState == StateReady || w.gameState == StateBallLost) {
    if (w.ballX != w.batX + w.batWidth / 2 - w.ballSize / 2 || w.ballY != w.batY - w.ballSize) {
      return "resting ball not on the bat";
    }
    // Only a script clicks in the zone without moving the pointer there: a
    // ball launched from a bat still outside it begins its flight off the field.
    launchedInField_ = inZone(w.batWidth, w.batHeight);
  }
  const double speed = std::hypot(w.ballVX, w.ballVY);
  if (w.gameState == StateReady && launchSpeed_ == 0.0) launchSpeed_ = speed;
  if (inGame && std::fabs(speed - launchSpeed_) > 1e-9 * launchSpeed_) return "ball speed not kept";
  if (w.gameState == StatePlaying && launchedInField_) {
    // A wall turns the ball back but does not move it, and the bat or a block
    // it still touches may turn it out again, for as long as the two overlap:
    // the ball strays from the field by at most its size and one more step.
    const double reach = w.ballSize + fastest_ * speed;
    const Rect& f = w.fieldRect;
    if (w.ballX < f.left - reach || w.ballX > f.right - w.ballSize + reach || w.ballY < f.top - reach ||
        w.ballY > f.bottom - w.ballSize + reach) {
      return "flying ball farther outside the field than it can stray";
    }
  }
  for (int i = 1; i < highScoreCount; ++i) {
    if (highScoreTable[i - 1].score < highScoreTable[i].score) return "high-score table out of order";
  }
  char typed[nameCapacity + 1];
  const int32_t length = takeTypedName(typed);
  if (length < 0 || length > nameCapacity || std::strlen(typed) != static_cast<size_t>(length) || !isLetters(typed)) {
    return "typed name not up to eight letters";
  }
  return {};
}
