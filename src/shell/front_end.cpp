#include "shell/front_end.h"

#include "shell/midend.h"

int runProgram(const CommandLine& parsed, Platform& platform) {
  switch (parsed.action) {
    case CommandLine::ShowHelp: platform.tell(usageText(), false); return 0;
    case CommandLine::ShowVersion: platform.tell(versionText(), false); return 0;
    case CommandLine::Fail: platform.tell(commandLineErrorText(parsed.error), true); return 2;
    case CommandLine::Run: break;
  }
  MidEnd midEnd("vantrel", parsed.options.scale);
  std::string error;
  if (midEnd.prepare(parsed.options, error)) {
    // A window that cannot be made ends the program quietly.
    if (!platform.openWindow(midEnd)) return 0;
    platform.runLoop();
    if (midEnd.finish(error)) return midEnd.exitCode();
  }
  platform.tell("vantrel: " + error + "\n", true);
  return 2;
}
