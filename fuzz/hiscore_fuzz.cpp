// The high-score reader on any bytes: load them as hiscore.txt, insert a
// game's score, save; the saved file must load back to the same table and
// save again to the same bytes. Then the same bytes as another game's table,
// put in place between a load and its save: the save must merge into it,
// giving what inserting into that table alone gives. Last, a link, FIFO or
// folder swapped in at the table's name at some step of a run: nothing is
// ever written through the link, and the game goes on.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "scores/file_system.h"
#include "scores/high_scores.h"
#include "scratch_folder.h"
#include "shell/window_procedure.h"

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

// What another user swaps in, and at which step of those on the table. The
// folder is one anyone may write to and only owners may delete from, and the
// link another user's where the fuzzer can make it so (as root): the link
// rule then refuses it, and no step may follow it. A link of the player's own
// is followed by design.
std::string swapFolder;
int stepsBeforeSwap = 0, swappedKind = 0;
bool anotherUsersLink = false;

int swapSomethingIn(FileStep, const std::string& name) {
  if (name != "hiscore.txt" || stepsBeforeSwap-- != 0) return 0;
  namespace fs = std::filesystem;
  const std::string table = swapFolder + "/hiscore.txt";
  std::error_code ignored;
  fs::remove_all(table, ignored);
  if (swappedKind == 0) {
    fs::create_symlink(swapFolder + "/canary", table, ignored);
    anotherUsersLink = ::lchown(table.c_str(), 54321, 54321) == 0;
  }
  if (swappedKind == 1) ::mkfifo(table.c_str(), 0644);
  if (swappedKind == 2) fs::create_directory(table, ignored);
  return 0;
}

void checkSomethingSwappedIn(const uint8_t* data, size_t size) {
  if (size < 2) return;
  namespace fs = std::filesystem;
  swapFolder = scratchFolder() + "/swap";
  std::error_code ignored;
  fs::remove_all(swapFolder, ignored);
  fs::create_directory(swapFolder);
  fs::permissions(swapFolder, fs::perms::all | fs::perms::sticky_bit);
  anotherUsersLink = false;
  const std::string canary = swapFolder + "/canary", text = "the player's own file\n";
  writeBytes(canary, reinterpret_cast<const uint8_t*>(text.data()), text.size());
  writeBytes(swapFolder + "/hiscore.txt", data + 2, size - 2);
  stepsBeforeSwap = data[0] % 24;
  swappedKind = data[1] % 3;
  resetGame();
  setHighScorePath(swapFolder + "/hiscore.txt");
  setFileStepHook(swapSomethingIn);
  loadHighScores(highScoreCount, highScoreTable);
  insertHighScore(HighScoreEntry{"Fuzz", 1500});
  finishHighScores();
  setFileStepHook(nullptr);
  if ((swappedKind != 0 || anotherUsersLink) && readBytes(canary) != text) {
    std::fprintf(stderr, "a save wrote through a link swapped in at step %d\n", data[0] % 24);
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
  checkSomethingSwappedIn(data, size);
  resetGame();
  return 0;
}
