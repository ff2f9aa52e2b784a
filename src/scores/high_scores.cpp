#include "scores/high_scores.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

HighScoreEntry highScoreTable[highScoreCount];

namespace {

enum CharClass { ClassInvalid = 0, ClassSeparator = 1, ClassWord = 2, ClassPunctuation = 3 };

std::string highScorePath = "hiscore.txt";
// Set while the file lags behind the table: re-reading it would lose scores.
bool tableUnsaved = false;

bool reportLineOpen = false;  // an "Invalid character" message ended the output

int tokenizerState;  // 0 idle, 1 a token held back, -1 end of file met
char tokenText[tokenCapacity];
char heldText[tokenCapacity];

int charClass(unsigned char c) {
  if (c == 9 || c == 10 || c == 13 || c == 32) return ClassSeparator;
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return ClassWord;
  if (c >= 33 && c <= 126) return ClassPunctuation;
  return ClassInvalid;
}

// Appends while there is room; the rest of an overlong token is read and dropped.
void append(char* text, int& length, char c) {
  if (length < tokenCapacity - 1) {
    text[length++] = c;
    text[length] = '\0';
  }
}

void copyName(char* name, const char* token) {
  const size_t length = strnlen(token, sizeof(HighScoreEntry::name) - 1);
  std::memcpy(name, token, length);
  name[length] = '\0';
}

int32_t entryCheck(int i, const HighScoreEntry& entry, char* scoreText, size_t scoreTextSize) {
  std::snprintf(scoreText, scoreTextSize, "%ld", static_cast<long>(entry.score));
  return checkValue(checkValue(i * i, entry.name), scoreText);
}

void reportSaveFailure(const std::string& path) {
  if (tableUnsaved) return;
  tableUnsaved = true;
  std::fprintf(stderr, "vantrel: cannot save the high scores to %s: %s; they are kept in memory\n", path.c_str(),
               std::strerror(errno));
}

}  // namespace

void setHighScorePath(const std::string& path) { highScorePath = path; }

int32_t checkValue(int32_t seed, const char* text) {
  uint32_t a = static_cast<uint32_t>(seed);
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    const uint32_t ch = *p;
    a = (ch & 0x55) ^ ((a ^ ((ch & 0xAA) << 7)) << 1);
    if (static_cast<int32_t>(a) > 0xFFFF) a ^= 0x18721;
  }
  return static_cast<int32_t>(a);
}

// Written whole to a temporary file beside the old one and renamed over it,
// so that a failed save never leaves a damaged table behind.
void saveHighScores(int count, HighScoreEntry* table) {
  const std::string temporary = highScorePath + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return reportSaveFailure(temporary);
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    char scoreText[16];
    const int32_t check = entryCheck(i, table[i], scoreText, sizeof scoreText);
    ok = ok && std::fprintf(file, "%s   %s %6ld \r\n", table[i].name, scoreText, static_cast<long>(check)) > 0;
  }
  ok = ok && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), highScorePath.c_str()) != 0) {
    reportSaveFailure(highScorePath);
    std::remove(temporary.c_str());
    return;
  }
  tableUnsaved = false;
}

void loadHighScores(int count, HighScoreEntry* table) {
  if (tableUnsaved) return;
  std::FILE* file = std::fopen(highScorePath.c_str(), "rb");
  if (!file) {
    for (int i = 0; i < count; ++i) table[i] = HighScoreEntry{"NoName", 0};
    saveHighScores(count, table);
    return;
  }
  resetTokenizer();  // a damaged earlier file must not spoil this load
  char token[tokenCapacity];
  for (int i = 0; i < count; ++i) {
    HighScoreEntry& entry = table[i];
    readToken(file, token);
    copyName(entry.name, token);
    readToken(file, token);
    entry.score = parseLong32(token);
    const int r = readToken(file, token);
    const int32_t stored = parseLong32(token);
    char scoreText[16];
    if (entryCheck(i, entry, scoreText, sizeof scoreText) != stored) std::strcpy(entry.name, "Cheater");
    if (r <= 0) break;
  }
  std::fclose(file);
}

int readToken(std::FILE* stream, char* destination) {
  destination[0] = '\0';
  if (tokenizerState == -1) return TokenEnd;
  if (tokenizerState == 1) {
    std::strcpy(destination, tokenText);
    tokenizerState = 0;
    return TokenSeparated;
  }
  tokenText[0] = heldText[0] = '\0';
  int n = 0, held = 0;
  long k = 0;
  for (;;) {
    const int c = std::fgetc(stream);
    if (c == EOF) {
      tokenizerState = -1;
      return TokenEnd;
    }
    ++k;
    switch (charClass(static_cast<unsigned char>(c))) {
      case ClassInvalid:
        std::printf("\nInvalid character: %6ld %4ld", k, static_cast<long>(c));
        reportLineOpen = true;
        break;
      case ClassSeparator:
        if (n == 0) break;
        std::strcpy(destination, tokenText);
        tokenizerState = 0;
        return TokenSeparated;
      case ClassWord:
        append(tokenText, n, static_cast<char>(c));
        break;
      case ClassPunctuation:
        if (n == 0) {
          append(tokenText, n, static_cast<char>(c));
          std::strcpy(destination, tokenText);
          tokenizerState = 0;
          return TokenSeparated;
        }
        append(heldText, held, static_cast<char>(c));
        std::strcpy(destination, tokenText);
        std::strcpy(tokenText, heldText);
        tokenizerState = 1;
        return TokenBeforePunctuation;
    }
  }
}

void endInvalidCharacterLine() {
  if (reportLineOpen) std::putchar('\n');
  reportLineOpen = false;
}

void resetTokenizer() {
  tokenizerState = 0;
  tokenText[0] = heldText[0] = '\0';
}

int32_t parseLong32(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > INT64_C(1) << 32) break;  // saturated either way
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int insertHighScore(HighScoreEntry candidate) {
  int slot = 0;
  while (slot < highScoreCount && highScoreTable[slot].score >= candidate.score) ++slot;
  for (int i = highScoreCount - 2; i >= slot; --i) highScoreTable[i + 1] = highScoreTable[i];
  if (slot < highScoreCount) highScoreTable[slot] = candidate;
  saveHighScores(highScoreCount, highScoreTable);
  return slot;
}

void resetHighScores() {
  std::memset(highScoreTable, 0, sizeof highScoreTable);
  resetTokenizer();
  reportLineOpen = false;
  highScorePath = "hiscore.txt";
  tableUnsaved = false;
}
