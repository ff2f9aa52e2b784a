// The game's fixed user-interface data: menu, accelerators, strings, About texts.
#pragma once
#include <cstdint>
#include <span>

enum Command : uint16_t {
  CommandNew = 25,
  CommandHelpKey = 30,  // sent by F1; does nothing
  CommandAbout = 36,
  CommandSlow = 41,
  CommandNormal = 42,
  CommandFast = 44,
  CommandSonic = 46,
  CommandBackspace = 50,  // sent by the backspace character; does nothing
  CommandExit = 52,
  CommandHiScore = 53,
  CommandPlayersName = 54,
  CommandFullScreen = 55,  // the window's own; F11 too
  CommandFind = 40005,
};

// One menu entry: a pop-up starts with its title and no command; a separator
// has neither text nor command.
struct MenuEntry {
  const char* popup;  // set on the first entry of each pop-up
  const char* text;   // nullptr for a separator
  Command command;
};
std::span<const MenuEntry> menuTable();

struct Accelerator {
  int32_t key;  // a character code or a virtual-key code
  bool virtualKey;
  Command command;
};
std::span<const Accelerator> acceleratorTable();

enum StringId { StringTitle = 3, StringHelpFile = 15 };
const char* loadString(int id);  // "" for an unknown identifier

struct AboutTexts {
  const char* caption;
  const char* lines[5];  // name, version, three credit lines
  const char* button;
};
const AboutTexts& aboutTexts();
