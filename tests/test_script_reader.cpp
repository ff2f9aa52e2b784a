// The script reader on its own: what each line yields, which lines are bad and
// how they are reported, and how much of a long line it reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "shell/script.h"

namespace {

// What a script yields, one step at a time, as text: "tick", "move 1 2",
// "state", ..., and "error: ..." or "end" last. Stops after limit steps.
std::vector<std::string> steps(std::istream& in, size_t limit = 100) {
  static const char* const kinds[] = {"tick", "move", "down", "up", "key", "command"};
  ScriptPlayer player(in);
  std::vector<std::string> result;
  WindowMessage m;
  while (result.size() < limit) {
    switch (player.next(m)) {
      case ScriptPlayer::StepMessage: {
        std::ostringstream text;
        text << kinds[m.kind];
        if (m.kind == MessageMove || m.kind == MessageUp) text << ' ' << m.x << ' ' << m.y;
        if (m.kind == MessageKey || m.kind == MessageCommand) text << ' ' << m.x;
        result.push_back(text.str());
        break;
      }
      case ScriptPlayer::StepState: result.push_back("state"); break;
      case ScriptPlayer::StepEnd: result.push_back("end"); return result;
      case ScriptPlayer::StepError: result.push_back("error: " + player.error()); return result;
    }
  }
  return result;
}

std::vector<std::string> steps(const std::string& script, size_t limit = 100) {
  std::istringstream in(script);
  return steps(in, limit);
}

struct Case {
  std::string script;
  std::vector<std::string> expected;
};

TEST(ScriptReader, NumbersAtTheEndsOfTheirRanges) {
  const Case cases[] = {
      {"move -32768 32767\nup 0x7FFF -0x8000", {"move -32768 32767", "up 32767 -32768", "end"}},
      {"click 5 6", {"down", "up 5 6", "end"}},
      {"key 1\nkey 0xFF", {"key 1", "key 255", "end"}},
      {"command 0\ncommand 65535", {"command 0", "command 65535", "end"}},
      {"tick 0\nstate\ntick\ntick 2", {"state", "tick", "tick", "tick", "end"}},
      {"tick 0x7FFFFFFFFFFFFFFF", {"tick", "tick", "tick"}},
      {"tick 9223372036854775807", {"tick", "tick", "tick"}},
      {"type aZ9!\n  # only a comment\nstate", {"key 65", "key 90", "key 57", "key 33", "state", "end"}},
      {"type \xE9\xC9", {"key 233", "key 201", "end"}},             // bytes past ASCII stay as they are
      {"\xEF\xBB\xBFstate\r\nstate\n", {"state", "state", "end"}},  // a byte-order mark, CR LF and LF
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    EXPECT_EQ(steps(c.script, c.expected.size()), c.expected);
  }
}

TEST(ScriptReader, BadLinesAreNamedAndShownSafely) {
  const std::string ticks = "tick count out of range (0 to 9223372036854775807)";
  const std::string points = "coordinate out of range (-32768 to 32767)";
  const std::string keys = "key code out of range (1 to 255)";
  const Case cases[] = {
      {"tick -5", {"error: line 1: " + ticks + ": tick -5"}},
      {"tick 0x40000000000000005", {"error: line 1: " + ticks + ": tick 0x40000000000000005"}},
      {"tick 40000000000000000000", {"error: line 1: " + ticks + ": tick 40000000000000000000"}},
      {"tick 9223372036854775808", {"error: line 1: " + ticks + ": tick 9223372036854775808"}},
      {"state\ncommand 65561", {"state", "error: line 2: command out of range (0 to 65535): command 65561"}},
      {"command -1", {"error: line 1: command out of range (0 to 65535): command -1"}},
      {"move 32768 0", {"error: line 1: " + points + ": move 32768 0"}},
      {"click 0 -32769", {"error: line 1: " + points + ": click 0 -32769"}},
      {"up 1 -0x8000000000000001", {"error: line 1: " + points + ": up 1 -0x8000000000000001"}},
      {"key 0", {"error: line 1: " + keys + ": key 0"}},
      {"key 256", {"error: line 1: " + keys + ": key 256"}},
      {std::string("type A\0B", 8), {"error: line 1: " + keys + ": type A\\x00B"}},
      {"bogus 99999999999999999999", {"error: line 1: unknown command: bogus 99999999999999999999"}},
      {"Type ADA", {"error: line 1: unknown command: Type ADA"}},
      {"hello world", {"error: line 1: unknown command: hello world"}},
      {"state\n\xEF\xBB\xBFstate", {"state", "error: line 2: unknown command: \\xEF\\xBB\\xBFstate"}},
      {"tick 1\rstate\r",
       {"error: line 1: carriage return inside the line (lines must end in LF or CR LF, not CR "
        "alone): tick 1\\x0Dstate"}},
      {"tick \x80\xFE", {"error: line 1: malformed number: tick \\x80\\xFE"}},
      {"tick 99999999999999999999x", {"error: line 1: malformed number: tick 99999999999999999999x"}},
      {"move 1\t2 3", {"error: line 1: wrong arguments: move 1\\x092 3"}},
      {"tick \x01\xff\\ \r\n", {"error: line 1: malformed number: tick \\x01\\xFF\\\\ "}},
      {"type AB\nbogus", {"key 65", "key 66", "error: line 2: unknown command: bogus"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    EXPECT_EQ(steps(c.script), c.expected);
  }
}

TEST(ScriptReader, LinesUpToTheLimitAreRead) {
  const std::string longest = "type " + std::string(maxScriptLineLength - 5, 'q');
  const std::vector<std::string> keys = steps(longest + "\r\nstate", maxScriptLineLength + 10);
  ASSERT_EQ(keys.size(), maxScriptLineLength - 5 + 2);
  EXPECT_EQ(keys.front(), "key 81");
  EXPECT_EQ(keys[keys.size() - 2], "state");
  EXPECT_EQ(steps("#" + std::string(maxScriptLineLength - 1, 'x') + "\nstate"),
            (std::vector<std::string>{"state", "end"}));
}

TEST(ScriptReader, ALongerLineIsRefusedWithItsStart) {
  const std::string shownStart = "error: line 2: longer than 65536 bytes: #" + std::string(79, 'x') + "...";
  for (const std::string& end : {std::string("\nstate\n"), std::string("x"), std::string()}) {
    SCOPED_TRACE(end.size());
    const std::string script = "tick 0\n#" + std::string(maxScriptLineLength, 'x') + end;
    EXPECT_EQ(steps(script), std::vector<std::string>{shownStart});
  }
}

// An endless input without a line end: only a bounded part of it is read.
class EndlessLine : public std::streambuf {
 public:
  EndlessLine() { std::fill(std::begin(chunk_), std::end(chunk_), 'y'); }
  size_t served = 0;

 protected:
  int_type underflow() override {
    if (served > (size_t{1} << 30)) return traits_type::eof();  // a reader that never stops fails, not hangs
    served += sizeof chunk_;
    setg(chunk_, chunk_, chunk_ + sizeof chunk_);
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  char chunk_[4096];
};

TEST(ScriptReader, InputWithoutLineEndsIsNotReadWithoutBound) {
  EndlessLine source;
  std::istream in(&source);
  const std::vector<std::string> result = steps(in);
  ASSERT_EQ(result.size(), 1u);
  EXPECT_EQ(result[0].rfind("error: line 1: longer than 65536 bytes: y", 0), 0u) << result[0];
  EXPECT_LE(source.served, maxScriptLineLength + 2 * 4096);
}

}  // namespace
