#include "shell/input.h"

#include "core/keys.h"
#include "core/session.h"
#include "physics/ball.h"
#include "scores/name_entry.h"
#include "shell/front_end.h"
#include "shell/tables.h"
#include "shell/window_procedure.h"

ShellState shell{0, 0, false, {}, CursorNone};

namespace {

// The speed factors of the four speed commands.
constexpr double slowSpeed = 0.5, normalSpeed = 1.0, fastSpeed = 1.5, sonicSpeed = 2.0;
// How far one movement key moves the pointer, in pixels on each axis.
constexpr int32_t keyboardStep = 1;

void redraw(WindowHost& host) {
  showField(host);
  showPanel(host);
}

void setSpeed(WindowHost& host, double factor, Command command) {
  setSpeedFactor(factor);
  checkSpeedItem(host, command);
}

CursorShape cursorFor(Area area) {
  switch (area) {
    case AreaField: return CursorField;
    case AreaBatZone: return CursorBatZone;
    case AreaOutside:
    case AreaPanel: break;
  }
  return CursorArrow;
}

// The keypad and function keys share codes with the lower-case letters;
// only real letter keys type a name.
bool isKeypadOrFunctionKey(int32_t virtualKey) { return virtualKey >= KeyNumpad0 && virtualKey <= KeyF12; }

}  // namespace

void onCommand(WindowHost& host, Command command) {
  switch (command) {
    case CommandNew:
      host.setTitle(loadString(StringTitle));
      raiseEvent(EventNewGame);
      redraw(host);
      break;
    case CommandAbout: host.showAbout(); break;
    case CommandSlow: setSpeed(host, slowSpeed, command); break;
    case CommandNormal: setSpeed(host, normalSpeed, command); break;
    case CommandFast: setSpeed(host, fastSpeed, command); break;
    case CommandSonic: setSpeed(host, sonicSpeed, command); break;
    case CommandExit: host.postClose(); break;
    case CommandHiScore:
      raiseEvent(EventShowHighScores);
      redraw(host);
      break;
    case CommandPlayersName:
      raiseEvent(EventEnterName);
      redraw(host);
      break;
    case CommandFind: host.frontEnd().openHelp(loadString(StringHelpFile)); break;
    case CommandHelpKey:  // see F1 and the backspace character do nothing
    case CommandBackspace:
    case CommandFullScreen: break;  // the mid-end hands it to the window; a script's does nothing
  }
}

void checkSpeedItem(WindowHost& host, Command command) {
  host.frontEnd().setMenuCheck(shell.checkedSpeedItem, false);
  host.frontEnd().setMenuCheck(command, true);
  shell.checkedSpeedItem = command;
}

void onPointerMove(WindowHost& host, Point position) {
  shell.pointerX = position.x;
  shell.pointerY = position.y;
  pointerMoved(shell.pointerX, shell.pointerY);
  shell.cursor = cursorFor(regionAt(shell.pointerX, shell.pointerY));
  host.frontEnd().setCursor(shell.cursor);
}

void onButtonDown(WindowHost& host) {
  host.frontEnd().captureMouse(true);
  shell.buttonDown = true;
}

void onButtonUp(WindowHost& host, Point position) {
  host.frontEnd().captureMouse(false);
  if (shell.buttonDown) clickAt(host, position.x, position.y);
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
  if (host.frontEnd().isMinimised()) return;
  int32_t& x = shell.pointerX;
  int32_t& y = shell.pointerY;
  if (gameState() == StateEnteringName) {
    if (!isKeypadOrFunctionKey(virtualKey) && nameEntryKey(virtualKey) >= 0) raiseEvent(EventNewGame);
  } else {
    constexpr int32_t s = keyboardStep;
    switch (virtualKey) {
      case KeyReturn:
      case KeySpace: clickAt(host, x, y); break;
      case KeyPageUp: x += s, y -= s; break;    // up and right
      case KeyPageDown: x += s, y += s; break;  // down and right
      case KeyEnd: x -= s, y += s; break;       // down and left
      case KeyHome: x -= s, y -= s; break;      // up and left
      case KeyLeft: x -= s; break;
      case KeyUp: y -= s; break;
      case KeyRight: x += s; break;
      case KeyDown: y += s; break;
      default: break;
    }
  }
  warpCursorToPointer(host);
  pointerMoved(x, y);
}

void warpCursorToPointer(WindowHost& host) { host.warpCursor(shell.pointerX, shell.pointerY); }

void onActivate(WindowHost& host, bool active) {
  FrontEnd& window = host.frontEnd();
  if (!window.mousePresent()) {
    if (active) warpCursorToPointer(host);
    window.showCursor(active);
  }
  if (active && !window.isMinimised()) window.takeFocus();
}

void resetShell() { shell = ShellState{0, 0, false, {}, CursorNone}; }
