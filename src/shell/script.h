// Scripts of window messages: what vantrel-sim runs, the window records and replays.
#pragma once
#include <cstdint>
#include <cstdio>
#include <deque>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

#include "shell/host.h"

enum MessageKind { MessageTick, MessageMove, MessageDown, MessageUp, MessageKey, MessageCommand };

// x and y carry the point of a move or release (16 bits each, as a script
// line does), x the key code or command.
struct WindowMessage {
  MessageKind kind;
  int32_t x, y;
};

// Hands one message to the game as the window's procedure would, and writes
// it to the record stream when one is set.
void dispatchMessage(WindowHost& host, const WindowMessage& message);

// Opens a script file; false, with the reason in error, when it cannot be read.
bool openScript(const std::string& path, std::ifstream& file, std::string& error);

// The longest script line read, line end not counted: a longer one is a bad
// line, refused before more of it is read.
constexpr size_t maxScriptLineLength = 65536;

// Reads a script line by line and yields its messages one at a time. A bad
// line (unknown, malformed, a number out of its range, too long) ends it with
// StepError and a message that names the line and shows it with the bytes
// that are not printable escaped.
class ScriptPlayer {
 public:
  enum Step { StepMessage, StepState, StepEnd, StepError };

  explicit ScriptPlayer(std::istream& in) : in_(in), buffer_(maxScriptLineLength + 2) {}
  Step next(WindowMessage& message);
  const std::string& error() const { return error_; }  // set on StepError

 private:
  bool readLine();  // false at the end or on a bad line
  bool fail(const std::string& reason);

  struct Queued {
    Step step;  // StepMessage or StepState
    WindowMessage message;
  };

  std::istream& in_;
  std::vector<char> buffer_;  // one line and a byte to tell a longer one
  std::string line_, error_;
  long lineNumber_ = 0;
  int64_t ticksLeft_ = 0;     // kept as a count: a tick line may ask for very many
  std::deque<Queued> queue_;  // at most the two messages of a click
  std::string typed_;         // the text of a type line, one key handed out at a time
  size_t typedNext_ = 0;
};
