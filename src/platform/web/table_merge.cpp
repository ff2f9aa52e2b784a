#include "platform/web/table_merge.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "scores/high_scores.h"

namespace {

std::vector<HighScoreEntry> readTable(const std::string& path) {
  std::vector<HighScoreEntry> table(highScoreCount);
  setHighScorePath(path);
  loadHighScores(highScoreCount, table.data());
  return table;
}

}  // namespace

void mergeTables(const std::string& basePath, const std::string& oursPath, const std::string& tablePath) {
  std::vector<HighScoreEntry> base = readTable(basePath);
  const std::vector<HighScoreEntry> ours = readTable(oursPath);
  endInvalidCharacterLine();
  setHighScorePath(tablePath);
  loadHighScores(highScoreCount, highScoreTable);
  for (const HighScoreEntry& entry : ours) {
    const auto same = std::find_if(base.begin(), base.end(), [&](const HighScoreEntry& e) {
      return e.score == entry.score && std::strcmp(e.name, entry.name) == 0;
    });
    if (same != base.end())
      base.erase(same);
    else
      insertHighScore(entry);
  }
}
