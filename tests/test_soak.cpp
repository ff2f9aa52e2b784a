// Seeded random play through the script reader and the mid-end, a million ticks and more,
// with every invariant of the game checked after each message.
// VANTREL_SOAK_SEED and VANTREL_SOAK_TICKS replay one seed for as long as asked.
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <streambuf>
#include <string>

#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "invariants.h"
#include "shell/script.h"
#include "shell/state_line.h"

namespace {

// A script written while it is read: each line is chosen when the reader asks
// for it, from the state the lines before it left, as a player reacts to the
// screen. Pointer anywhere, clicks, every key code, every menu command. It
// opens with a part of a recorded game that clears every level, cut where the
// seed says, so that the random play meets the later levels too.
class RandomPlayer : public std::streambuf {
 public:
  RandomPlayer(uint64_t seed, std::istream& recorded) : rng_(seed), recorded_(recorded) {
    recordedLeft_ = pick(0, 900);
  }

 protected:
  int_type underflow() override {
    if (recordedLeft_ > 0 && std::getline(recorded_, line_)) {
      --recordedLeft_;
      line_ += "\n";
    } else {
      line_ = nextLine() + "\n";
    }
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(line_[0]);
  }

 private:
  int64_t pick(int64_t low, int64_t high) { return low + static_cast<int64_t>(rng_() % (high - low + 1)); }
  std::string point(int64_t x, int64_t y) { return std::to_string(x) + " " + std::to_string(y); }

  std::string nextLine() {
    static const int commands[] = {30, 36, 41, 42, 44, 46, 50, 40005};
    static const int endingCommands[] = {25, 53, 54};  // these abandon a game
    static const int keys[] = {0x0D, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x08, 0x70};
    const GameWorld& w = world;
    const int64_t roll = pick(0, 999), zoneY = pick(w.batZone.top, w.batZone.bottom - 1);
    // The bat low in its zone and off the ball's centre, so that it comes back at new angles.
    const std::string follow = "move " + point(static_cast<int64_t>(w.ballX) + pick(-20, 34), w.batZone.bottom - 3);
    // A ball coming down to the bat wants quick reactions; otherwise time passes in runs.
    const bool coming = w.gameState == StatePlaying && w.ballVY > 0 && w.ballY > w.batZone.top - 80;
    if (coming && w.ballY < w.batY && roll < 900) return roll < 500 ? follow : "tick " + std::to_string(pick(1, 3));
    // Between games the player soon starts another.
    if ((w.gameState < StateReady || w.gameState > StateBallLost) && roll < 20) {
      return w.gameState == StateEnteringName ? "key 13" : "command 25";
    }
    if (roll < 450) return "tick " + std::to_string(pick(1, 60));
    if (roll < 700) return follow;
    if (roll < 730) return "move " + point(pick(-32768, 32767), pick(-32768, 32767));
    if (roll < 770) return "move " + point(pick(-20, 660), pick(-20, 450));
    if (roll < 820) return "click " + point(pick(w.batZone.left, w.batZone.right - 1), zoneY);
    if (roll < 835) return "click " + point(pick(-20, 660), pick(-20, 450));
    if (roll < 845) return pick(0, 1) ? "down" : "up " + point(pick(-20, 660), pick(-20, 450));
    if (roll < 895) return "key " + std::to_string(pick(1, 255));
    if (roll < 935) return "key " + std::to_string(keys[pick(0, std::size(keys) - 1)]);
    if (roll < 950) {
      std::string name;
      for (int64_t n = pick(1, 10); n > 0; --n) name += static_cast<char>(pick(0, 1) ? pick('A', 'Z') : pick('a', 'z'));
      return "type " + name;
    }
    if (roll < 985) return "command " + std::to_string(commands[pick(0, std::size(commands) - 1)]);
    if (roll < 990 && pick(0, 19) == 0) return "command " + std::to_string(endingCommands[pick(0, 2)]);
    if (roll < 991) return "command " + std::to_string(pick(0, 65535));
    if (roll < 992 && pick(0, 19) == 0) return "command 52";  // Exit: the program ends, and a new run starts
    return "state";
  }

  std::mt19937_64 rng_;
  std::istream& recorded_;
  int64_t recordedLeft_;
  std::string line_;
};

int64_t fromEnvironment(const char* name, int64_t otherwise) {
  const char* text = std::getenv(name);
  return text ? std::strtoll(text, nullptr, 0) : otherwise;
}

class SoakTest : public GameTest {
 protected:
  // Plays one seed for the ticks given; the first invariant that breaks fails
  // the test with the seed, the tick and the whole state.
  void play(uint64_t seed, int64_t ticks) {
    std::ifstream recorded(VANTREL_DEMO_DIR "/all-levels.vsim");
    ASSERT_TRUE(recorded) << "cannot read demo/all-levels.vsim";
    RandomPlayer source(seed, recorded);
    std::istream in(&source);
    ScriptPlayer player(in);
    auto run = std::make_unique<HeadlessRun>();
    InvariantChecker checker;
    int64_t given = 0, runs = 1, games = 0;
    int32_t highest = 0;
    WindowMessage m;
    while (given < ticks) {
      const ScriptPlayer::Step step = player.next(m);
      if (step == ScriptPlayer::StepState) {
        EXPECT_FALSE(stateLine().empty());
        continue;
      }
      ASSERT_EQ(step, ScriptPlayer::StepMessage) << "seed " << seed << ": " << player.error();
      const int32_t before = world.gameState;
      giveMessage(run->midEnd, m);
      given += m.kind == MessageTick;
      if (run->frontEnd.closed) {
        run.reset();
        resetGame();
        setHighScorePath(hiscorePath());
        run = std::make_unique<HeadlessRun>();
        checker.restart();
        ++runs;
        continue;
      }
      games += before != StateReady && world.gameState == StateReady && world.level == 1;
      highest = std::max(highest, world.level);
      const std::string fault = checker.check(m);
      ASSERT_EQ(fault, "") << "seed " << seed << ", after tick " << given << ": " << stateLine();
    }
    std::printf("seed %llu: %lld ticks, %lld runs, %lld games, highest level %d\n",
                static_cast<unsigned long long>(seed), static_cast<long long>(given), static_cast<long long>(runs),
                static_cast<long long>(games), highest);
  }
};

TEST_F(SoakTest, RandomPlayKeepsEveryInvariant) {
  if (std::getenv("VANTREL_SOAK_SEED")) {
    return play(fromEnvironment("VANTREL_SOAK_SEED", 0), fromEnvironment("VANTREL_SOAK_TICKS", 1'000'000));
  }
  for (uint64_t seed = 1; seed <= 8; ++seed) {
    play(seed, fromEnvironment("VANTREL_SOAK_TICKS", 250'000));
    if (HasFatalFailure()) return;
  }
}

}  // namespace
