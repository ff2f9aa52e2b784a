// Building, reading and checking high-score files and the table in tests.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "file_io.h"
#include "scores/high_scores.h"

// The check value written out a second time, independently, to build files.
inline int32_t refCheck(int32_t seed, const std::string& text) {
  int32_t a = seed;
  for (unsigned char ch : text) {
    a = static_cast<int32_t>((ch & 0x55) ^ ((a ^ ((ch & 0xAA) << 7)) << 1));
    if (a > 0xFFFF) a ^= 0x18721;
  }
  return a;
}

inline int32_t refEntryCheck(int i, const std::string& name, const std::string& scoreText) {
  return refCheck(refCheck(i * i, name), scoreText);
}

inline std::string line(const std::string& name, long score, long check) {
  char tail[64];
  std::snprintf(tail, sizeof tail, "   %ld %6ld \r\n", score, check);
  return name + tail;
}

// A line the program itself would write for entry i.
inline std::string validLine(int i, const std::string& name, int32_t score) {
  return line(name, score, refEntryCheck(i, name, std::to_string(score)));
}

// What a save leaves in the folder: the table and the lock file beside it.
inline const std::vector<std::string> tableAndLock = {"hiscore.txt", "hiscore.txt.lock"};

inline std::vector<std::string> filesIn(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

inline const int32_t defaultChecks[10] = {41698, 41570, 41186, 42594, 43746, 44642, 45282, 47714, 33506, 35426};

inline std::string defaultFile() {
  std::string s;
  for (int i = 0; i < 10; ++i) s += line("NoName", 0, defaultChecks[i]);
  return s;
}

// A file the program would write for these entries, NoName 0 after them.
inline std::string tableFile(const std::vector<std::pair<std::string, int32_t>>& entries) {
  std::string s;
  for (size_t i = 0; i < entries.size(); ++i) s += validLine(static_cast<int>(i), entries[i].first, entries[i].second);
  for (size_t i = entries.size(); i < 10; ++i) s += line("NoName", 0, defaultChecks[i]);
  return s;
}

inline void setEntry(int i, const char* name, int32_t score) {
  HighScoreEntry e{};
  std::strncpy(e.name, name, sizeof e.name - 1);
  e.score = score;
  highScoreTable[i] = e;
}

inline void fillTable(const std::vector<std::pair<std::string, int32_t>>& entries) {
  for (size_t i = 0; i < entries.size(); ++i)
    setEntry(static_cast<int>(i), entries[i].first.c_str(), entries[i].second);
}

inline void expectEntry(int i, const std::string& name, int32_t score) {
  EXPECT_EQ(std::string(highScoreTable[i].name), name) << "entry " << i;
  EXPECT_EQ(highScoreTable[i].score, score) << "entry " << i;
}

inline void expectDefaultTable() {
  for (int i = 0; i < 10; ++i) expectEntry(i, "NoName", 0);
}

inline int countOccurrences(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t p = haystack.find(needle); p != std::string::npos; p = haystack.find(needle, p + 1)) ++n;
  return n;
}
