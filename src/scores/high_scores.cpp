#include "scores/high_scores.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/printable.h"
#include "scores/file_system.h"

HighScoreEntry highScoreTable[highScoreCount];

namespace {

enum CharClass { ClassInvalid = 0, ClassSeparator = 1, ClassWord = 2, ClassPunctuation = 3 };

std::string highScorePath = "hiscore.txt";

// The file exists but could not be read: it is not written over until a load
// reads it again, since it may hold scores this run never saw.
bool fileUnreadable = false;
bool tableRead = false;  // some load of this run filled the table
// The table file as the last load read it, or as this run last wrote it: a
// save replaces only that file, never one another game wrote meanwhile.
FileIdentity readIdentity;
// Entries this run placed that the file does not have yet; every load that
// reads the file puts them back, so no score of the run is lost.
std::vector<HighScoreEntry> unsavedEntries;
// Entries this run wrote without holding the lock: another game may have put
// its table in their place since, so a load puts back those the file lacks.
std::vector<HighScoreEntry> unconfirmedEntries;
// A candidate being inserted that took no place in the table read: offered
// again to a table another game wrote meanwhile, which it may have a place in.
std::optional<HighScoreEntry> lateCandidate;

// Each kind of problem is told once per run.
enum Problem {
  ProblemRead = 1,
  ProblemSave = 2,
  ProblemReadOnly = 4,
  ProblemLockBusy = 8,
  ProblemLockUnusable = 16,
  ProblemSetAside = 32
};
int reportedProblems = 0;
std::string playerNotice;
bool playerNoticeTaken = false;

// The lock, held from a load to the save that follows it. A lock on the table
// itself serves only where its folder takes no new file, since every save
// elsewhere renames another file into its place.
int lockDepth = 0;
intptr_t heldLock = -1;
bool lockOnTable = false;
bool lockBusy = false;  // the last wait for the lock ran out
// A save waits this long for another game's save to end; past that the window
// would stall, so it saves without the lock, checking what it replaces.
constexpr int lockWaitMs = 500;
constexpr int saveAttempts = 20;
// A save's errors beyond errno: another game wrote the table since it was
// read (read it again), or put its own in place just before this one's
// (already merged from the file it displaced: write again).
constexpr int tableChanged = -100, tableDisplaced = -101;

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

// One line on standard error and, for the player, the notice that ends in
// what becomes of the scores.
void report(int kind, const std::string& message, const std::string& notice) {
  if (reportedProblems & kind) return;
  reportedProblems |= kind;
  std::fprintf(stderr, "vantrel: %s\n", message.c_str());
  if (!playerNoticeTaken && playerNotice.empty() && !notice.empty()) playerNotice = notice;
}

constexpr const char* keptNotice = " The scores of this run are kept until the program ends.";

void reportSaveFailure(int error) {
  const std::string reason = error == tableChanged ? "other games keep replacing it" : fileErrorText(error);
  report(ProblemSave,
         "cannot save the high scores to " + printablePath(highScorePath) + ": " + reason + "; they are kept in memory",
         "The high scores cannot be saved to " + printablePath(highScorePath) + ": " + reason + "." + keptNotice);
}

void reportUnreadable(int error) {
  const std::string reason = fileErrorText(error);
  report(ProblemRead,
         "cannot read the high scores from " + printablePath(highScorePath) + ": " + reason +
             "; the file is left as it is and the scores are kept in memory",
         "The high scores cannot be read from " + printablePath(highScorePath) + ": " + reason + "." + keptNotice);
}

// Places the candidate above the first entry it beats; 10 when it beats none.
int placeEntry(HighScoreEntry* table, const HighScoreEntry& candidate) {
  int slot = 0;
  while (slot < highScoreCount && table[slot].score >= candidate.score) ++slot;
  for (int i = highScoreCount - 2; i >= slot; --i) table[i + 1] = table[i];
  if (slot < highScoreCount) table[slot] = candidate;
  return slot;
}

// The unsaved entries went to the file, which another game may replace.
void markWritten() {
  unconfirmedEntries.insert(unconfirmedEntries.end(), unsavedEntries.begin(), unsavedEntries.end());
  unsavedEntries.clear();
}

bool sameEntry(const HighScoreEntry& a, const HighScoreEntry& b) {
  return a.score == b.score && std::strcmp(a.name, b.name) == 0;
}

// Puts into a table read from the file what this run holds that it lacks:
// every unsaved entry, and each unconfirmed one not already there. Returns
// how many of them took a place.
int mergeRunEntries(HighScoreEntry* table) {
  std::vector<HighScoreEntry> present(table, table + highScoreCount);
  int placed = 0;
  for (const HighScoreEntry& entry : unconfirmedEntries) {
    const auto found = std::find_if(present.begin(), present.end(), [&](auto& e) { return sameEntry(e, entry); });
    if (found != present.end())
      present.erase(found);
    else if (placeEntry(table, entry) < highScoreCount)
      ++placed;
  }
  for (const HighScoreEntry& entry : unsavedEntries) placed += placeEntry(table, entry) < highScoreCount;
  if (lateCandidate && placeEntry(table, *lateCandidate) < highScoreCount) {
    unsavedEntries.push_back(*std::exchange(lateCandidate, std::nullopt));
    ++placed;
  }
  return placed;
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

// The name a temporary file of the table's is given, and nothing else.
bool isTemporaryOf(const std::string& name, const std::string& prefix) {
  return name.size() == prefix.size() + temporarySuffixLength && name.compare(0, prefix.size(), prefix) == 0 &&
         std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Where the table is kept: its folder, opened once the link rule has named
// the file, and the table's name in it.
struct TablePlace {
  Folder folder;
  std::string path, name;  // the table's path as the link rule named it, and its name in the folder
  std::string temporaryPrefix() const { return name + ".tmp-"; }
  // Another file of the folder, named as the table's path is, for messages.
  std::string shown(const std::string& other) const {
    return printablePath(path.substr(0, path.size() - name.size()) + other);
  }
};

// 0, or why no table can be kept where the path says.
int openTablePlace(TablePlace& place) {
  int error = 0;
  place.path = resolveLink(highScorePath, error);
  if (place.path.empty()) return error;
  return openFolderOf(place.path, place.folder, place.name, error) ? 0 : error;
}

// Temporary files of games that died while saving: a live game keeps its own
// claimed from its making to its end, and the file its swap displaced from
// the moment it can open it.
void removeDeadTemporaries(const TablePlace& place) {
  for (const std::string& name : namesIn(place.folder)) {
    if (isTemporaryOf(name, place.temporaryPrefix())) removeUnclaimedFile(place.folder, name);
  }
}

std::string tableText(int count, const HighScoreEntry* table) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    char scoreText[16], line[96];
    const int32_t check = entryCheck(i, table[i], scoreText, sizeof scoreText);
    std::snprintf(line, sizeof line, "%s   %s %6ld \r\n", table[i].name, scoreText, static_cast<long>(check));
    text += line;
  }
  return text;
}

// One write, so that the table goes to the file whole.
bool writeTable(std::FILE* file, int count, const HighScoreEntry* table) {
  const std::string text = tableText(count, table);
  return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

// A save replaces only the table this run read and merged into.
bool isTheTableRead(const FileIdentity& now) { return !tableRead || now == readIdentity; }

// Fills the table from an open table file and merges what the run holds;
// `placed` tells how many of those took a place. 0, or why it cannot be read.
int readTableFrom(std::FILE* file, int count, HighScoreEntry* table, int& placed) {
  const FileIdentity identity = identityOf(file);
  if (identity.size > largestTable) return tableTooLarge;
  std::vector<HighScoreEntry> loaded(static_cast<size_t>(count));
  if (!readTable(file, count, loaded.data())) return EIO;
  readIdentity = identity;
  std::copy(loaded.begin(), loaded.end(), table);
  tableRead = true;
  fileUnreadable = false;
  placed = mergeRunEntries(table);
  return 0;
}

// No file: the default table, with what the run holds.
int useDefaultTable(int count, HighScoreEntry* table) {
  readIdentity = {};
  fillDefault(table, 0, count);
  tableRead = true;
  fileUnreadable = false;
  return mergeRunEntries(table);
}

// The same from the table's place, or the default table when there is none.
int readTableFile(const TablePlace& place, int count, HighScoreEntry* table, int& placed) {
  int error = 0;
  std::FILE* file = openRegularFile(place.folder, place.name, FileAccess::Read, error);
  if (file) {
    error = readTableFrom(file, count, table, placed);
    std::fclose(file);
    return error;
  }
  if (error != ENOENT) return error;
  placed = useDefaultTable(count, table);
  return 0;
}

// What another program put at the table's name, and this save's swap moved
// aside, is no table: it is kept where it now stands, and said so.
void reportSetAside(const TablePlace& place, const std::string& temporary, int error) {
  const std::string kept = place.shown(temporary);
  const std::string what = "something that is no high-score table (" + fileErrorText(error) + ")";
  report(ProblemSetAside,
         printablePath(highScorePath) + " was replaced by " + what + " while the high scores were saved; they are " +
             "saved, and what stood there is kept as " + kept,
         "The high scores are saved. Another program had put " + what + " in place of " + printablePath(highScorePath) +
             "; it is kept as " + kept + ".");
}

// This save's swap put its table in place; what stood there is now at the
// temporary's name. When it is not the table read, its scores are merged into
// this run's table, to be written again; the run's own new scores cannot be
// in it, so they all take their places beside its entries.
int lookAtDisplaced(const TablePlace& place, const std::string& temporary, int count, HighScoreEntry* table,
                    const FileIdentity& written) {
  int error = 0;
  bool merged = false;
  if (std::FILE* displaced = openRegularFile(place.folder, temporary, FileAccess::Read, error)) {
    claimFile(displaced);
    int placed = 0;
    merged = !isTheTableRead(identityOf(displaced));
    if (merged) error = readTableFrom(displaced, count, table, placed);
    std::fclose(displaced);
  }
  // This run's table stood in place, and another game may have read it since:
  // its scores are in the file, for all this run knows.
  markWritten();
  readIdentity = written;
  if (error == ENOENT) return tableChanged;  // taken away: what is in place now is read again
  if (error != 0) {
    reportSetAside(place, temporary, error);
    return 0;
  }
  removeFile(place.folder, temporary);  // the old table, or one merged
  return merged ? tableDisplaced : 0;
}

// Without a lock another game may put its table in place between the check
// and the rename; where the system can swap files, what was displaced is
// looked at. A plain rename cannot tell, so `checked` says whether the save
// still has to be read back.
int putInPlace(const TablePlace& place, const std::string& temporary, int count, HighScoreEntry* table,
               const FileIdentity& written, bool& checked) {
  int error = swapFiles(place.folder, temporary, place.name);
  if (error == 0) {
    checked = true;
    return lookAtDisplaced(place, temporary, count, table, written);
  }
  if (readIdentity.exists && error == ENOENT) return tableChanged;  // the table, or this file, was taken away
  // Nothing to swap with, or no swapping here.
  error = replaceFile(place.folder, temporary, place.name);
  if (error == 0) {
    markWritten();
    readIdentity = written;
  }
  return error == ENOENT ? tableChanged : error;  // ENOENT: the file was taken for a dead game's
}

// Written whole to a temporary file beside the table and renamed over it, so a
// reader or a crash sees the old table or the new one, never a part. The
// temporary stays open, and so claimed, until what its swap displaced is.
int replaceTable(const TablePlace& place, std::FILE* file, const std::string& temporary, int count,
                 HighScoreEntry* table, bool& checked) {
  copyPermissions(place.folder, place.name, file);
  errno = 0;
  int error = writeTable(file, count, table) && syncFile(file) ? 0 : (errno ? errno : EIO);
  const FileIdentity written = identityOf(file);  // a rename keeps the file, its size and its time
  bool moved = false;
  if (error == 0 && !isTheTableRead(identityAt(place.folder, place.name))) error = tableChanged;
  if (error == 0) {
    error = putInPlace(place, temporary, count, table, written, checked);
    moved = error == 0 || error == tableDisplaced || checked;
  }
  if (std::fclose(file) != 0 && error == 0 && !moved) error = errno ? errno : EIO;
  if (!moved) removeFile(place.folder, temporary);
  return error;
}

// For a folder that takes no new file, or one whose rules let this player
// write the table but not replace it: the table is written over the old one
// in place, flushed and synced, as a careful editor does.
int rewriteTable(const TablePlace& place, int count, const HighScoreEntry* table) {
  int error = 0;
  std::FILE* file = openRegularFile(place.folder, place.name, FileAccess::ReadWrite, error);
  if (!file) return error;
  if (!isTheTableRead(identityOf(file))) {
    std::fclose(file);
    return tableChanged;
  }
  errno = 0;
  const bool ok = writeTable(file, count, table) && truncateFile(file, std::ftell(file)) && syncFile(file);
  error = ok ? 0 : (errno ? errno : EIO);
  const FileIdentity written = identityOf(file);
  if (std::fclose(file) != 0 && error == 0) error = errno ? errno : EIO;
  if (error == 0) {
    markWritten();
    readIdentity = written;
  }
  return error;
}

int writeTableFile(const TablePlace& place, int count, HighScoreEntry* table, bool& checked) {
  checked = false;
  if (!lockOnTable) {
    std::string temporary;
    int error = 0;
    if (std::FILE* file = createTemporaryFile(place.folder, place.temporaryPrefix(), temporary, error)) {
      error = replaceTable(place, file, temporary, count, table, checked);
      // A folder anyone may write to lets only a file's owner replace it.
      if (error != EPERM && error != EACCES) return error;
    } else if (!identityAt(place.folder, place.name).exists) {
      return error;
    }
  }
  return rewriteTable(place, count, table);
}

// The file cannot be read: it is left alone, and the table in memory, with
// the scores of the run, is kept as it is.
void markUnreadable(int count, HighScoreEntry* table, int error) {
  fileUnreadable = true;
  if (!tableRead) fillDefault(table, 0, count);
  tableRead = true;
  reportUnreadable(error);
}

void pauseBeforeAttempt(int attempt) { std::this_thread::sleep_for(std::chrono::milliseconds(attempt)); }

}  // namespace

HighScoreLock::HighScoreLock() {
  if (lockDepth++ > 0) return;
  TablePlace place;
  if (openTablePlace(place) != 0 || !isRegularOrMissing(place.folder, place.name)) return;  // the load says why
  const std::string lockName = place.name + ".lock";
  // Once a wait has run out, saves go on without waiting until the lock is
  // seen free again.
  int error = 0;
  heldLock = acquireLock(place.folder, lockName, place.name, lockBusy ? 0 : lockWaitMs, error);
  lockBusy = heldLock == -1 && error == ETIMEDOUT;
  if (heldLock != -1) return;
  if (error != ETIMEDOUT && !identityAt(place.folder, lockName).exists) {
    // No lock file and none can be made: the folder takes no new file, so no
    // game renames a table into it, and the table itself can be the lock.
    if (!identityAt(place.folder, place.name).exists) return;  // nor a table: the save says why
    heldLock = acquireLock(place.folder, place.name, place.name, lockWaitMs, error);
    lockOnTable = heldLock != -1;
    if (lockOnTable) return;
  }
  const std::string shownLock = place.shown(lockName);
  if (error == ETIMEDOUT) {
    report(ProblemLockBusy,
           "another game holds " + shownLock +
               " longer than a save takes; the high scores are saved without it, "
               "keeping every game's scores",
           "Another game is holding the lock on the high scores. They are saved without it, keeping every game's "
           "scores.");
    return;
  }
  const std::string reason = fileErrorText(error);
  report(ProblemLockUnusable,
         shownLock + " cannot be used as a lock: " + reason +
             "; the high scores are saved without it, keeping every game's scores",
         "The lock file " + shownLock + " cannot be used: " + reason +
             ". The high scores are saved without it, keeping every game's scores.");
}

HighScoreLock::~HighScoreLock() {
  if (--lockDepth > 0 || heldLock == -1) return;
  releaseLock(heldLock);
  heldLock = -1;
  lockOnTable = false;
}

std::string takeHighScoreProblem() {
  if (playerNotice.empty()) return {};
  playerNoticeTaken = true;
  return std::exchange(playerNotice, std::string());
}

void setHighScorePath(const std::string& path) { highScorePath = path; }

void reportHighScoreFolderProblem(const std::string& reason) {
  report(ProblemSave | ProblemRead,  // told once: every load and save meets it
         "cannot save the high scores to " + printablePath(highScorePath) + ": " + reason + "; they are kept in memory",
         "The high scores cannot be saved to " + printablePath(highScorePath) + ": " + reason + "." + keptNotice);
}

int32_t checkValue(int32_t seed, const char* text) {
  uint32_t a = static_cast<uint32_t>(seed);
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    const uint32_t ch = *p;
    a = (ch & 0x55) ^ ((a ^ ((ch & 0xAA) << 7)) << 1);
    if (static_cast<int32_t>(a) > 0xFFFF) a ^= 0x18721;
  }
  return static_cast<int32_t>(a);
}

// A table written while another game wrote its own is written again, merged
// into that one, until it is saved, or the file cannot be used.
void saveHighScores(int count, HighScoreEntry* table) {
  const HighScoreLock lock;
  if (fileUnreadable) return;  // already reported by the load
  TablePlace place;
  int error = openTablePlace(place);
  if (error != 0) return reportSaveFailure(error);
  if (isReadOnlyFile(place.folder, place.name)) {
    return report(ProblemReadOnly, printablePath(highScorePath) + " is read-only; the high scores are kept in memory",
                  "The high scores are not saved: " + printablePath(highScorePath) + " is read-only." + keptNotice);
  }
  const bool locked = heldLock != -1;
  if (!lockOnTable) removeDeadTemporaries(place);
  for (int attempt = 1;; ++attempt) {
    bool swapped = false;
    error = writeTableFile(place, count, table, swapped);
    int placed = 0;
    if (error == 0) {
      tableRead = true;
      // A swap under the lock is the last word: a game without it that swaps
      // later merges this table; so is any save under the lock where no
      // other program writes the folder. Any other save may have been
      // written over at once: it is read back, and written again when it
      // lacks a score.
      if (locked && (swapped || !othersShareFiles())) return unconfirmedEntries.clear();
      // The table as written stays in memory while the file is still it.
      const FileIdentity wrote = readIdentity;
      std::vector<HighScoreEntry> readBack(static_cast<size_t>(std::max(count, highScoreCount)));
      std::copy(table, table + count, readBack.begin());  // the merge places entries among all ten
      if (readTableFile(place, count, readBack.data(), placed) != 0 || readIdentity == wrote) return;
      std::copy(readBack.begin(), readBack.begin() + count, table);
      if (placed == 0) return;
    } else if (error != tableChanged && error != tableDisplaced) {
      return reportSaveFailure(error);
    }
    if (attempt == saveAttempts) return reportSaveFailure(tableChanged);
    if (!locked) pauseBeforeAttempt(attempt);
    if (error == tableChanged && (error = readTableFile(place, count, table, placed)) != 0) {
      return markUnreadable(count, table, error);
    }
  }
}

void loadHighScores(int count, HighScoreEntry* table) {
  const HighScoreLock lock;
  int placed = 0;
  TablePlace place;
  int error = openTablePlace(place);
  if (error == ENOENT) {  // no such folder: the save says why
    useDefaultTable(count, table);
    return saveHighScores(count, table);
  }
  if (error == 0) error = readTableFile(place, count, table, placed);
  if (error != 0) return markUnreadable(count, table, error);
  if (!readIdentity.exists) saveHighScores(count, table);  // the default table makes the file
}

void finishHighScores() {
  if (unsavedEntries.empty() && unconfirmedEntries.empty()) return;
  const HighScoreLock lock;
  int placed = 0;
  TablePlace place;
  if (openTablePlace(place) == 0 && readTableFile(place, highScoreCount, highScoreTable, placed) == 0 &&
      (placed > 0 || !readIdentity.exists)) {
    saveHighScores(highScoreCount, highScoreTable);
  }
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
  if (slot < highScoreCount)
    unsavedEntries.push_back(candidate);
  else
    lateCandidate = candidate;
  saveHighScores(highScoreCount, highScoreTable);
  lateCandidate.reset();
  return slot;
}

void resetHighScores() {
  std::memset(highScoreTable, 0, sizeof highScoreTable);
  resetTokenizer();
  reportLineOpen = false;
  highScorePath = "hiscore.txt";
  fileUnreadable = tableRead = false;
  unsavedEntries.clear();
  unconfirmedEntries.clear();
  readIdentity = {};
  reportedProblems = 0;
  lockBusy = false;
  playerNotice.clear();
  playerNoticeTaken = false;
}
