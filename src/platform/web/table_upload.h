// A file the player uploads as the high-score table, read by the game's own
// reader away from the player's table, so that nothing is replaced before
// the player has seen what it holds.
#pragma once
#include <string>

#include "scores/high_scores.h"

// More than any table can be: ten lines of the longest name and two
// numbers, with room to spare.
constexpr long uploadLimit = 64 * 1024;

// Why the file at path is not a high-score table, worded for the player;
// empty when it is one, its entries then in table (Cheater lines included).
// tablePath is where the player's table is kept; it is read again from
// there afterwards.
std::string readUpload(const std::string& path, const std::string& tablePath, HighScoreEntry* table);
