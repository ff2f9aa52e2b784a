// The steps every window takes around its message loop, so that all of them
// answer their options alike. Messages come back without the program's name.
#pragma once
#include <memory>
#include <string>

#include "shell/options.h"
#include "shell/playback.h"
#include "shell/screenshot.h"

// Before the window is made: opens the script of --play (script stays empty
// without one; with --screenshot it plays unattended), chooses the high-score
// file and starts the recording of --record. False, with the message in
// error, when any of them cannot be done. finishRecording ends the recording
// after the message loop.
bool startFrontEnd(const Options& options, std::unique_ptr<ScriptPlayback>& script, std::string& error);

// When a played script has stopped (any outcome but Playing): saves the
// client image when a screenshot path was given. Returns -1 when play goes on
// live, otherwise the exit code the program ends with at once, with a
// message in error when it failed.
int endOfPlayback(ScriptPlayback::Outcome outcome, const ScriptPlayback& script, const std::string& screenshotPath,
                  const PixelImage& image, std::string& error);

// The player closed the window (close box, Exit) while a script still
// played: the exit code, with a message when the screenshot was never made.
int closedDuringPlayback(const std::string& screenshotPath, std::string& error);
