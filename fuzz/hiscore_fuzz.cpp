// The high-score reader on any bytes: load them as hiscore.txt, insert a
// game's score, save; the saved file must load back to the same table and
// save again to the same bytes. Then the same bytes as another game's table,
// put in place between a load and its save: the save must merge into it,
// giving what inserting into that table alone gives.
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

// The table in `theirs` as a load reads it, with the candidate inserted.
std::string insertedInto(const std::string& path, const std::string& theirs, const HighScoreEntry& candidate) {
  resetGame();
  writeBytes(path, reinterpret_cast<const uint8_t*>(theirs.data()), theirs.size());
  setHighScorePath(path);
  loadHighScores(highScoreCount, highScoreTable);
  insertHighScore(candidate);
  return readBytes(path);
}

// Another game renames its table over this one's after this one read it.
void checkMergeIntoAnotherGamesTable(const uint8_t* data, size_t size) {
  const std::string path = scratchFolder() + "/hiscore.txt", other = scratchFolder() + "/other.txt";
  const size_t half = size / 2;
  const std::string theirs(reinterpret_cast<const char*>(data) + half, size - half);
  const HighScoreEntry candidate{"Fuzz", 1500};
  resetGame();
  writeBytes(path, data, half);
  setHighScorePath(path);
  {
    const HighScoreLock lock;
    loadHighScores(highScoreCount, highScoreTable);
    writeBytes(other, reinterpret_cast<const uint8_t*>(theirs.data()), theirs.size());
    std::rename(other.c_str(), path.c_str());
    insertHighScore(candidate);
  }
  const std::string merged = readBytes(path);
  if (merged != insertedInto(other, theirs, candidate)) {
    std::fprintf(stderr, "the save did not merge into the other game's table:\n%s", merged.c_str());
    std::abort();
  }
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
  checkMergeIntoAnotherGamesTable(data, size);
  resetGame();
  return 0;
}
