// The window's command line, parsed from the bytes main receives.
#include <gtest/gtest.h>

#include <vector>

#include "shell/options.h"

namespace {

CommandLine parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "vantrel");
  return parseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLineTest, GoodCommandLinesGiveTheirOptions) {
  CommandLine p = parse({});
  EXPECT_EQ(p.action, CommandLine::Run);
  EXPECT_EQ(p.options.scale, 1);
  EXPECT_EQ(p.options.hiscorePath, "");

  p = parse({"--hiscore", "/tmp/h.txt", "--record", "r.txt", "-play", "p.txt", "--screenshot=s.png", "--scale", "3"});
  ASSERT_EQ(p.action, CommandLine::Run) << p.error;
  EXPECT_EQ(p.options.hiscorePath, "/tmp/h.txt");
  EXPECT_EQ(p.options.recordPath, "r.txt");
  EXPECT_EQ(p.options.playPath, "p.txt");
  EXPECT_EQ(p.options.screenshotPath, "s.png");
  EXPECT_EQ(p.options.scale, 3);

  // A path is kept byte for byte, whatever its encoding; a value may start with a dash.
  p = parse({"--hiscore", "caf\xE9\xFF.txt", "--play", "-", "--", });
  ASSERT_EQ(p.action, CommandLine::Run) << p.error;
  EXPECT_EQ(p.options.hiscorePath, "caf\xE9\xFF.txt");
  EXPECT_EQ(p.options.playPath, "-");

  for (const char* help : {"--help", "-h", "-help"}) EXPECT_EQ(parse({help}).action, CommandLine::ShowHelp) << help;
  EXPECT_EQ(parse({"--version"}).action, CommandLine::ShowVersion);
  EXPECT_EQ(parse({"--version", "--help"}).action, CommandLine::ShowHelp);
}

TEST(CommandLineTest, BadCommandLinesSayWhatIsWrongWithTheOptionAsTyped) {
  struct Case {
    std::vector<const char*> arguments;
    const char* error;
  };
  const Case cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-bogus=1"}, "unknown option '-bogus'"},
      {{"--scale", "0"}, "--scale takes a whole number from 1 to 8, not '0'"},
      {{"--scale", "9"}, "--scale takes a whole number from 1 to 8, not '9'"},
      {{"-scale=2x"}, "-scale takes a whole number from 1 to 8, not '2x'"},
      {{"--scale", " 2"}, "--scale takes a whole number from 1 to 8, not ' 2'"},
      {{"--scale"}, "--scale needs a value"},
      {{"--play"}, "--play needs a value"},
      {{"--play", ""}, "--play needs a value"},
      {{"--hiscore", ""}, "--hiscore needs a value"},
      {{"--hiscore="}, "--hiscore needs a value"},
      {{"--screenshot", "s.png"}, "--screenshot needs --play"},
      {{"--hiscore", "a", "-hiscore", "b"}, "-hiscore given more than once"},
      {{"--help=yes"}, "--help takes no value"},
      {{"stray"}, "unexpected argument 'stray'"},
      {{"--", "--help"}, "unexpected argument '--help'"},
      {{"--play", "p", "\xFF\xFE"}, "unexpected argument '\xFF\xFE'"},
  };
  for (const Case& c : cases) {
    const CommandLine p = parse(c.arguments);
    EXPECT_EQ(p.action, CommandLine::Fail) << c.error;
    EXPECT_EQ(p.error, c.error);
  }
  EXPECT_EQ(commandLineErrorText("x"), "vantrel: x\nTry 'vantrel --help' for more information.\n");
}

TEST(CommandLineTest, UnknownOptionsAreListedAsTypedForThePlatformToClaim) {
  const CommandLine p = parse({"-platform", "offscreen", "--scale", "2", "--reverse"});
  EXPECT_EQ(p.action, CommandLine::Fail);
  EXPECT_EQ(p.unknownOptions, (std::vector<std::string>{"-platform", "--reverse"}));
}

}  // namespace
