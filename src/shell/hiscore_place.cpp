#include "shell/hiscore_place.h"

#include <filesystem>
#include <system_error>

#include "core/printable.h"
#include "scores/file_system.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

std::string userHighScorePath(std::string& error) {
  const fs::path folder = gameDataFolder(error);
  if (folder.empty()) return {};
  std::error_code problem;
  fs::create_directories(folder, problem);
  if (problem || !fs::is_directory(folder)) {
    error = "cannot make the folder " + printablePath(folder.string()) + ": " +
            (problem ? problem.message() : std::string("a file of that name is in the way"));
    return {};
  }
  return (folder / "hiscore.txt").string();
}

bool chooseHighScoreFile(const Options& options, std::string& error) {
  if (!options.hiscorePath.empty()) setHighScorePath(options.hiscorePath);
  if (!options.userHiscore) return true;
  const std::string path = userHighScorePath(error);
  if (path.empty()) return false;
  setHighScorePath(path);
  return true;
}
