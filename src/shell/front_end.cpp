#include "shell/front_end.h"

#include "shell/midend.h"

int runProgram(const CommandLine& parsed, Platform& platform) {
  MidEnd midEnd("vantrel", parsed.options.scale);
  if (const std::optional<int> ended = startProgram(parsed, platform, midEnd)) return *ended;
  platform.runLoop();
  return finishProgram(midEnd, platform);
}

std::optional<int> startProgram(const CommandLine& parsed, Platform& platform, MidEnd& midEnd) {
  switch (parsed.action) {
    case CommandLine::ShowHelp: platform.tell(usageText(), false); return 0;
    case CommandLine::ShowVersion: platform.tell(versionText(), false); return 0;
    case CommandLine::Fail: platform.tell(commandLineErrorText(parsed.error), true); return 2;
    case CommandLine::Run: break;
  }
  std::string error;
  if (!midEnd.prepare(parsed.options, error)) {
    platform.tell("vantrel: " + error + "\n", true);
    return 2;
  }
  // A window that cannot be made: the platform has told why.
  if (!platform.openWindow(midEnd)) return 2;
  return std::nullopt;
}

int finishProgram(MidEnd& midEnd, Platform& platform) {
  std::string error;
  if (midEnd.finish(error)) return midEnd.exitCode();
  platform.tell("vantrel: " + error + "\n", true);
  return 2;
}
