// What both bodies of the file-system helper share: the words for its own
// error codes, and the tests' hook.
#include <cstring>

#include "scores/file_system.h"

namespace {

FileStepHook stepHook = nullptr;

}  // namespace

std::string fileErrorText(int error) {
  switch (error) {
    case notRegularFile: return "not a regular file";
    case untrustedLink: return "a link of another user in a shared folder, which is not followed";
    case linkInPlace: return "a link was put in its place, which is not followed";
    case tableTooLarge: return "far larger than a high-score table";
    default: return std::strerror(error);
  }
}

void setFileStepHook(FileStepHook hook) { stepHook = hook; }

int hookedStep(FileStep step, const std::string& name) { return stepHook ? stepHook(step, name) : 0; }
