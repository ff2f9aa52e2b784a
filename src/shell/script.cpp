#include "shell/script.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "shell/input.h"
#include "shell/recording.h"
#include "shell/window.h"

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

// Decimal or 0x-prefixed hexadecimal, with an optional minus sign.
bool parseNumber(const std::string& token, int64_t& value) {
  size_t i = token.size() > 1 && token[0] == '-' ? 1 : 0;
  int base = 10;
  if (token.compare(i, 2, "0x") == 0 || token.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i == token.size()) return false;
  uint64_t magnitude = 0;
  for (; i < token.size(); ++i) {
    const int c = std::tolower(static_cast<unsigned char>(token[i]));
    const int digit = std::isdigit(c) ? c - '0' : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > (uint64_t{1} << 62)) return false;
  }
  value = token[0] == '-' ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

// Letters as their upper-case key codes, anything else as its character code.
int32_t keyOf(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) ? std::toupper(u) : u;
}

}  // namespace

void dispatchMessage(WindowHost& host, const WindowMessage& m) {
  recordMessage(m);
  switch (m.kind) {
    case MessageTick: onTimer(host); break;
    case MessageMove: onPointerMove(host, packPoint(m.x, m.y)); break;
    case MessageDown: onButtonDown(host); break;
    case MessageUp: onButtonUp(host, packPoint(m.x, m.y)); break;
    case MessageKey: onKeyMessage(host, m.x); break;
    case MessageCommand: onCommand(host, static_cast<uint16_t>(m.x)); break;
  }
}

bool openScript(const std::string& path, std::ifstream& file, std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    error = "cannot read the script " + path + ": it is a folder";
    return false;
  }
  file.open(path);
  if (file) return true;
  error = "cannot read the script " + path + ": " + std::strerror(errno);
  return false;
}

ScriptPlayer::Step ScriptPlayer::next(WindowMessage& message) {
  while (ticksLeft_ == 0 && queue_.empty()) {
    if (!readLine()) return error_.empty() ? StepEnd : StepError;
  }
  if (ticksLeft_ > 0) {
    --ticksLeft_;
    message = {MessageTick, 0, 0};
    return StepMessage;
  }
  const Queued q = queue_.front();
  queue_.pop_front();
  message = q.message;
  return q.step;
}

bool ScriptPlayer::fail(const char* reason) {
  error_ = "line " + std::to_string(lineNumber_) + ": " + reason + ": " + line_;
  return false;
}

// Reads the next line that is not blank and queues what it asks for.
bool ScriptPlayer::readLine() {
  if (!std::getline(in_, line_)) {
    if (in_.bad()) error_ = "cannot be read past line " + std::to_string(lineNumber_);
    return false;
  }
  ++lineNumber_;
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  const std::vector<std::string> t = tokenize(line_);
  if (t.empty()) return true;
  const std::string& name = t[0];
  if (name == "type") {
    if (t.size() != 2) return fail("type takes one token");
    for (char c : t[1]) queue_.push_back({StepMessage, {MessageKey, keyOf(c), 0}});
    return true;
  }
  std::vector<int64_t> n(t.size() - 1);
  for (size_t i = 1; i < t.size(); ++i) {
    if (!parseNumber(t[i], n[i - 1])) return fail("malformed number");
  }
  const size_t args = n.size();
  auto queue = [&](MessageKind kind, int32_t x = 0, int32_t y = 0) {
    queue_.push_back({StepMessage, {kind, x, y}});
  };
  // Points reach the game as the window's messages carry them: 16 bits each.
  auto x16 = [&] { return static_cast<int32_t>(static_cast<int16_t>(n[0])); };
  auto y16 = [&] { return static_cast<int32_t>(static_cast<int16_t>(n[1])); };
  if (name == "tick" && args <= 1) {
    ticksLeft_ = args == 0 ? 1 : std::max<int64_t>(n[0], 0);
  } else if (name == "move" && args == 2) {
    queue(MessageMove, x16(), y16());
  } else if (name == "down" && args == 0) {
    queue(MessageDown);
  } else if (name == "up" && args == 2) {
    queue(MessageUp, x16(), y16());
  } else if (name == "click" && args == 2) {
    queue(MessageDown);
    queue(MessageUp, x16(), y16());
  } else if (name == "key" && args == 1) {
    queue(MessageKey, static_cast<int32_t>(n[0]));
  } else if (name == "command" && args == 1) {
    queue(MessageCommand, static_cast<uint16_t>(n[0]));
  } else if (name == "state" && args == 0) {
    queue_.push_back({StepState, {}});
  } else {
    return fail("not a command or wrong arguments");
  }
  return true;
}
