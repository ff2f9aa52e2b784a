#include "shell/state_line.h"

#include <cstdio>

#include "core/world.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"
#include "shell/input.h"

namespace {

class JsonWriter {
 public:
  void key(const char* name) {
    separate();
    out_ += '"';
    out_ += name;
    out_ += "\":";
    first_ = true;  // the value follows without a comma
  }
  void number(long long value) { raw(std::to_string(value)); }
  void number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    raw(buffer);
  }
  void string(const char* text) {
    separate();
    out_ += '"';
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
      if (*p == '"' || *p == '\\') {
        out_ += '\\';
        out_ += static_cast<char>(*p);
      } else if (*p < 0x20 || *p >= 0x7F) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", *p);
        out_ += escape;
      } else {
        out_ += static_cast<char>(*p);
      }
    }
    out_ += '"';
  }
  void open(char bracket) {
    separate();
    out_ += bracket;
    first_ = true;
  }
  void close(char bracket) {
    out_ += bracket;
    first_ = false;
  }
  const std::string& text() const { return out_; }

 private:
  void raw(const std::string& s) {
    separate();
    out_ += s;
  }
  void separate() {
    if (!first_) out_ += ',';
    first_ = false;
  }

  std::string out_;
  bool first_ = true;
};

const char* brushName(BlockBrush brush) {
  switch (brush) {
    case BrushRed: return "red";
    case BrushBlack: return "black";
    default: return "green";
  }
}

const char* cursorName(CursorShape shape) {
  switch (shape) {
    case CursorField: return "field";
    case CursorBatZone: return "batZone";
    case CursorArrow: return "arrow";
    default: return "none";
  }
}

}  // namespace

std::string stateLine() {
  const GameWorld& w = world;
  JsonWriter j;
  j.open('{');
  const std::pair<const char*, int32_t> counters[] = {{"tickCount", w.tickCount},
                                                      {"gameState", int32_t{w.gameState}},
                                                      {"level", w.level},
                                                      {"levelCount", w.levelCount},
                                                      {"points", w.points},
                                                      {"balls", w.balls},
                                                      {"bonus", w.bonus},
                                                      {"bonusTime", w.bonusTime},
                                                      {"bonusTimePerLevel", w.bonusTimePerLevel},
                                                      {"bonusPerLevel", w.bonusPerLevel},
                                                      {"blocksLeft", w.blocksLeft},
                                                      {"blockCount", w.blockCount}};
  for (const auto& [name, value] : counters) {
    j.key(name);
    j.number(static_cast<long long>(value));
  }
  const std::pair<const char*, double> ball[] = {
      {"ballX", w.ballX}, {"ballY", w.ballY}, {"ballVX", w.ballVX}, {"ballVY", w.ballVY}};
  for (const auto& [name, value] : ball) {
    j.key(name);
    j.number(value);
  }
  j.key("ballSize");
  j.number(static_cast<long long>(w.ballSize));
  j.key("speedFactor");
  j.number(w.speedFactor);
  const std::pair<const char*, int32_t> bat[] = {
      {"batX", w.batX}, {"batY", w.batY}, {"batWidth", w.batWidth}, {"batHeight", w.batHeight}};
  for (const auto& [name, value] : bat) {
    j.key(name);
    j.number(static_cast<long long>(value));
  }
  j.key("playerName");
  j.string(w.candidateEntry.name);
  char typed[nameCapacity + 1];
  takeTypedName(typed);
  j.key("typedName");
  j.string(typed);
  j.key("pointerX");
  j.number(static_cast<long long>(shell.pointerX));
  j.key("pointerY");
  j.number(static_cast<long long>(shell.pointerY));
  j.key("checkedSpeedItem");
  j.number(static_cast<long long>(shell.checkedSpeedItem));
  j.key("cursor");
  j.string(cursorName(shell.cursor));
  j.key("blocks");
  j.open('[');
  for (int32_t i = 0; i < w.blockCount; ++i) {
    const Block& b = w.blockTable[i];
    j.open('[');
    for (int32_t v : {b.hits, b.fade, b.points, b.rect.left, b.rect.top, b.rect.right, b.rect.bottom}) {
      j.number(static_cast<long long>(v));
    }
    j.string(brushName(b.brush));
    j.close(']');
  }
  j.close(']');
  j.key("highScores");
  j.open('[');
  for (const HighScoreEntry& e : highScoreTable) {
    j.open('[');
    j.string(e.name);
    j.number(static_cast<long long>(e.score));
    j.close(']');
  }
  j.close(']');
  j.close('}');
  return j.text();
}

void printStateLine() {
  endInvalidCharacterLine();
  std::printf("%s\n", stateLine().c_str());
  std::fflush(stdout);
}
