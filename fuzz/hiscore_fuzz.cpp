// The high-score reader on any bytes: load them as hiscore.txt, insert a
// game's score, save; the saved file must load back to the same table and
// save again to the same bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scores/high_scores.h"
#include "scratch_folder.h"
#include "shell/window.h"

namespace {

bool sameTable(const HighScoreEntry* a, const HighScoreEntry* b) {
  for (int i = 0; i < highScoreCount; ++i) {
    if (std::strcmp(a[i].name, b[i].name) != 0 || a[i].score != b[i].score) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = scratchFolder() + "/hiscore.txt";
  writeBytes(path, data, size);
  resetGame();
  setHighScorePath(path);
  loadHighScores(highScoreCount, highScoreTable);
  insertHighScore(HighScoreEntry{"Fuzz", 1500});
  HighScoreEntry inserted[highScoreCount];
  std::memcpy(inserted, highScoreTable, sizeof inserted);
  const std::string saved = readBytes(path);

  loadHighScores(highScoreCount, highScoreTable);
  if (!sameTable(inserted, highScoreTable)) {
    std::fprintf(stderr, "the saved table loads back different:\n%s", saved.c_str());
    std::abort();
  }
  saveHighScores(highScoreCount, highScoreTable);
  if (readBytes(path) != saved) {
    std::fprintf(stderr, "the reloaded table saves different bytes:\n%s", saved.c_str());
    std::abort();
  }
  resetGame();
  return 0;
}
