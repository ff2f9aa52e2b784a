#include "platform/web/table_upload.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

bool isNumber(const std::string& token) {
  const size_t digits = token[0] == '-' ? 1 : 0;
  if (token.size() <= digits) return false;
  for (size_t i = digits; i < token.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(token[i]))) return false;
  return true;
}

bool isName(const std::string& token) {
  for (const char c : token)
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

// A line as the game writes one: a name, its score and its check value.
bool isTableLine(const std::string& line) {
  std::istringstream words(line);
  std::string name, score, check, more;
  return words >> name >> score >> check && !(words >> more) && isName(name) && isNumber(score) && isNumber(check);
}

// Text has no control characters but blanks and line ends.
bool isText(const std::string& bytes) {
  for (const char c : bytes) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7F) return false;
  }
  return true;
}

}  // namespace

std::string readUpload(const std::string& path, const std::string& tablePath, HighScoreEntry* table) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (bytes.empty()) return "it is empty";
  if (static_cast<long>(bytes.size()) > uploadLimit) return "it is larger than any table can be";
  if (!isText(bytes)) return "it is not a text file";
  std::istringstream lines(bytes);
  std::string line;
  bool any = false;
  while (!any && std::getline(lines, line)) any = isTableLine(line);
  if (!any) return "it has no line of a table (a name, a score and a check value)";
  setHighScorePath(path);
  loadHighScores(highScoreCount, table);
  endInvalidCharacterLine();
  setHighScorePath(tablePath);
  return {};
}
