// vantrel-sim: runs a script of window messages against the game, headless.
#include <cstdio>
#include <string>

#include "core/printable.h"
#include "scores/high_scores.h"
#include "shell/null_host.h"
#include "shell/playback.h"
#include "shell/window.h"

namespace {

// The About box and the help have no window to show in: say so.
class SimHost final : public NullHost {
 public:
  void showAbout() override { std::fprintf(stderr, "vantrel-sim: the About box has no window to show in\n"); }
  void openHelp(const char* helpFile) override {
    std::fprintf(stderr, "vantrel-sim: the help (%s) has no window to show in\n", helpFile);
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

int run(const std::string& scriptPath) {
  ScriptPlayback script;
  if (!script.open(scriptPath)) {
    std::fprintf(stderr, "vantrel-sim: %s\n", script.error().c_str());
    return 2;
  }
  SimHost host;
  onCreate(host);
  const bool failed = script.playToEnd(host) == ScriptPlayback::Failed;
  finishHighScores();
  if (!failed) return 0;
  std::fflush(stdout);
  std::fprintf(stderr, "vantrel-sim: %s\n", script.error().c_str());
  return 2;
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
      std::fputs("vantrel-sim 1.0\n", stdout);
      return 0;
    } else if (arg == "--hiscore") {
      if (i + 1 >= argc || !*argv[i + 1]) {
        std::fprintf(stderr, "vantrel-sim: --hiscore needs a path\n");
        return 2;
      }
      setHighScorePath(argv[++i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "vantrel-sim: unknown option '%s'\n", printablePath(arg).c_str());
      usage(stderr);
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
