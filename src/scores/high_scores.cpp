#include "scores/high_scores.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "scores/file_system.h"

HighScoreEntry highScoreTable[highScoreCount];

namespace {

enum CharClass { ClassInvalid = 0, ClassSeparator = 1, ClassWord = 2, ClassPunctuation = 3 };

std::string highScorePath = "hiscore.txt";

// The file exists but could not be read: it is not written over until a load
// reads it again, since it may hold scores this run never saw.
bool fileUnreadable = false;
bool tableRead = false;  // some load of this run filled the table
// Entries this run placed that the file does not have yet; every load that
// reads the file puts them back, so no score of the run is lost.
std::vector<HighScoreEntry> unsavedEntries;

// Each kind of problem is told once per run.
enum Problem { ProblemRead = 1, ProblemSave = 2, ProblemReadOnly = 4, ProblemLock = 8 };
int reportedProblems = 0;
std::string playerNotice;
bool playerNoticeTaken = false;

int lockDepth = 0;
intptr_t heldLock = -1;
constexpr int lockTimeoutMs = 10'000;

bool reportLineOpen = false;  // an "Invalid character" message ended the output
long invalidCharacters = 0;   // met since the tokenizer was reset
constexpr long invalidCharactersShown = 100;

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

void fillDefault(HighScoreEntry* table, int from, int count) {
  for (int i = from; i < count; ++i) table[i] = HighScoreEntry{"NoName", 0};
}

void report(Problem kind, const std::string& message, const std::string& notice) {
  if (reportedProblems & kind) return;
  reportedProblems |= kind;
  std::fprintf(stderr, "vantrel: %s\n", message.c_str());
  if (!playerNoticeTaken && playerNotice.empty() && !notice.empty()) {
    playerNotice = notice + " The scores of this run are kept until the program ends.";
  }
}

void reportSaveFailure(int error) {
  const std::string reason = fileErrorText(error);
  report(ProblemSave, "cannot save the high scores to " + highScorePath + ": " + reason + "; they are kept in memory",
         "The high scores cannot be saved to " + highScorePath + ": " + reason + ".");
}

// Places the candidate above the first entry it beats; 10 when it beats none.
int placeEntry(HighScoreEntry* table, const HighScoreEntry& candidate) {
  int slot = 0;
  while (slot < highScoreCount && table[slot].score >= candidate.score) ++slot;
  for (int i = highScoreCount - 2; i >= slot; --i) table[i + 1] = table[i];
  if (slot < highScoreCount) table[slot] = candidate;
  return slot;
}

// Reads count entries. An entry whose name meets the end of the file was
// never written, so it and all after it are the default entry.
bool readTable(std::FILE* file, int count, HighScoreEntry* table) {
  resetTokenizer();  // a damaged earlier file must not spoil this load
  char token[tokenCapacity];
  for (int i = 0; i < count; ++i) {
    HighScoreEntry& entry = table[i];
    if (readToken(file, token) == TokenEnd) {
      fillDefault(table, i, count);
      break;
    }
    copyName(entry.name, token);
    readToken(file, token);
    entry.score = parseLong32(token);
    const int r = readToken(file, token);
    const int32_t stored = parseLong32(token);
    char scoreText[16];
    if (entryCheck(i, entry, scoreText, sizeof scoreText) != stored) std::strcpy(entry.name, "Cheater");
    if (r <= 0) {
      fillDefault(table, i + 1, count);
      break;
    }
  }
  if (invalidCharacters > invalidCharactersShown) {
    std::printf("\n%ld more invalid characters skipped", invalidCharacters - invalidCharactersShown);
    reportLineOpen = true;
  }
  return !std::ferror(file);
}

bool writeTable(std::FILE* file, int count, const HighScoreEntry* table) {
  for (int i = 0; i < count; ++i) {
    char scoreText[16];
    const int32_t check = entryCheck(i, table[i], scoreText, sizeof scoreText);
    if (std::fprintf(file, "%s   %s %6ld \r\n", table[i].name, scoreText, static_cast<long>(check)) < 0) return false;
  }
  return true;
}

// Temporary files of games that died while saving; only safe to remove while
// the lock keeps every live game from writing one.
void removeDeadTemporaries(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path table(path);
  const std::string prefix = table.filename().string() + ".tmp";
  std::error_code error;
  const fs::path folder = table.has_parent_path() ? table.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name == prefix || (name.size() == prefix.size() + 7 && name.compare(0, prefix.size() + 1, prefix + "-") == 0)) {
      fs::remove(it->path(), error);
    }
  }
}

// Written whole to a temporary file beside the table and renamed over it, so a
// reader or a crash sees the old table or the new one, never a part.
int replaceTable(std::FILE* file, const std::string& temporary, const std::string& path, int count,
                 const HighScoreEntry* table) {
  copyPermissions(path, file);
  errno = 0;
  bool ok = writeTable(file, count, table) && syncFile(file);
  int error = ok ? 0 : errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok)
    error = replaceFile(temporary, path);
  else if (error == 0)
    error = EIO;
  if (error != 0) std::remove(temporary.c_str());
  return error;
}

// For a folder that takes no new file: the table is written over the old one
// in place, flushed and synced, as a careful editor does.
int rewriteTable(const std::string& path, int count, const HighScoreEntry* table) {
  int error = 0;
  std::FILE* file = openRegularFile(path, FileAccess::ReadWrite, error);
  if (!file) return error;
  errno = 0;
  const bool ok = writeTable(file, count, table) && std::fflush(file) == 0 && truncateFile(file, std::ftell(file)) &&
                  syncFile(file);
  error = ok ? 0 : (errno ? errno : EIO);
  if (std::fclose(file) != 0 && error == 0) error = errno ? errno : EIO;
  return error;
}

}  // namespace

HighScoreLock::HighScoreLock() {
  if (lockDepth++ > 0) return;
  const std::string path = resolveLink(highScorePath);
  int error = 0;
  heldLock = acquireLock(path + ".lock", true, lockTimeoutMs, error);
  // A folder that takes no new file takes no renamed table either: the table
  // is then written in place, and locking the table itself is enough.
  if (heldLock == -1 && error != ETIMEDOUT) heldLock = acquireLock(path, false, lockTimeoutMs, error);
  if (heldLock == -1 && error == ETIMEDOUT) {
    report(ProblemLock, "another game has held " + path + ".lock for a long time; the high scores are saved without it",
           "");
  }
}

HighScoreLock::~HighScoreLock() {
  if (--lockDepth > 0 || heldLock == -1) return;
  releaseLock(heldLock);
  heldLock = -1;
}

std::string takeHighScoreProblem() {
  if (playerNotice.empty()) return {};
  playerNoticeTaken = true;
  return std::exchange(playerNotice, std::string());
}

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

void saveHighScores(int count, HighScoreEntry* table) {
  const HighScoreLock lock;
  if (fileUnreadable) return;  // already reported by the load
  const std::string path = resolveLink(highScorePath);
  if (isReadOnlyFile(path)) {
    return report(ProblemReadOnly, highScorePath + " is read-only; the high scores are kept in memory",
                  "The high scores are not saved: " + highScorePath + " is read-only.");
  }
  if (heldLock != -1) removeDeadTemporaries(path);
  std::string temporary;
  int error = 0;
  std::error_code missing;
  if (std::FILE* file = createTemporaryFile(path + ".tmp-", temporary, error)) {
    error = replaceTable(file, temporary, path, count, table);
  } else if (std::filesystem::exists(path, missing)) {
    error = rewriteTable(path, count, table);
  }
  if (error != 0) return reportSaveFailure(error);
  unsavedEntries.clear();
}

void loadHighScores(int count, HighScoreEntry* table) {
  const HighScoreLock lock;
  int error = 0;
  std::FILE* file = openRegularFile(resolveLink(highScorePath), FileAccess::Read, error);
  if (!file && error == ENOENT) {
    fileUnreadable = false;
    tableRead = true;
    fillDefault(table, 0, count);
    for (const HighScoreEntry& entry : unsavedEntries) placeEntry(table, entry);
    saveHighScores(count, table);
    return;
  }
  std::vector<HighScoreEntry> loaded(static_cast<size_t>(count));
  if (file) {
    if (!readTable(file, count, loaded.data())) error = EIO;
    std::fclose(file);
  }
  if (!file || error != 0) {
    fileUnreadable = true;
    if (!tableRead) fillDefault(table, 0, count);
    tableRead = true;
    const std::string reason = fileErrorText(error);
    return report(ProblemRead,
                  "cannot read the high scores from " + highScorePath + ": " + reason +
                      "; the file is left as it is and the scores are kept in memory",
                  "The high scores cannot be read from " + highScorePath + ": " + reason + ".");
  }
  fileUnreadable = false;
  tableRead = true;
  std::copy(loaded.begin(), loaded.end(), table);
  for (const HighScoreEntry& entry : unsavedEntries) placeEntry(table, entry);
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
        if (++invalidCharacters > invalidCharactersShown) break;
        std::printf("\nInvalid character: %6ld %4ld", k, static_cast<long>(c));
        reportLineOpen = true;
        break;
      case ClassSeparator:
        if (n == 0) break;
        std::strcpy(destination, tokenText);
        tokenizerState = 0;
        return TokenSeparated;
      case ClassWord: append(tokenText, n, static_cast<char>(c)); break;
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
  invalidCharacters = 0;
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
  const HighScoreLock lock;
  const int slot = placeEntry(highScoreTable, candidate);
  if (slot < highScoreCount) unsavedEntries.push_back(candidate);
  saveHighScores(highScoreCount, highScoreTable);
  return slot;
}

void resetHighScores() {
  std::memset(highScoreTable, 0, sizeof highScoreTable);
  resetTokenizer();
  reportLineOpen = false;
  highScorePath = "hiscore.txt";
  fileUnreadable = tableRead = false;
  unsavedEntries.clear();
  reportedProblems = 0;
  playerNotice.clear();
  playerNoticeTaken = false;
}
