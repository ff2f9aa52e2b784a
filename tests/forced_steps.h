// Tests that force a race between two steps of a load or save: a hook in the
// file-system helper lets the test act, as another game or user would, at
// the step it chooses, or fail that step.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "file_io.h"
#include "game_fixture.h"
#include "scores/file_system.h"

// What the test does at a step; the step then goes on, or fails with the
// code returned.
inline std::function<int(FileStep, const std::string&)> onStep;

inline int callOnStep(FileStep step, const std::string& name) { return onStep ? onStep(step, name) : 0; }

inline bool isTemporaryName(const std::string& name) { return name.rfind("hiscore.txt.tmp-", 0) == 0; }

// Another game's save, put in place by a rename as every save is.
inline void putInPlace(const std::filesystem::path& table, const std::string& text) {
  writeAll(table.string() + ".other", text);
  std::filesystem::rename(table.string() + ".other", table);
}

class HiscoreRaceTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    setFileStepHook(callOnStep);
  }
  void TearDown() override {
    setFileStepHook(nullptr);
    onStep = nullptr;
    GameTest::TearDown();
  }
  // Runs `act` once, at the first step of this kind on a name `which` accepts.
  void once(FileStep kind, std::function<bool(const std::string&)> which, std::function<int()> act) {
    onStep = [=, done = false](FileStep step, const std::string& name) mutable {
      if (done || step != kind || !which(name)) return 0;
      done = true;
      return act();
    };
  }
  static bool isTable(const std::string& name) { return name == "hiscore.txt"; }
  std::string stderrOf(const std::function<void()>& body) {
    testing::internal::CaptureStderr();
    body();
    return testing::internal::GetCapturedStderr();
  }
};
