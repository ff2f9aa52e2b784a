// The high-score table, its file, the tokenizer and the check value: no
// overrun, an idle tokenizer on every load, a save that never damages the
// file, 32-bit conversions and CR LF lines.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "hiscore_files.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"

namespace {

// A stream over the given bytes for the tokenizer.
struct Stream {
  std::FILE* f;
  explicit Stream(const std::string& bytes) {
    resetTokenizer();  // readToken itself never resets; each stream starts idle
    f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
  }
  ~Stream() { std::fclose(f); }
};

struct Token {
  int result;
  std::string text;
};

Token next(std::FILE* f) {
  char destination[tokenCapacity];
  std::memset(destination, 'J', sizeof destination - 1);  // junk: every call must empty it first
  destination[tokenCapacity - 1] = '\0';
  const int r = readToken(f, destination);
  return {r, destination};
}

std::vector<Token> allTokens(const std::string& bytes) {
  Stream s(bytes);
  std::vector<Token> tokens;
  for (int guard = 0; guard < 10000; ++guard) {
    Token t = next(s.f);
    tokens.push_back(t);
    if (t.result == TokenEnd) break;
  }
  return tokens;
}

int expectedClass(int c) {
  if (c == 9 || c == 10 || c == 13 || c == 32) return 1;
  if ((c >= 48 && c <= 57) || (c >= 65 && c <= 90) || (c >= 97 && c <= 122)) return 2;
  if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126)) return 3;
  return 0;
}

}  // namespace

class HighScoresTest : public GameTest {};

// ---------------------------------------------------------------- data model

TEST_F(HighScoresTest, EntryIsThirtySixBytesAndTableStartsZero) {
  EXPECT_EQ(sizeof(HighScoreEntry), 36u);
  EXPECT_EQ(sizeof(HighScoreEntry::name), 32u);
  for (int i = 0; i < 10; ++i) expectEntry(i, "", 0);
}

// ---------------------------------------------------------------- check value

TEST_F(HighScoresTest, CheckOfEmptyTextIsTheSeed) {
  for (int32_t seed : {0, 1, 81, 12345, 65535}) EXPECT_EQ(checkValue(seed, ""), seed);
}

TEST_F(HighScoresTest, CheckValuesOfTheDefaultEntries) {
  for (int i = 0; i < 10; ++i) EXPECT_EQ(checkValue(checkValue(i * i, "NoName"), "0"), defaultChecks[i]) << i;
}

TEST_F(HighScoresTest, CheckValuesOfTheWorkedExample) {
  EXPECT_EQ(checkValue(checkValue(0, "ABC"), "0"), 12186);
  EXPECT_EQ(checkValue(checkValue(0, "ABC"), "1500"), 7069);
}

TEST_F(HighScoresTest, CheckFollowsTheFormulaAndStaysIn16Bits) {
  for (int32_t seed : {0, 1, 4, 9, 80, 81, 0x7FFF, 0x8000, 0xFFFF}) {
    for (int c = 1; c < 256; ++c) {
      const char text[2] = {static_cast<char>(c), '\0'};
      const int32_t v = checkValue(seed, text);
      EXPECT_EQ(v, refCheck(seed, text)) << seed << " " << c;
      EXPECT_GE(v, 0);
      EXPECT_LE(v, 0xFFFF);
    }
  }
  const std::string long_text = "The quick brown fox jumps over the lazy dog 0123456789 \xff\x80\x01";
  EXPECT_EQ(checkValue(81, long_text.c_str()), refCheck(81, long_text));
}

TEST_F(HighScoresTest, CheckDependsOnTheEntryIndex) {
  EXPECT_NE(checkValue(checkValue(0, "ABC"), "100"), checkValue(checkValue(1, "ABC"), "100"));
}

// ---------------------------------------------------------------- tokenizer

// Each file read to its end: the tokens in order, with the call's result.
TEST_F(HighScoresTest, TokenizerSplitsWordsSeparatorsAndPunctuation) {
  const struct {
    const char* bytes;
    std::vector<Token> tokens;
  } cases[] = {
      // leading separators skipped; tab, CR, LF and blank all end a word
      {"  ABC\t12\r\n34 \n\r\t x ", {{1, "ABC"}, {1, "12"}, {1, "34"}, {1, "x"}, {-1, ""}}},
      // a word ended by punctuation comes with 2, the punctuation next on its own
      {"word. ", {{2, "word"}, {1, "."}, {-1, ""}}},
      // lone punctuation is a token of its own
      {"-5 a-b __ ", {{1, "-"}, {1, "5"}, {2, "a"}, {1, "-"}, {1, "b"}, {1, "_"}, {1, "_"}, {-1, ""}}},
      {"", {{-1, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const auto t = allTokens(c.bytes);
    ASSERT_EQ(t.size(), c.tokens.size());
    for (size_t i = 0; i < t.size(); ++i) {
      EXPECT_EQ(t[i].result, c.tokens[i].result) << i;
      EXPECT_EQ(t[i].text, c.tokens[i].text) << i;
    }
  }
}

TEST_F(HighScoresTest, LastTokenWithoutSeparatorIsLostAndEndStays) {
  Stream s("AB CD");
  EXPECT_EQ(next(s.f).text, "AB");
  Token t = next(s.f);
  EXPECT_EQ(t.result, -1);
  EXPECT_EQ(t.text, "");
  t = next(s.f);  // the end is remembered, and the destination still emptied
  EXPECT_EQ(t.result, -1);
  EXPECT_EQ(t.text, "");
}

TEST_F(HighScoresTest, EveryCharacterCodeHasItsClass) {
  for (int c = 0; c < 256; ++c) {
    std::string bytes = "A";
    bytes += static_cast<char>(c);
    bytes += "B ";
    testing::internal::CaptureStdout();
    const auto t = allTokens(bytes);
    const std::string out = testing::internal::GetCapturedStdout();
    char expectedMessage[64];
    std::snprintf(expectedMessage, sizeof expectedMessage, "\nInvalid character: %6ld %4ld", 2L, static_cast<long>(c));
    switch (expectedClass(c)) {
      case 0:  // reported and skipped: neither ends nor joins a token
        ASSERT_EQ(t.size(), 2u) << c;
        EXPECT_EQ(t[0].text, "AB") << c;
        EXPECT_EQ(t[0].result, 1) << c;
        EXPECT_EQ(out, expectedMessage) << c;
        break;
      case 1:
        ASSERT_EQ(t.size(), 3u) << c;
        EXPECT_EQ(t[0].text, "A") << c;
        EXPECT_EQ(t[0].result, 1) << c;
        EXPECT_EQ(t[1].text, "B") << c;
        EXPECT_EQ(out, "") << c;
        break;
      case 2:
        ASSERT_EQ(t.size(), 2u) << c;
        EXPECT_EQ(t[0].text, std::string("A") + static_cast<char>(c) + "B") << c;
        EXPECT_EQ(out, "") << c;
        break;
      case 3:
        ASSERT_EQ(t.size(), 4u) << c;
        EXPECT_EQ(t[0].text, "A") << c;
        EXPECT_EQ(t[0].result, 2) << c;
        EXPECT_EQ(t[1].text, std::string(1, static_cast<char>(c))) << c;
        EXPECT_EQ(t[1].result, 1) << c;
        EXPECT_EQ(t[2].text, "B") << c;
        EXPECT_EQ(out, "") << c;
        break;
    }
  }
}

TEST_F(HighScoresTest, InvalidCharacterMessageCountsCharactersOfTheCall) {
  Stream s("X \x05Y\xC8Z ");
  testing::internal::CaptureStdout();
  const Token a = next(s.f);
  const Token b = next(s.f);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(a.text, "X");
  EXPECT_EQ(b.text, "YZ");
  // k starts again at each call; the code is taken as 0..255.
  EXPECT_EQ(out, "\nInvalid character:      1    5\nInvalid character:      3  200");
}

TEST_F(HighScoresTest, OverlongTokenKeepsFirst1023AndDropsTheRest) {
  const std::string word(1500, 'A');
  auto t = allTokens(word + "B C ");  // "B" joins the long word, then dropped
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].result, 1);
  EXPECT_EQ(t[0].text, std::string(1023, 'A'));
  EXPECT_EQ(t[1].text, "C");

  std::string mixed(1023, 'x');
  mixed += "YZ.";
  t = allTokens(mixed + " ");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].result, 2);
  EXPECT_EQ(t[0].text, std::string(1023, 'x'));
  EXPECT_EQ(t[1].text, ".");

  t = allTokens(std::string(1023, 'q') + " ");  // exactly 1023 fits whole
  EXPECT_EQ(t[0].text, std::string(1023, 'q'));
}

// ---------------------------------------------------------------- 32-bit long conversion

TEST_F(HighScoresTest, ParseLong32ReadsLikeStrtolWithA32BitLong) {
  EXPECT_EQ(parseLong32("0"), 0);
  EXPECT_EQ(parseLong32("1500"), 1500);
  EXPECT_EQ(parseLong32("007"), 7);
  EXPECT_EQ(parseLong32(""), 0);
  EXPECT_EQ(parseLong32("abc"), 0);
  EXPECT_EQ(parseLong32("12abc"), 12);
  EXPECT_EQ(parseLong32("-"), 0);
  EXPECT_EQ(parseLong32("-5"), -5);
  EXPECT_EQ(parseLong32("+7"), 7);
  EXPECT_EQ(parseLong32("  42"), 42);
  EXPECT_EQ(parseLong32("2147483647"), INT32_MAX);
  EXPECT_EQ(parseLong32("2147483648"), INT32_MAX);
  EXPECT_EQ(parseLong32("4294967296"), INT32_MAX);
  EXPECT_EQ(parseLong32("4294967297"), INT32_MAX);
  EXPECT_EQ(parseLong32("99999999999999999999999999"), INT32_MAX);
  EXPECT_EQ(parseLong32("-2147483648"), INT32_MIN);
  EXPECT_EQ(parseLong32("-2147483649"), INT32_MIN);
  EXPECT_EQ(parseLong32("-4294967296"), INT32_MIN);
  EXPECT_EQ(parseLong32("-99999999999999999999999999"), INT32_MIN);
}

// ---------------------------------------------------------------- saving

TEST_F(HighScoresTest, SaveWritesTheDefaultTableWithCrLf) {
  for (int i = 0; i < 10; ++i) setEntry(i, "NoName", 0);
  saveHighScores(10, highScoreTable);
  EXPECT_EQ(readAll(hiscorePath()), defaultFile());
}

TEST_F(HighScoresTest, SaveWritesTheWorkedExampleLines) {
  for (int i = 0; i < 10; ++i) setEntry(i, "NoName", 0);
  setEntry(0, "ABC", 0);
  saveHighScores(10, highScoreTable);
  EXPECT_EQ(readAll(hiscorePath()).substr(0, 17), "ABC   0  12186 \r\n");

  setEntry(0, "ABC", 1500);
  saveHighScores(10, highScoreTable);
  const std::string content = readAll(hiscorePath());
  EXPECT_EQ(content.substr(0, 20), "ABC   1500   7069 \r\n");
  EXPECT_EQ(content.substr(20), defaultFile().substr(20));
}

TEST_F(HighScoresTest, SaveWritesOnlyCountEntries) {
  fillTable({{"A", 3}, {"B", 2}, {"C", 1}});
  saveHighScores(2, highScoreTable);
  EXPECT_EQ(readAll(hiscorePath()), validLine(0, "A", 3) + validLine(1, "B", 2));
}

TEST_F(HighScoresTest, SaveWritesNegativeScoresAndEmptyNames) {
  for (int i = 0; i < 10; ++i) setEntry(i, "NoName", 0);
  setEntry(0, "", 7);
  setEntry(1, "Neg", -5);
  saveHighScores(10, highScoreTable);
  const std::string content = readAll(hiscorePath());
  const std::string first = validLine(0, "", 7);
  EXPECT_EQ(first.substr(0, 4), "   7");
  EXPECT_EQ(content.substr(0, first.size()), first);
  EXPECT_EQ(content.substr(first.size(), validLine(1, "Neg", -5).size()), validLine(1, "Neg", -5));
  EXPECT_NE(content.find("Neg   -5 "), std::string::npos);
}

TEST_F(HighScoresTest, SaveReplacesTheOldContentWholeAndLeavesNoOtherFile) {
  writeAll(hiscorePath(), std::string(5000, 'Z') + "\r\n");
  fillTable({{"A", 9}, {"B", 8}, {"C", 7}, {"D", 6}, {"E", 5}, {"F", 4}, {"G", 3}, {"H", 2}, {"I", 1}, {"J", 0}});
  saveHighScores(10, highScoreTable);
  std::string expected;
  const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  for (int i = 0; i < 10; ++i) expected += validLine(i, names[i], 9 - i);
  EXPECT_EQ(readAll(hiscorePath()), expected);
  EXPECT_EQ(filesIn(folder()), tableAndLock);
}

TEST_F(HighScoresTest, SaveIntoMissingFolderNeitherCrashesNorChangesTheTableAndSaysSoOnce) {
  const std::string path = (folder() / "no-such-folder" / "hiscore.txt").string();
  setHighScorePath(path);
  fillTable({{"A", 9}, {"B", 8}});
  testing::internal::CaptureStderr();
  saveHighScores(10, highScoreTable);
  saveHighScores(10, highScoreTable);
  EXPECT_EQ(insertHighScore(HighScoreEntry{"C", 10}), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;  // one message, one line
  EXPECT_FALSE(std::filesystem::exists(folder() / "no-such-folder"));
  expectEntry(0, "C", 10);
  expectEntry(1, "A", 9);
  expectEntry(2, "B", 8);
}

#ifndef _WIN32  // file size limits are POSIX

// A write that fails half-way (here: the file size limit, which binds root
// too) must leave the old file whole, leave no other file, keep the table in
// memory and be reported once.
TEST_F(HighScoresTest, SaveFailingHalfWayLeavesTheOldFileWhole) {
  for (int i = 0; i < 10; ++i) setEntry(i, "NoName", 0);
  saveHighScores(10, highScoreTable);
  ASSERT_EQ(readAll(hiscorePath()), defaultFile());
  const std::string one(31, 'O'), two(31, 'T');
  fillTable({{one, 123456789}, {two, 12345678}});
  for (int i = 2; i < 10; ++i) setEntry(i, std::string(31, static_cast<char>('a' + i)).c_str(), 100 - i);

  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 400;  // less than the table (over 500 bytes), room for the captured message
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  testing::internal::CaptureStderr();
  saveHighScores(10, highScoreTable);
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Third", 1000000}), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(readAll(hiscorePath()), defaultFile());
  EXPECT_EQ(filesIn(folder()), tableAndLock);
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  expectEntry(0, one, 123456789);
  expectEntry(1, two, 12345678);
  expectEntry(2, "Third", 1000000);

  // Once writing works again the table is saved whole.
  saveHighScores(10, highScoreTable);
  loadHighScores(10, highScoreTable);
  expectEntry(0, one, 123456789);
  expectEntry(2, "Third", 1000000);
}

#endif

TEST_F(HighScoresTest, FailedSaveWritesNothingToStandardOutput) {
  setHighScorePath((folder() / "missing" / "hiscore.txt").string());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  loadHighScores(10, highScoreTable);
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "");
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  expectDefaultTable();
}

// "A table that cannot be read or written is kept in memory" (docs/behaviour.md):
// the game goes on with the table in memory when the file cannot be written. The session re-reads the file before every
// insertion; since the file never came to exist, a load must not throw the scores of earlier games of the run away.
TEST_F(HighScoresTest, UnwritableFileKeepsTheTableInMemoryAcrossGames) {
  setHighScorePath((folder() / "missing" / "hiscore.txt").string());
  testing::internal::CaptureStderr();
  endGameWithScore(500);
  ASSERT_EQ(world.gameState, StateGameOver);
  expectEntry(0, "NoName", 500);

  endGameWithScore(300);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  expectEntry(0, "NoName", 500);
  expectEntry(1, "NoName", 300);
}

// ---------------------------------------------------------------- loading

TEST_F(HighScoresTest, MissingFileGivesTheDefaultTableAndWritesIt) {
  ASSERT_FALSE(std::filesystem::exists(hiscorePath()));
  fillTable({{"Old", 99}});
  loadHighScores(10, highScoreTable);
  expectDefaultTable();
  EXPECT_EQ(readAll(hiscorePath()), defaultFile());
}

TEST_F(HighScoresTest, SavedTableReadsBackAsWritten) {
  const std::vector<std::pair<std::string, int32_t>> entries = {
      {"Alice", 2147483647}, {"B0b", 99999}, {"x", 1500}, {"NoName", 1000}, {"ZZZZZZZZ", 999},
      {"a1b2c3", 100},       {"Q", 10},      {"R", 1},    {"S", 0},         {"abcdefghijklmnopqrstuvwxyzABCDE", 0}};
  fillTable(entries);
  saveHighScores(10, highScoreTable);
  std::memset(highScoreTable, 0, sizeof highScoreTable);
  loadHighScores(10, highScoreTable);
  for (int i = 0; i < 10; ++i) expectEntry(i, entries[i].first, entries[i].second);
}

TEST_F(HighScoresTest, EditedScoreShowsAsCheaterThenIsWrittenValid) {
  std::string content = validLine(0, "Ann", 1500);
  for (int i = 1; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  content.replace(content.find("1500"), 4, "9500");
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Cheater", 9500);
  for (int i = 1; i < 10; ++i) expectEntry(i, "NoName", 0);
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Late", 0}), 10);
  EXPECT_EQ(readAll(hiscorePath()).substr(0, validLine(0, "Cheater", 9500).size()), validLine(0, "Cheater", 9500));
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Cheater", 9500);
}

TEST_F(HighScoresTest, EditedNameShowsAsCheater) {
  std::string content = validLine(0, "Ann", 1500);
  for (int i = 1; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  content[0] = 'B';
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Cheater", 1500);
}

TEST_F(HighScoresTest, MovedLineFailsItsCheck) {
  std::string content = validLine(1, "Bea", 200) + validLine(0, "Ann", 300);
  for (int i = 2; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Cheater", 200);
  expectEntry(1, "Cheater", 300);
  for (int i = 2; i < 10; ++i) expectEntry(i, "NoName", 0);
}

TEST_F(HighScoresTest, LeadingZerosAreCheckedAsTheParsedScore) {
  std::string content = line("Ann", 0, refEntryCheck(0, "Ann", "7"));
  content.replace(content.find("   0 "), 5, "   007 ");
  for (int i = 1; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Ann", 7);
}

// Entries the reading never reached are the default entry, never what an
// earlier load left in memory; a line cut after its name shows as Cheater.
TEST_F(HighScoresTest, ShortFileReadsItsLinesAndDefaultsTheRest) {
  const std::string threeLines = validLine(0, "Ann", 10) + validLine(1, "Ann", 9) + validLine(2, "Ann", 8);
  const struct {
    const char* what;
    std::string content;
    int whole;             // lines read as written
    int32_t cheaterScore;  // of the next entry, cut after its name; -1 when there is none
  } cases[] = {
      {"empty", "", 0, -1},
      {"only blanks", " \r\n \r\n", 0, -1},
      {"three whole lines", threeLines, 3, -1},
      {"a name and no more", threeLines + "Bob ", 3, 0},
      {"a name and a score", threeLines + "Bob   5 ", 3, 5},
      {"a name cut by the end", threeLines + "Bob", 3, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writeAll(hiscorePath(), c.content);
    for (int i = 0; i < 10; ++i) setEntry(i, "Keep", 100 + i);
    loadHighScores(10, highScoreTable);
    for (int i = 0; i < c.whole; ++i) expectEntry(i, "Ann", 10 - i);
    int next = c.whole;
    if (c.cheaterScore >= 0) expectEntry(next++, "Cheater", c.cheaterScore);
    for (int i = next; i < 10; ++i) expectEntry(i, "NoName", 0);
  }
}

TEST_F(HighScoresTest, BareLineFeedsAndCarriageReturnsAreSeparators) {
  const char* names[] = {"P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"};
  std::string lf, cr;
  for (int i = 0; i < 10; ++i) {
    const std::string score = std::to_string(1000 - i);
    const std::string check = std::to_string(refEntryCheck(i, names[i], score));
    lf.append(names[i]).append("   ").append(score).append(" ").append(check).append(" \n");
    cr.append(names[i]).append("\r").append(score).append("\r").append(check).append("\r");
  }
  writeAll(hiscorePath(), lf);
  loadHighScores(10, highScoreTable);
  for (int i = 0; i < 10; ++i) expectEntry(i, names[i], 1000 - i);

  std::memset(highScoreTable, 0, sizeof highScoreTable);
  writeAll(hiscorePath(), cr);
  loadHighScores(10, highScoreTable);
  for (int i = 0; i < 10; ++i) expectEntry(i, names[i], 1000 - i);
}

TEST_F(HighScoresTest, InvalidCharactersInTheFileAreReportedAndSkipped) {
  std::string content = line(
      "AB\x01"
      "C",
      0, refEntryCheck(0, "ABC", "0"));
  for (int i = 1; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  testing::internal::CaptureStdout();
  loadHighScores(10, highScoreTable);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "\nInvalid character:      3    1");
  expectEntry(0, "ABC", 0);
  for (int i = 1; i < 10; ++i) expectEntry(i, "NoName", 0);
}

TEST_F(HighScoresTest, NegativeScoreDoesNotReadBack) {
  for (int i = 0; i < 10; ++i) setEntry(i, "NoName", 0);
  setEntry(9, "Neg", -5);
  saveHighScores(10, highScoreTable);
  loadHighScores(10, highScoreTable);
  for (int i = 0; i < 9; ++i) expectEntry(i, "NoName", 0);
  // "-" is read as the score (0) and "5" as the check.
  expectEntry(9, "Cheater", 0);
}

// Long tokens and names are cut (docs/behaviour.md): a name token longer than 31 characters is cut to its first 31, and
// the check is computed over the name as stored.
TEST_F(HighScoresTest, LongNameIsCutTo31AndCheckedAsStored) {
  const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40
  const std::string cut = longName.substr(0, 31);
  std::string content = line(longName, 77, refEntryCheck(0, cut, "77"));
  content += line(longName, 66, refEntryCheck(1, longName, "66"));  // check over the whole: fails
  for (int i = 2; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, cut, 77);
  expectEntry(1, "Cheater", 66);
  for (int i = 2; i < 10; ++i) expectEntry(i, "NoName", 0);
  // The name field stays terminated inside its 32 bytes.
  EXPECT_EQ(highScoreTable[0].name[31], '\0');
}

TEST_F(HighScoresTest, NameOf32CharactersIsCut) {
  const std::string name(32, 'N');
  std::string content = line(name, 5, refEntryCheck(0, name.substr(0, 31), "5"));
  for (int i = 1; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, name.substr(0, 31), 5);
}

// Long tokens and names are cut (docs/behaviour.md): a token longer than 1023 characters keeps its first 1023 and the
// rest of that token is read and dropped, so the following tokens stay in step.
TEST_F(HighScoresTest, HugeTokensInTheFileOverrunNothing) {
  const std::string hugeName(3000, 'W');
  std::string content = line(hugeName, 12, refEntryCheck(0, hugeName.substr(0, 31), "12"));
  content += "Bea   " + std::string(2000, '9') + " " + std::to_string(refEntryCheck(1, "Bea", "2147483647")) + " \r\n";
  content += "Cid   3 " + std::string(1500, '0') + "5 \r\n";  // a huge check, still wrong
  for (int i = 3; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, hugeName.substr(0, 31), 12);
  expectEntry(1, "Bea", INT32_MAX);
  expectEntry(2, "Cheater", 3);
  for (int i = 3; i < 10; ++i) expectEntry(i, "NoName", 0);
}

// Long tokens and names are cut (docs/behaviour.md): score and check tokens saturate like a 32-bit long conversion.
TEST_F(HighScoresTest, ScoreAndCheckTokensSaturate) {
  std::string content = "Ann   99999999999 " + std::to_string(refEntryCheck(0, "Ann", "2147483647")) + " \r\n";
  content += "Bob   5 99999999999 \r\n";
  for (int i = 2; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Ann", INT32_MAX);
  expectEntry(1, "Cheater", 5);
  // Written back as the saturated value.
  saveHighScores(10, highScoreTable);
  EXPECT_EQ(readAll(hiscorePath()).substr(0, validLine(0, "Ann", INT32_MAX).size()), validLine(0, "Ann", INT32_MAX));
}

// Every load starts afresh (docs/behaviour.md): with an idle tokenizer.
TEST_F(HighScoresTest, LoadAfterAFileThatEndedEarlyReadsTheNextFile) {
  writeAll(hiscorePath(), "ABC ");  // the tokenizer meets the end of the file
  loadHighScores(10, highScoreTable);
  expectEntry(0, "Cheater", 0);
  writeAll(hiscorePath(), defaultFile());
  loadHighScores(10, highScoreTable);
  expectDefaultTable();
}

TEST_F(HighScoresTest, LoadAfterAHeldBackPunctuationReadsTheNextFile) {
  std::string content = defaultFile();
  content.replace(content.size() - 3, 3, ".");  // "... 35426." : the '.' is held back
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  expectDefaultTable();

  std::string other;
  for (int i = 0; i < 10; ++i) other += validLine(i, "Next", 50 - i);
  writeAll(hiscorePath(), other);
  loadHighScores(10, highScoreTable);
  for (int i = 0; i < 10; ++i) expectEntry(i, "Next", 50 - i);
}

TEST_F(HighScoresTest, LoadAfterAStrayTokenizerStateReadsTheNextFile) {
  Stream s("word.");
  EXPECT_EQ(next(s.f).result, 2);  // '.' now held back in the module
  writeAll(hiscorePath(), defaultFile());
  loadHighScores(10, highScoreTable);
  expectDefaultTable();

  Stream e("");
  EXPECT_EQ(next(e.f).result, -1);  // the end of a file now remembered
  loadHighScores(10, highScoreTable);
  expectDefaultTable();
}

TEST_F(HighScoresTest, LineWithExtraTokensShiftsLaterEntries) {
  std::string content = "Ann Lee   5 " + std::to_string(refEntryCheck(0, "Ann", "0")) + " \r\n";
  for (int i = 1; i < 10; ++i) content += line("NoName", 0, defaultChecks[i]);
  writeAll(hiscorePath(), content);
  loadHighScores(10, highScoreTable);
  // "Ann", "Lee" (score 0), "5" (check): fails; the next entry starts at the check.
  expectEntry(0, "Cheater", 0);
  EXPECT_EQ(std::string(highScoreTable[1].name), "Cheater");
}

// ---------------------------------------------------------------- insertion

TEST_F(HighScoresTest, InsertOrdersBestFirstAndEqualScoreGoesBelow) {
  fillTable({{"A", 900},
             {"B", 800},
             {"C", 700},
             {"D", 600},
             {"E", 500},
             {"F", 400},
             {"G", 300},
             {"H", 200},
             {"I", 100},
             {"J", 50}});
  EXPECT_EQ(insertHighScore(HighScoreEntry{"X", 700}), 3);
  expectEntry(0, "A", 900);
  expectEntry(1, "B", 800);
  expectEntry(2, "C", 700);
  expectEntry(3, "X", 700);
  expectEntry(4, "D", 600);
  expectEntry(9, "I", 100);  // old entry 9 lost
  for (int i = 0; i < 10; ++i) EXPECT_NE(std::string(highScoreTable[i].name), "J");
}

TEST_F(HighScoresTest, InsertAtTheTopMovesEveryoneDown) {
  fillTable({{"A", 9}, {"B", 8}, {"C", 7}, {"D", 6}, {"E", 5}, {"F", 4}, {"G", 3}, {"H", 2}, {"I", 1}, {"J", 0}});
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Top", 10}), 0);
  expectEntry(0, "Top", 10);
  const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
  for (int i = 1; i < 10; ++i) expectEntry(i, names[i - 1], 10 - i);
}

TEST_F(HighScoresTest, InsertAtSlotNineReplacesOnlyEntryNine) {
  fillTable({{"A", 9}, {"B", 8}, {"C", 7}, {"D", 6}, {"E", 5}, {"F", 4}, {"G", 3}, {"H", 2}, {"I", 1}, {"J", 0}});
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Nine", 1}), 9);
  const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
  for (int i = 0; i < 9; ++i) expectEntry(i, names[i], 9 - i);
  expectEntry(9, "Nine", 1);
}

TEST_F(HighScoresTest, CandidateBelowAllIsNotPlacedButTheFileIsWritten) {
  fillTable({{"A", 9}, {"B", 8}, {"C", 7}, {"D", 6}, {"E", 5}, {"F", 4}, {"G", 3}, {"H", 2}, {"I", 1}, {"J", 1}});
  ASSERT_FALSE(std::filesystem::exists(hiscorePath()));
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Low", 1}), 10);
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Lower", -3}), 10);
  expectEntry(9, "J", 1);
  ASSERT_TRUE(std::filesystem::exists(hiscorePath()));
  std::string expected;
  const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  const int32_t scores[] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 1};
  for (int i = 0; i < 10; ++i) expected += validLine(i, names[i], scores[i]);
  EXPECT_EQ(readAll(hiscorePath()), expected);
}

TEST_F(HighScoresTest, ZeroEntersOnlyAboveNegativeScores) {
  for (int i = 0; i < 10; ++i) setEntry(i, "NoName", 0);
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Zero", 0}), 10);
  expectDefaultTable();
  setEntry(8, "Neg", -1);
  setEntry(9, "Neg2", -2);
  EXPECT_EQ(insertHighScore(HighScoreEntry{"Zero", 0}), 8);
  expectEntry(8, "Zero", 0);
  expectEntry(9, "Neg", -1);
}

TEST_F(HighScoresTest, InsertCopiesTheWholeCandidate) {
  HighScoreEntry candidate{};
  std::memset(candidate.name, 'x', 31);
  candidate.name[31] = '\0';
  candidate.score = 42;
  EXPECT_EQ(insertHighScore(candidate), 0);
  EXPECT_EQ(std::memcmp(&highScoreTable[0], &candidate, sizeof candidate), 0);
}

TEST_F(HighScoresTest, ShowHighScoresViewLoadsAndRewritesTheFile) {
  raiseEvent(EventShowHighScores);
  EXPECT_EQ(world.gameState, StateShowingHighScores);
  expectDefaultTable();
  EXPECT_EQ(readAll(hiscorePath()), defaultFile());
}

TEST_F(HighScoresTest, GameOverEntersThePlayersScoreIntoTheFile) {
  for (int c : {'E', 'V', 'A'}) nameEntryKey(c);
  endGameWithScore(1500);
  EXPECT_EQ(world.gameState, StateGameOver);
  expectEntry(0, "EVA", 1500);
  for (int i = 1; i < 10; ++i) expectEntry(i, "NoName", 0);
  std::string expected = validLine(0, "EVA", 1500);
  for (int i = 1; i < 10; ++i) expected += line("NoName", 0, defaultChecks[i]);
  EXPECT_EQ(readAll(hiscorePath()), expected);
}
