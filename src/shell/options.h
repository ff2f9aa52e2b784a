// The command line of the game's window, the same on every platform. Paths are
// kept as the bytes given, so a name that is not UTF-8 is named as it was typed.
#pragma once
#include <string>
#include <vector>

struct Options {
  std::string hiscorePath, recordPath, playPath, screenshotPath;  // empty when not given
  int scale = 1;
  bool userHiscore = false;  // the table in the per-user data folder
  bool pauseWhenInactive = false;
};

struct CommandLine {
  enum Action { Run, ShowHelp, ShowVersion, Fail } action = Run;
  Options options;
  std::string error;  // for Fail: what is wrong, without the program name
  // Options this parser does not know, as typed: a platform may take some of
  // them itself (Qt's -platform) and parse again what it leaves.
  std::vector<std::string> unknownOptions;
};

// argv as main receives it, program name first. Options take one or two
// dashes; a value follows as the next argument or after '='.
CommandLine parseCommandLine(int argc, const char* const* argv);
// Whose words --help speaks: each system's player reads its own folders and
// ways of starting the game.
enum UsageSystem { UsageLinux, UsageWindows };
#ifdef _WIN32
constexpr UsageSystem usageSystem = UsageWindows;
#else
constexpr UsageSystem usageSystem = UsageLinux;
#endif
std::string usageText(UsageSystem system = usageSystem);
std::string versionText();
// The error as the program prints it: "vantrel: ...", then a pointer to --help.
std::string commandLineErrorText(const std::string& error);
// A text laid out for an 80-column terminal, as a message box shows it best:
// each option on a line of its own, "--option ARG: what it does", and
// paragraphs in one piece, for the box to wrap.
std::string boxText(const std::string& terminalText);
