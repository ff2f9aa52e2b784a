#include "shell/input.h"

#include "core/session.h"
#include "physics/ball.h"
#include "resources/tables.h"
#include "scores/name_entry.h"
#include "shell/window.h"

ShellState shell{0, 0, false, 0, CursorNone};

namespace {

void redraw(WindowHost& host) {
  showField(host);
  showPanel(host);
}

void setSpeed(WindowHost& host, double factor, uint16_t command) {
  setSpeedFactor(factor);
  checkSpeedItem(host, command);
}

CursorShape cursorFor(int32_t area) {
  switch (area) {
    case AreaField: return CursorField;
    case AreaBatZone: return CursorBatZone;
    default: return CursorArrow;
  }
}

// The keypad and function keys share codes with the lower-case letters;
// only real letter keys type a name.
bool isKeypadOrFunctionKey(int32_t virtualKey) { return virtualKey >= 0x60 && virtualKey <= 0x7B; }

int32_t unpackX(uint32_t packed) { return static_cast<int16_t>(packed & 0xFFFF); }
int32_t unpackY(uint32_t packed) { return static_cast<int16_t>(packed >> 16); }

}  // namespace

uint32_t packPoint(int32_t x, int32_t y) {
  return (static_cast<uint32_t>(y) & 0xFFFF) << 16 | (static_cast<uint32_t>(x) & 0xFFFF);
}

void onCommand(WindowHost& host, uint16_t command) {
  switch (command) {
    case CommandNew:
      host.setTitle(loadString(StringTitle));
      raiseEvent(EventNewGame);
      redraw(host);
      break;
    case CommandAbout: host.showAbout(); break;
    case CommandSlow: setSpeed(host, 0.5, command); break;
    case CommandNormal: setSpeed(host, 1.0, command); break;
    case CommandFast: setSpeed(host, 1.5, command); break;
    case CommandSonic: setSpeed(host, 2.0, command); break;
    case CommandExit: host.postClose(); break;
    case CommandHiScore:
      raiseEvent(EventShowHighScores);
      redraw(host);
      break;
    case CommandPlayersName:
      raiseEvent(EventEnterName);
      redraw(host);
      break;
    case CommandFind: host.openHelp(loadString(StringHelpFile)); break;
    default: break;
  }
}

void checkSpeedItem(WindowHost& host, uint16_t command) {
  host.setMenuCheck(shell.checkedSpeedItem, false);
  host.setMenuCheck(command, true);
  shell.checkedSpeedItem = command;
}

void onPointerMove(WindowHost& host, uint32_t packedPosition) {
  shell.pointerX = unpackX(packedPosition);
  shell.pointerY = unpackY(packedPosition);
  pointerMoved(shell.pointerX, shell.pointerY);
  shell.cursor = cursorFor(regionAt(shell.pointerX, shell.pointerY));
  host.setCursor(shell.cursor);
}

void onButtonDown(WindowHost& host) {
  host.captureMouse(true);
  shell.buttonDown = true;
}

void onButtonUp(WindowHost& host, uint32_t packedPosition) {
  host.captureMouse(false);
  if (shell.buttonDown) clickAt(host, unpackX(packedPosition), unpackY(packedPosition));
  shell.buttonDown = false;
}

void clickAt(WindowHost&, int32_t x, int32_t y) {
  shell.pointerX = x;
  shell.pointerY = y;
  if (regionAt(x, y) == AreaBatZone) raiseEvent(EventLaunch);
}

void onKeyMessage(WindowHost& host, int32_t virtualKey) {
  for (const Accelerator& a : acceleratorTable()) {
    if (a.virtualKey && a.key == virtualKey) return onCommand(host, a.command);
  }
  onKeyDown(host, virtualKey);
}

void onKeyDown(WindowHost& host, int32_t virtualKey) {
  if (host.isMinimised()) return;
  int32_t& x = shell.pointerX;
  int32_t& y = shell.pointerY;
  if (gameState() == StateEnteringName) {
    if (!isKeypadOrFunctionKey(virtualKey) && nameEntryKey(virtualKey) >= 0) raiseEvent(EventNewGame);
  } else {
    switch (virtualKey) {
      case 0x0D:
      case 0x20: clickAt(host, x, y); break;
      case 0x21: ++x, --y; break;  // Page Up: up and right
      case 0x22: ++x, ++y; break;  // Page Down: down and right
      case 0x23: --x, ++y; break;  // End: down and left
      case 0x24: --x, --y; break;  // Home: up and left
      case 0x25: --x; break;
      case 0x26: --y; break;
      case 0x27: ++x; break;
      case 0x28: ++y; break;
      default: break;
    }
  }
  warpCursorToPointer(host);
  pointerMoved(x, y);
}

void warpCursorToPointer(WindowHost& host) { host.warpCursor(shell.pointerX, shell.pointerY); }

void onActivate(WindowHost& host, bool active) {
  if (!host.mousePresent()) {
    if (active) warpCursorToPointer(host);
    host.showCursor(active);
  }
  if (active && !host.isMinimised()) host.takeFocus();
}

void resetShell() { shell = ShellState{0, 0, false, 0, CursorNone}; }
