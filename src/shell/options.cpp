#include "shell/options.h"

#include <cctype>
#include <charconv>

#include "core/printable.h"
#include "version.h"

namespace {

constexpr int largestScale = 8;

// The options that take a value, by index.
enum ValueOption { Hiscore, Record, Play, Screenshot, Scale, ValueOptionCount };
constexpr const char* valueOptionNames[ValueOptionCount] = {"hiscore", "record", "play", "screenshot", "scale"};

bool parseScale(const std::string& text, int& scale) {
  const char* end = text.data() + text.size();
  const auto [rest, problem] = std::from_chars(text.data(), end, scale);
  return problem == std::errc() && rest == end && scale >= 1 && scale <= largestScale;
}

}  // namespace

std::string usageText(UsageSystem system) {
  const bool windows = system == UsageWindows;
  const char* const menuEntry = windows ? "The Start menu's entry" : "The desktop menu's entry";
  return std::string(
             "Usage: vantrel [OPTION]...\n"
             "Vantrel, a block-breaking game: keep the ball in play with the bat and clear\n"
             "twelve levels of blocks.\n"
             "\n"
             "  --hiscore PATH     keep the high-score table in PATH\n") +
         (windows ? "  --user-hiscore     keep the high-score table in your own folder,\n"
                    "                     %APPDATA%\\Vantrel\\hiscore.txt; the folder is made when\n"
                    "                     missing. The Start menu's entry starts the game so.\n"
                    "                     Without either option the table is hiscore.txt in the\n"
                    "                     folder the game is started in.\n"
                    "  --record FILE      write everything the game is given to FILE as a script\n"
                    "                     that --play can replay\n"
                  : "  --user-hiscore     keep the high-score table in this user's data folder:\n"
                    "                     $XDG_DATA_HOME/vantrel/hiscore.txt, or\n"
                    "                     ~/.local/share/vantrel/hiscore.txt when XDG_DATA_HOME is\n"
                    "                     unset; the folder is made when missing. The desktop\n"
                    "                     menu's entry starts the game so. Without either option\n"
                    "                     the table is hiscore.txt in the working directory.\n"
                    "  --record FILE      write everything the game is given to FILE as a script\n"
                    "                     that vantrel-sim and --play can replay\n") +
         "  --play FILE        play the script FILE in the window at the normal pace;\n"
         "                     its 'state' lines print the game state; afterwards play\n"
         "                     goes on live; Exit or the close box ends the program\n"
         "  --screenshot FILE  with --play: save the client area to FILE as PNG when\n"
         "                     the script ends or exits, and quit; a played About box\n"
         "                     is not shown. The picture is the window as shown: the\n"
         "                     panel is redrawn every 16 ticks and the field every\n"
         "                     other tick, so end a script with 'tick 16' for its\n"
         "                     final figures\n"
         "  --scale N          open the window with every game pixel N by N screen\n"
         "                     pixels (1 to 8; lowered to fit the screen). The picture\n"
         "                     grows and shrinks with the window by whole multiples\n"
         "  --pause-when-inactive\n"
         "                     hold the game while its window is inactive or\n"
         "                     minimised or the About box is up; the title bar says\n"
         "                     \"Paused\". " +
         menuEntry +
         " starts the game so.\n"
         "                     A played script is never held\n"
         "  -h, --help         show this help and quit\n"
         "  --version          show the version and quit\n";
}

std::string versionText() { return "vantrel " VANTREL_VERSION "\n"; }

std::string commandLineErrorText(const std::string& error) {
  return "vantrel: " + error + "\nTry 'vantrel --help' for more information.\n";
}

// Option lines start with two blanks and a dash; their descriptions go on in
// lines indented further; a prose line that starts in lower case goes on the
// line before.
std::string boxText(const std::string& terminalText) {
  std::string box, line;
  bool optionAlone = false;  // an option line whose description follows below
  auto finish = [&] {
    if (!line.empty()) box += line + "\n";
    line.clear();
  };
  size_t from = 0;
  while (from < terminalText.size()) {
    size_t end = terminalText.find('\n', from);
    if (end == std::string::npos) end = terminalText.size();
    const std::string raw = terminalText.substr(from, end - from);
    from = end + 1;
    const size_t indent = raw.find_first_not_of(' ');
    if (indent == std::string::npos) {
      finish();
      box += "\n";
      continue;
    }
    const std::string words = raw.substr(indent);
    if (indent == 2 && words[0] == '-') {
      finish();
      const size_t gap = words.find("  ");
      optionAlone = gap == std::string::npos;
      line = optionAlone ? words : words.substr(0, gap) + ": " + words.substr(words.find_first_not_of(' ', gap));
    } else if (!line.empty() && (indent > 2 || std::islower(static_cast<unsigned char>(words[0])))) {
      line += (optionAlone ? ": " : " ") + words;
      optionAlone = false;
    } else {
      finish();
      line = words;
    }
  }
  finish();
  return box;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  bool help = false, version = false, optionsEnded = false;
  std::string userHiscore;  // as typed, when given
  bool pauseWhenInactive = false;
  std::string given[ValueOptionCount];
  std::string typed[ValueOptionCount];  // how each was written, for messages
  auto fail = [&result](std::string error) {
    if (result.error.empty()) result.error = printablePath(error);  // options may hold any bytes
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      fail("unexpected argument '" + arg + "'");
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t nameStart = arg[1] == '-' ? 2 : 1;
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(nameStart, equals == std::string::npos ? equals : equals - nameStart);
    const std::string asTyped = arg.substr(0, equals);
    if (name == "user-hiscore" || name == "pause-when-inactive") {
      if (name == "user-hiscore") {
        userHiscore = asTyped;
      } else {
        pauseWhenInactive = true;
      }
      if (equals != std::string::npos) fail(asTyped + " takes no value");
      continue;
    }
    if (name == "h" || name == "help" || name == "version") {
      (name == "version" ? version : help) = true;
      if (equals != std::string::npos) fail(asTyped + " takes no value");
      continue;
    }
    int k = 0;
    while (k < ValueOptionCount && name != valueOptionNames[k]) ++k;
    if (k == ValueOptionCount) {
      result.unknownOptions.push_back(asTyped);
      fail("unknown option '" + asTyped + "'");
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    }
    if (!typed[k].empty()) fail(asTyped + " given more than once");
    if (value.empty()) fail(asTyped + " needs a value");
    typed[k] = asTyped;
    given[k] = value;
  }
  if (!result.error.empty()) {
    result.action = CommandLine::Fail;
    return result;
  }
  if (help || version) {
    result.action = help ? CommandLine::ShowHelp : CommandLine::ShowVersion;
    return result;
  }
  Options& o = result.options;
  o.hiscorePath = given[Hiscore];
  o.recordPath = given[Record];
  o.playPath = given[Play];
  o.screenshotPath = given[Screenshot];
  o.userHiscore = !userHiscore.empty();
  o.pauseWhenInactive = pauseWhenInactive;
  if (o.userHiscore && !typed[Hiscore].empty())
    fail(typed[Hiscore] + " and " + userHiscore + " cannot be used together");
  if (!typed[Scale].empty() && !parseScale(given[Scale], o.scale)) {
    fail(typed[Scale] + " takes a whole number from 1 to " + std::to_string(largestScale) + ", not '" + given[Scale] +
         "'");
  }
  if (!o.screenshotPath.empty() && o.playPath.empty()) fail(typed[Screenshot] + " needs --play");
  if (!result.error.empty()) result.action = CommandLine::Fail;
  return result;
}
