#include "shell/hiscore_place.h"

#include <filesystem>
#include <system_error>

#include "core/printable.h"
#include "scores/file_system.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

// Makes the folder when missing: empty, or why it cannot be made.
std::string makeFolder(const fs::path& folder) {
  std::error_code problem;
  fs::create_directories(folder, problem);
  if (!problem && fs::is_directory(folder)) return {};
  return "cannot make the folder " + printablePath(folder.string()) + ": " +
         (problem ? problem.message() : std::string("a file of that name is in the way"));
}

}  // namespace

std::string userHighScorePath(std::string& error) {
  const fs::path folder = gameDataFolder(error);
  if (folder.empty()) return {};
  error = makeFolder(folder);
  return error.empty() ? (folder / "hiscore.txt").string() : std::string();
}

bool chooseHighScoreFile(const Options& options, std::string& error) {
  if (!options.hiscorePath.empty()) setHighScorePath(options.hiscorePath);
  if (!options.userHiscore) return true;
  const fs::path folder = gameDataFolder(error);
  if (folder.empty()) return false;
  setHighScorePath((folder / "hiscore.txt").string());
  // The game is played all the same, its scores kept in memory; the player
  // is told why as for any save that fails.
  if (const std::string problem = makeFolder(folder); !problem.empty()) reportHighScoreFolderProblem(problem);
  return true;
}
