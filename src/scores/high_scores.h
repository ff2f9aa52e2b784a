// The ten best scores, kept in a text file whose lines carry a check value.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct HighScoreEntry {
  char name[32];  // NUL-terminated, at most 31 characters
  int32_t score;
};

constexpr int highScoreCount = 10;
extern HighScoreEntry highScoreTable[highScoreCount];

// Where the table is kept; "hiscore.txt" in the working directory by default.
void setHighScorePath(const std::string& path);

// The table's folder could not be made: the scores of the run are kept in
// memory, and the player told why, as for any save that fails.
void reportHighScoreFolderProblem(const std::string& reason);

int32_t checkValue(int32_t seed, const char* text);
void saveHighScores(int count, HighScoreEntry* table);
void loadHighScores(int count, HighScoreEntry* table);
int insertHighScore(HighScoreEntry candidate);

// While one is alive no other game reads or saves the table, so a load and
// the save that follows it are one step for every other game using the file.
// Load and save each hold one of their own; they nest.
class HighScoreLock {
 public:
  HighScoreLock();
  ~HighScoreLock();
  HighScoreLock(const HighScoreLock&) = delete;
  HighScoreLock& operator=(const HighScoreLock&) = delete;
};

// At the end of the run: one more save when a score of the run may still be
// missing from the file.
void finishHighScores();

// The first problem met with the file, worded for the player, once per run;
// empty when there was none or it was already taken.
std::string takeHighScoreProblem();

// Tokenizer results.
enum TokenResult : int { TokenEnd = -1, TokenSeparated = 1, TokenBeforePunctuation = 2 };
constexpr int tokenCapacity = 1024;
int readToken(std::FILE* stream, char* destination);
void resetTokenizer();

// The C library's strtol on a platform whose long has 32 bits.
int32_t parseLong32(const char* text);

// The "Invalid character" messages on standard output end without a line
// break; this ends the line when one was left open, before other output.
void endInvalidCharacterLine();

// Puts the module back to its state at program start.
void resetHighScores();
