// vantrel.js: the game on a web page's <canvas> (see page_window.h), and the
// page's high-score table: the merge of two tabs' saves, and uploads.
#include <emscripten.h>

#include <memory>
#include <string>

#include "platform/web/page_window.h"
#include "platform/web/table_merge.h"
#include "platform/web/table_upload.h"

namespace {

std::unique_ptr<MidEnd> midEnd;  // the page's one run, alive as long as the page
std::string tablePath;
HighScoreEntry uploaded[highScoreCount];  // the last upload read

}  // namespace

extern "C" {

// Another tab stored a newer table than the one at basePath, from which
// this tab's table at oursPath grew: the scores it added go into the newer
// table, at the table's own path.
EMSCRIPTEN_KEEPALIVE void vantrelMergeTables(const char* basePath, const char* oursPath) {
  mergeTables(basePath, oursPath, tablePath);
}

// A file uploaded as the table, written by the page at path: why it is not
// one, or empty, with its entries kept for the page to show.
EMSCRIPTEN_KEEPALIVE const char* vantrelReadUpload(const char* path) {
  static std::string problem;
  problem = readUpload(path, tablePath, uploaded);
  return problem.c_str();
}
EMSCRIPTEN_KEEPALIVE int32_t vantrelUploadLimit() { return uploadLimit; }
EMSCRIPTEN_KEEPALIVE const char* vantrelUploadedName(int32_t i) { return uploaded[i].name; }
EMSCRIPTEN_KEEPALIVE int32_t vantrelUploadedScore(int32_t i) { return uploaded[i].score; }

}  // extern "C"

// The page's options come as a command line: --hiscore, and --play with
// --screenshot for the tests. The run goes on after main returns.
int main(int argc, char** argv) {
  const CommandLine parsed = parseCommandLine(argc, argv);
  tablePath = parsed.options.hiscorePath;
  midEnd = std::make_unique<MidEnd>("vantrel", parsed.options.scale);
  return startProgram(parsed, pageWindow(), *midEnd).value_or(0);
}
