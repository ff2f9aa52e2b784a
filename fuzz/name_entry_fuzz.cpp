// Name entry on any key sequence, each pair of bytes one key-down code as the
// window hands it to the game. A plain model of the rules says what the typed
// name must be after every key, and which name a game started by Enter takes.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/keys.h"
#include "core/session.h"
#include "core/world.h"
#include "scores/name_entry.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/tables.h"
#include "shell/window_procedure.h"

namespace {

[[noreturn]] void fail(const char* what, int32_t code, const std::string& expected, const char* actual) {
  std::fprintf(stderr, "after key 0x%X: %s is \"%s\", expected \"%s\"\n", static_cast<unsigned>(code), what, actual,
               expected.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  resetGame();
  NullFrontEnd frontEnd;
  NullSurface surface;
  MidEnd midEnd;
  midEnd.create(frontEnd, surface, midEnd.openingClientSize());
  std::string name;  // what the player has typed, by the rules
  for (size_t i = 0; i + 1 < size; i += 2) {
    const int32_t code = data[i] | data[i + 1] << 8;
    midEnd.keyPressed(code);
    const int c = code & 0xFF;
    // F1 is a menu command and F11 the window's own; the keypad and function keys never reach the name.
    const bool reachesName = code < KeyNumpad0 || code > KeyF12;
    if (reachesName && c == 0) name.clear();
    if (reachesName && c == KeyBackspace && !name.empty()) name.pop_back();
    if (reachesName && std::isalpha(c) && c < 0x80 && name.size() < nameCapacity) name += static_cast<char>(c);
    if (reachesName && c == KeyReturn) {
      if (gameState() != StateReady) fail("the state after Enter", code, "Ready", std::to_string(gameState()).c_str());
      const std::string taken = name.empty() ? "NoName" : name;
      if (taken != playerName()) fail("the player's name", code, taken, playerName());
      midEnd.commandChosen(CommandPlayersName);  // back to name entry, which starts empty
      name.clear();
    }
    char typed[nameCapacity + 1];
    const int32_t length = takeTypedName(typed);
    if (length != static_cast<int32_t>(name.size()) || name != typed) fail("the typed name", code, name, typed);
  }
  resetGame();
  return 0;
}
