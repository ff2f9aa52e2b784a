// Plays a vantrel-sim script in the window at the normal pace: each timer
// timeout hands the game the script's messages up to and including one tick.
#pragma once
#include <fstream>
#include <string>

#include "shell/host.h"
#include "shell/script.h"

class ScriptPlayback {
 public:
  enum Outcome { Playing, Ended, Failed };

  // False, with the reason in error(), when the file cannot be read.
  bool open(const std::string& path);
  // Dispatches until one tick has gone to the game; 'state' lines print the
  // state line on standard output.
  Outcome playTick(WindowHost& host);
  const std::string& error() const { return error_; }

 private:
  std::ifstream file_;
  ScriptPlayer player_{file_};
  std::string error_;
};
