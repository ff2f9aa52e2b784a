// Where the high-score table is kept: hiscore.txt in the working directory, a
// file the player names, or the per-user file the desktop menu's entry uses.
#pragma once
#include <string>

#include "shell/options.h"

// The per-user table, $XDG_DATA_HOME/vantrel/hiscore.txt (~/.local/share when
// that is unset) or %APPDATA%\Vantrel\hiscore.txt on Windows, its folder made
// when missing. Empty, with the reason in error, when there is no such folder.
std::string userHighScorePath(std::string& error);

// Points the table at the file the options chose; false, with the reason in
// error, when the environment names no per-user folder. One that cannot be
// made is told as a save that fails, and the game goes on.
bool chooseHighScoreFile(const Options& options, std::string& error);
