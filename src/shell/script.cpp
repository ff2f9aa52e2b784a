#include "shell/script.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/printable.h"
#include "scores/high_scores.h"
#include "shell/front_end.h"
#include "shell/input.h"
#include "shell/recording.h"
#include "shell/window_procedure.h"

namespace {

std::vector<std::string> tokenize(const std::string& line) {
  std::vector<std::string> tokens;
  const std::string text = line.substr(0, line.find('#'));
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
      ++i;
      continue;
    }
    const size_t end = text.find_first_of(" \t\r", i);
    tokens.push_back(text.substr(i, end == std::string::npos ? std::string::npos : end - i));
    i = end == std::string::npos ? text.size() : end;
  }
  return tokens;
}

enum NumberParse { NumberOk, NumberMalformed, NumberTooLarge };

// Decimal or 0x-prefixed hexadecimal, with an optional minus sign, into a
// 64-bit integer. Each step is checked before it multiplies, so no digits wrap.
NumberParse parseNumber(const std::string& token, int64_t& value) {
  const bool negative = token.size() > 1 && token[0] == '-';
  size_t i = negative ? 1 : 0;
  int base = 10;
  if (token.compare(i, 2, "0x") == 0 || token.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i == token.size()) return NumberMalformed;
  const uint64_t limit = negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX};
  uint64_t magnitude = 0;
  bool tooLarge = false;
  for (; i < token.size(); ++i) {
    const int c = std::tolower(static_cast<unsigned char>(token[i]));
    const int digit = std::isdigit(c) ? c - '0' : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (digit < 0) return NumberMalformed;
    if (magnitude > (limit - digit) / base)
      tooLarge = true;  // a later digit may still be malformed
    else
      magnitude = magnitude * base + digit;
  }
  if (tooLarge) return NumberTooLarge;
  value = static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
  return NumberOk;
}

// What the numbers of each command must fit: the field of the message that
// carries them. A tick count only has to be a count.
struct Range {
  const char* command;
  int64_t low, high;
  const char* what;
};

const Range ranges[] = {
    {"tick", 0, INT64_MAX, "tick count"},
    {"move", INT16_MIN, INT16_MAX, "coordinate"},
    {"up", INT16_MIN, INT16_MAX, "coordinate"},
    {"click", INT16_MIN, INT16_MAX, "coordinate"},
    {"key", 1, 255, "key code"},
    {"command", 0, UINT16_MAX, "command"},
};

const Range* rangeOf(const std::string& command) {
  for (const Range& r : ranges) {
    if (command == r.command) return &r;
  }
  return nullptr;
}

std::string outOfRange(const Range& r) {
  return std::string(r.what) + " out of range (" + std::to_string(r.low) + " to " + std::to_string(r.high) + ")";
}

// Only the start of a long line is shown.
std::string shown(const std::string& line) { return printable(line, 80); }

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Letters as their upper-case key codes, anything else as its character code.
// ASCII only: the window sets a locale, and a script must mean the same keys
// in every program and on every platform.
int32_t keyOf(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? u - 'a' + 'A' : u;
}

}  // namespace

void dispatchMessage(WindowHost& host, const WindowMessage& m) {
  recordMessage(m);
  const Point point{static_cast<int16_t>(m.x), static_cast<int16_t>(m.y)};  // 16 bits, as recorded
  switch (m.kind) {
    case MessageTick: onTimer(host); break;
    case MessageMove: onPointerMove(host, point); break;
    case MessageDown: onButtonDown(host); break;
    case MessageUp: onButtonUp(host, point); break;
    case MessageKey: onKeyMessage(host, m.x); break;
    case MessageCommand: onCommand(host, static_cast<Command>(m.x)); break;
  }
  // The first problem with the high-score file reaches the player once, in
  // the window, besides the line on standard error.
  if (const std::string problem = takeHighScoreProblem(); !problem.empty()) host.frontEnd().showNotice(problem.c_str());
}

bool openScript(const std::string& path, std::ifstream& file, std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    error = "cannot read the script " + printablePath(path) + ": it is a folder";
    return false;
  }
  file.open(path);
  if (file) return true;
  error = "cannot read the script " + printablePath(path) + ": " + std::strerror(errno);
  return false;
}

ScriptPlayer::Step ScriptPlayer::next(WindowMessage& message) {
  while (ticksLeft_ == 0 && queue_.empty() && typedNext_ == typed_.size()) {
    if (!readLine()) return error_.empty() ? StepEnd : StepError;
  }
  if (ticksLeft_ > 0) {
    --ticksLeft_;
    message = {MessageTick, 0, 0};
    return StepMessage;
  }
  if (queue_.empty()) {
    message = {MessageKey, keyOf(typed_[typedNext_++]), 0};
    return StepMessage;
  }
  const Queued q = queue_.front();
  queue_.pop_front();
  message = q.message;
  return q.step;
}

bool ScriptPlayer::fail(const std::string& reason) {
  error_ = "line " + std::to_string(lineNumber_) + ": " + reason + ": " + shown(line_);
  return false;
}

// Reads the next line, never more than the longest allowed and a byte, and
// queues what it asks for.
bool ScriptPlayer::readLine() {
  typed_.clear();
  typedNext_ = 0;
  in_.getline(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  const auto extracted = static_cast<size_t>(in_.gcount());
  if (in_.bad()) {
    error_ = "cannot be read past line " + std::to_string(lineNumber_);
    return false;
  }
  if (extracted == 0 && in_.fail()) return false;
  ++lineNumber_;
  // A good stream took the line end too; a failed one filled the buffer without meeting it.
  line_.assign(buffer_.data(), in_.good() ? extracted - 1 : extracted);
  if (!in_.fail() && !line_.empty() && line_.back() == '\r') line_.pop_back();
  if (line_.size() > maxScriptLineLength) {
    return fail("longer than " + std::to_string(maxScriptLineLength) + " bytes");
  }
  // Editors on some systems begin a file with a byte-order mark.
  if (lineNumber_ == 1 && line_.starts_with(byteOrderMark)) line_.erase(0, byteOrderMark.size());
  if (line_.find('\r') != std::string::npos) {
    return fail("carriage return inside the line (lines must end in LF or CR LF, not CR alone)");
  }
  const std::vector<std::string> t = tokenize(line_);
  if (t.empty()) return true;
  const std::string& name = t[0];
  if (name != "type" && name != "down" && name != "state" && !rangeOf(name)) return fail("unknown command");
  if (name == "type") {
    if (t.size() != 2) return fail("type takes one token");
    if (t[1].find('\0') != std::string::npos) return fail(outOfRange(*rangeOf("key")));
    typed_ = t[1];
    return true;
  }
  std::vector<int64_t> n(t.size() - 1);
  const Range* range = rangeOf(name);
  for (size_t i = 1; i < t.size(); ++i) {
    const NumberParse parse = parseNumber(t[i], n[i - 1]);
    if (parse == NumberMalformed) return fail("malformed number");
    if (range && (parse == NumberTooLarge || n[i - 1] < range->low || n[i - 1] > range->high)) {
      return fail(outOfRange(*range));
    }
    if (parse == NumberTooLarge) return fail("number out of range");
  }
  const size_t args = n.size();
  auto queue = [&](MessageKind kind, int64_t x = 0, int64_t y = 0) {
    queue_.push_back({StepMessage, {kind, static_cast<int32_t>(x), static_cast<int32_t>(y)}});
  };
  if (name == "tick" && args <= 1) {
    ticksLeft_ = args == 0 ? 1 : n[0];
  } else if (name == "move" && args == 2) {
    queue(MessageMove, n[0], n[1]);
  } else if (name == "down" && args == 0) {
    queue(MessageDown);
  } else if (name == "up" && args == 2) {
    queue(MessageUp, n[0], n[1]);
  } else if (name == "click" && args == 2) {
    queue(MessageDown);
    queue(MessageUp, n[0], n[1]);
  } else if (name == "key" && args == 1) {
    queue(MessageKey, n[0]);
  } else if (name == "command" && args == 1) {
    queue(MessageCommand, n[0]);
  } else if (name == "state" && args == 0) {
    queue_.push_back({StepState, {}});
  } else {
    return fail("wrong arguments");
  }
  return true;
}
