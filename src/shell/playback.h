// Plays a script of window messages into the game, for the mid-end: a tick
// per timer expiry in a window, as fast as they come in vantrel-sim.
#pragma once
#include <fstream>
#include <istream>
#include <memory>
#include <string>

#include "shell/host.h"
#include "shell/script.h"

class ScriptPlayback {
 public:
  enum Outcome {
    Playing,  // a tick went to the game (or the call came from inside a played message)
    Ended,    // the script has no more lines
    Closed,   // the game asked to close the window (a played Exit): see stop()
    Failed,   // a line is bad or the file cannot be read: see error()
  };

  // Opens the script file, or standard input for "-". False, with the reason in
  // error(), when it cannot be read.
  bool open(const std::string& path);
  // Plays from a stream the caller keeps alive.
  void open(std::istream& in);

  // What a 'state' line does; by default it prints the state line.
  void setStateAction(void (*action)()) { stateAction_ = action; }
  // The game asked to close the window: the message being played is the
  // script's last, and playTick returns Closed.
  void stop() { stopped_ = true; }
  // The message being played opened a box that lets the caller go on: the
  // call playing it returns Playing at once, and the next goes on from the
  // message after it.
  void suspend() { suspended_ = true; }

  // Hands the game the script's messages up to and including one tick. A call
  // made while a played message is still being handled (a modal box's loop
  // keeps the timer going) plays nothing and returns Playing.
  Outcome playTick(WindowHost& host);
  const std::string& error() const { return error_; }

 private:
  std::ifstream file_;
  std::unique_ptr<ScriptPlayer> player_;
  std::string error_;
  bool inside_ = false, stopped_ = false, suspended_ = false;
  void (*stateAction_)() = nullptr;
};
