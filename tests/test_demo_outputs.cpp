// The whole output of vantrel-sim on each demo script, against the copy kept
// in tests/expected: any change to the ball's path, the fades or the scoring
// anywhere in a demo shows up here. A deliberate change regenerates the
// copies with tools/update-expected.sh, in a commit of its own.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "file_io.h"

namespace fs = std::filesystem;

namespace {

class DemoOutputTest : public testing::TestWithParam<const char*> {};

TEST_P(DemoOutputTest, MatchesTheKeptCopy) {
  const std::string name = GetParam();
  const fs::path work =
      fs::temp_directory_path() / ("vantrel-demo-" + name + "-" + std::to_string(std::random_device{}()));
  fs::create_directories(work);
  const fs::path out = work / "out.txt";
  const std::string command =
      "cd \"" + work.string() + "\" && \"" VANTREL_SIM "\" \"" VANTREL_DEMO_DIR "/" + name + ".vsim\" > out.txt";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string expected = readAll(fs::path(VANTREL_EXPECTED_DIR) / (name + ".out"));
  ASSERT_FALSE(expected.empty());
  const std::string actual = readAll(out);
  fs::remove_all(work);
  // Compared line by line so that a failure names the first state that moved.
  std::istringstream want(expected), got(actual);
  std::string a, b;
  for (int line = 1; std::getline(want, a); ++line) {
    ASSERT_TRUE(std::getline(got, b)) << "output ends before line " << line;
    ASSERT_EQ(b, a) << "line " << line;
  }
  EXPECT_FALSE(std::getline(got, b)) << "output goes on past the kept copy: " << b;
}

// Test names are the script names without their dashes.
INSTANTIATE_TEST_SUITE_P(Demos, DemoOutputTest, testing::Values("demo", "all-levels", "game-over"),
                         [](const auto& info) {
                           std::string name;
                           for (const char* p = info.param; *p; ++p)
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           return name;
                         });

}  // namespace
