#include "shell/hiscore_place.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/printable.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The folder the per-user table lives in; empty, with the reason, when the
// environment names none.
fs::path userFolder(std::string& error) {
#ifdef _WIN32
  const std::string appData = environment("APPDATA");
  if (appData.empty()) {
    error = "cannot find this user's data folder: APPDATA is not set";
    return {};
  }
  return fs::path(appData) / "Vantrel";
#else
  // A relative XDG_DATA_HOME is to be ignored, as if unset.
  const std::string dataHome = environment("XDG_DATA_HOME");
  if (!dataHome.empty() && dataHome[0] == '/') return fs::path(dataHome) / "vantrel";
  const std::string home = environment("HOME");
  if (home.empty()) {
    error = "cannot find this user's data folder: neither XDG_DATA_HOME nor HOME is set";
    return {};
  }
  return fs::path(home) / ".local" / "share" / "vantrel";
#endif
}

}  // namespace

std::string userHighScorePath(std::string& error) {
  const fs::path folder = userFolder(error);
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
