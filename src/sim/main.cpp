// vantrel-sim: runs a script of window messages against the game, headless.
#include <cstdio>
#include <string>

#include "core/printable.h"
#include "scores/high_scores.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "version.h"

namespace {

// No window: the About box and the help have nowhere to show, and say so.
class SimFrontEnd final : public NullFrontEnd {
 public:
  bool showAbout() override {
    std::fprintf(stderr, "vantrel-sim: the About box has no window to show in\n");
    return false;
  }
  void openHelp(const char* helpFile) override {
    std::fprintf(stderr, "vantrel-sim: the help (%s) has no window to show in\n", helpFile);
  }
  void tell(const std::string& text, bool) override {
    std::fflush(stdout);  // the state lines before it first
    std::fputs(text.c_str(), stderr);
  }
};

void usage(std::FILE* out) {
  std::fprintf(out,
               "Usage: vantrel-sim [--hiscore PATH] [SCRIPT]\n"
               "Runs a script of window messages against the game without a window and\n"
               "prints the state lines it asks for. SCRIPT is a file, or standard input\n"
               "when it is missing or '-'.\n"
               "\n"
               "  --hiscore PATH  keep the high-score table in PATH (default: hiscore.txt\n"
               "                  in the working directory)\n"
               "  -h, --help      show this help and quit\n"
               "  --version       show the version and quit\n");
}

// After a bad command line, as vantrel says it.
constexpr const char* tryHelp = "Try 'vantrel-sim --help' for more information.\n";

// The script's ticks as fast as they come.
int run(const std::string& scriptPath) {
  SimFrontEnd frontEnd;
  NullSurface surface;
  MidEnd midEnd("vantrel-sim");
  Options options;
  options.playPath = scriptPath;
  std::string error;
  if (!midEnd.prepare(options, error)) {
    frontEnd.tell("vantrel-sim: " + error + "\n", true);
    return 2;
  }
  midEnd.create(frontEnd, surface, midEnd.openingClientSize());
  while (midEnd.playing()) midEnd.tick();
  midEnd.finish(error);  // nothing is recorded here
  return midEnd.exitCode();
}

}  // namespace

int main(int argc, char** argv) {
  std::string scriptPath = "-";
  bool scriptGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      usage(stdout);
      return 0;
    } else if (arg == "--version") {
      std::fputs("vantrel-sim " VANTREL_VERSION "\n", stdout);
      return 0;
    } else if (arg == "--hiscore") {
      if (i + 1 >= argc || !*argv[i + 1]) {
        std::fprintf(stderr, "vantrel-sim: --hiscore needs a path\n%s", tryHelp);
        return 2;
      }
      setHighScorePath(argv[++i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "vantrel-sim: unknown option '%s'\n%s", printablePath(arg).c_str(), tryHelp);
      return 2;
    } else if (!scriptGiven) {
      scriptPath = arg;
      scriptGiven = true;
    } else {
      std::fprintf(stderr, "vantrel-sim: more than one script given\n");
      return 2;
    }
  }
  return run(scriptPath);
}
