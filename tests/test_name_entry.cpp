// The player name being typed: eight letters at most, backspace,
// Enter, the reset code 0, and takeTypedName; with the session's use of it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "scores/name_entry.h"

namespace {

std::string typed() {
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  const int32_t length = takeTypedName(buffer);
  EXPECT_EQ(static_cast<size_t>(length), std::strlen(buffer));
  return buffer;
}

void type(const std::string& keys) {
  for (char c : keys) EXPECT_EQ(nameEntryKey(static_cast<unsigned char>(c)), -1);
}

}  // namespace

class NameEntryTest : public GameTest {};

TEST_F(NameEntryTest, EmptyAtProgramStart) {
  EXPECT_EQ(typed(), "");
  EXPECT_EQ(nameEntryKey(13), 0);  // Enter on an empty name returns 0, not -1
}

TEST_F(NameEntryTest, LettersAreStoredAndEnterReturnsTheLength) {
  type("AbC");
  EXPECT_EQ(typed(), "AbC");
  EXPECT_EQ(nameEntryKey(13), 3);
  EXPECT_EQ(typed(), "AbC");  // Enter changes nothing
  EXPECT_EQ(nameEntryKey(13), 3);
}

TEST_F(NameEntryTest, EveryLetterCodeIsStoredAndNothingElse) {
  for (int c = 0; c < 256; ++c) {
    if (c == 0 || c == 8 || c == 13) continue;
    nameEntryKey(0);
    EXPECT_EQ(nameEntryKey(c), -1) << c;
    const bool letter = (c >= 65 && c <= 90) || (c >= 97 && c <= 122);
    EXPECT_EQ(typed(), letter ? std::string(1, static_cast<char>(c)) : std::string()) << c;
  }
}

TEST_F(NameEntryTest, NinthLetterIsIgnoredAndBackspaceRemovesTheEighth) {
  type("ABCDEFGH");
  EXPECT_EQ(typed(), "ABCDEFGH");
  EXPECT_EQ(nameEntryKey('I'), -1);
  EXPECT_EQ(typed(), "ABCDEFGH");
  EXPECT_EQ(nameEntryKey(13), 8);
  EXPECT_EQ(nameEntryKey(8), -1);
  EXPECT_EQ(typed(), "ABCDEFG");
  EXPECT_EQ(nameEntryKey('Z'), -1);
  EXPECT_EQ(typed(), "ABCDEFGZ");
}

TEST_F(NameEntryTest, BackspaceOnEmptyNameDoesNothing) {
  EXPECT_EQ(nameEntryKey(8), -1);
  EXPECT_EQ(typed(), "");
  EXPECT_EQ(nameEntryKey(13), 0);
  type("Ab");
  EXPECT_EQ(nameEntryKey(8), -1);
  EXPECT_EQ(nameEntryKey(8), -1);
  EXPECT_EQ(nameEntryKey(8), -1);
  EXPECT_EQ(typed(), "");
  type("Q");
  EXPECT_EQ(typed(), "Q");
}

TEST_F(NameEntryTest, ResetCodeClearsTheName) {
  type("Hello");
  EXPECT_EQ(nameEntryKey(0), -1);
  EXPECT_EQ(typed(), "");
  EXPECT_EQ(nameEntryKey(13), 0);
}

TEST_F(NameEntryTest, OnlyTheLowEightBitsCount) {
  EXPECT_EQ(nameEntryKey(0x141), -1);  // acts as 0x41, "A"
  EXPECT_EQ(typed(), "A");
  EXPECT_EQ(nameEntryKey(0x7F61), -1);  // "a"
  EXPECT_EQ(typed(), "Aa");
  EXPECT_EQ(nameEntryKey(0x10D), 2);   // Enter
  EXPECT_EQ(nameEntryKey(0x108), -1);  // backspace
  EXPECT_EQ(typed(), "A");
  EXPECT_EQ(nameEntryKey(-191), -1);  // low byte 0x41
  EXPECT_EQ(typed(), "AA");
  EXPECT_EQ(nameEntryKey(0x100), -1);  // reset
  EXPECT_EQ(typed(), "");
  EXPECT_EQ(nameEntryKey(0x120), -1);  // blank: ignored
  EXPECT_EQ(typed(), "");
}

TEST_F(NameEntryTest, DigitsBlanksAndPunctuationAreIgnored) {
  type("A1 -_.B9");
  EXPECT_EQ(typed(), "AB");
}

TEST_F(NameEntryTest, TakeTypedNameCopiesTheTerminatorAndChangesNothing) {
  type("Kim");
  char buffer[9];
  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(takeTypedName(buffer), 3);
  EXPECT_EQ(std::string(buffer), "Kim");
  EXPECT_EQ(buffer[3], '\0');
  EXPECT_EQ(buffer[4], 'X');  // nothing copied behind the NUL
  EXPECT_EQ(takeTypedName(buffer), 3);
  EXPECT_EQ(nameEntryKey(13), 3);

  type("ABCDE");
  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(takeTypedName(buffer), 8);  // nine chars are enough for eight letters
  EXPECT_EQ(std::string(buffer, 9), std::string("KimABCDE") + '\0');
}

TEST_F(NameEntryTest, SessionClearsTheNameWhenEntryStarts) {
  type("Old");
  raiseEvent(EventEnterName);
  EXPECT_EQ(world.gameState, StateEnteringName);
  EXPECT_EQ(typed(), "");
  type("Ann");
  raiseEvent(EventEnterName);  // already entering: what is typed stays
  EXPECT_EQ(typed(), "Ann");
}

TEST_F(NameEntryTest, NewGameTakesTheTypedNameAndKeepsIt) {
  raiseEvent(EventEnterName);
  type("Zoe");
  ASSERT_GE(nameEntryKey(13), 0);
  raiseEvent(EventNewGame);
  EXPECT_EQ(std::string(playerName()), "Zoe");
  EXPECT_EQ(typed(), "Zoe");  // Enter did not clear it
  std::strcpy(playerName(), "Other");
  raiseEvent(EventNewGame);  // a later game without new entry takes the same name
  EXPECT_EQ(std::string(playerName()), "Zoe");
}

TEST_F(NameEntryTest, EmptyTypedNameBecomesNoName) {
  raiseEvent(EventEnterName);
  EXPECT_EQ(nameEntryKey(13), 0);
  raiseEvent(EventNewGame);
  EXPECT_EQ(std::string(playerName()), "NoName");
}
