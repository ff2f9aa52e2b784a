// Scripts of window messages: what vantrel-sim runs, the window records and replays.
#pragma once
#include <cstdint>
#include <cstdio>
#include <deque>
#include <fstream>
#include <istream>
#include <string>

#include "shell/host.h"

enum MessageKind { MessageTick, MessageMove, MessageDown, MessageUp, MessageKey, MessageCommand };

// x and y carry the point of a move or release, x the key code or command.
struct WindowMessage {
  MessageKind kind;
  int32_t x, y;
};

// Hands one message to the game as the window's procedure would, and writes
// it to the record stream when one is set.
void dispatchMessage(WindowHost& host, const WindowMessage& message);

// Opens a script file; false, with the reason in error, when it cannot be read.
bool openScript(const std::string& path, std::ifstream& file, std::string& error);

// Reads a script line by line and yields its messages one at a time.
class ScriptPlayer {
 public:
  enum Step { StepMessage, StepState, StepEnd, StepError };

  explicit ScriptPlayer(std::istream& in) : in_(in) {}
  Step next(WindowMessage& message);
  const std::string& error() const { return error_; }  // set on StepError

 private:
  bool readLine();  // false at the end or on a bad line
  bool fail(const char* reason);

  struct Queued {
    Step step;  // StepMessage or StepState
    WindowMessage message;
  };

  std::istream& in_;
  std::string line_, error_;
  long lineNumber_ = 0;
  int64_t ticksLeft_ = 0;  // kept as a count: a tick line may ask for very many
  std::deque<Queued> queue_;
};
