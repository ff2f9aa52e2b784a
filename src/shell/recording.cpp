#include "shell/recording.h"

#include <cerrno>
#include <cstring>

#include "core/printable.h"

namespace {

std::FILE* recordStream = nullptr;
int64_t recordedTicks = 0;  // a run of ticks is written as one line
int recordErrno = 0;        // why the first write that failed did

std::FILE* recording = nullptr;  // the file of --record
std::string recordingPath;

// Keeps the reason of the first failure: the stream only keeps that one came.
void noteResult(int result) {
  if (result < 0 && !recordErrno) recordErrno = errno ? errno : EIO;
}

std::string failure(const char* doing, int reason) {
  return "cannot " + std::string(doing) + " the recording " + printablePath(recordingPath) + ": " +
         std::strerror(reason);
}

}  // namespace

void setRecordStream(std::FILE* stream) {
  flushRecord();
  recordStream = stream;
}

void flushRecord() {
  if (!recordStream) return;
  if (recordedTicks == 1) noteResult(std::fprintf(recordStream, "tick\n"));
  if (recordedTicks > 1) noteResult(std::fprintf(recordStream, "tick %lld\n", static_cast<long long>(recordedTicks)));
  recordedTicks = 0;
  noteResult(std::fflush(recordStream));
}

void recordMessage(const WindowMessage& m) {
  if (!recordStream) return;
  if (m.kind == MessageTick) {
    ++recordedTicks;
    return;
  }
  flushRecord();
  switch (m.kind) {
    case MessageMove: noteResult(std::fprintf(recordStream, "move %d %d\n", int16_t(m.x), int16_t(m.y))); break;
    case MessageDown: noteResult(std::fprintf(recordStream, "down\n")); break;
    case MessageUp: noteResult(std::fprintf(recordStream, "up %d %d\n", int16_t(m.x), int16_t(m.y))); break;
    case MessageKey: noteResult(std::fprintf(recordStream, "key 0x%X\n", static_cast<unsigned>(m.x))); break;
    case MessageCommand: noteResult(std::fprintf(recordStream, "command %d\n", m.x)); break;
    case MessageTick: break;
  }
}

bool startRecording(const std::string& path, std::string& error) {
  recordingPath = path;
  recording = std::fopen(path.c_str(), "wb");
  if (!recording) {
    error = failure("write", errno);
    return false;
  }
  // Each line reaches the file as it is made, so a process killed outright
  // leaves every line but the run of ticks it was counting.
  std::setvbuf(recording, nullptr, _IOLBF, BUFSIZ);
  recordErrno = 0;
  setRecordStream(recording);
  return true;
}

bool finishRecording(std::string& error) {
  if (!recording) return true;
  setRecordStream(nullptr);  // writes out the last run of ticks
  bool finished = !recordErrno;
  if (!finished) error = failure("write", recordErrno);
  if (std::fclose(recording) != 0 && finished) {
    error = failure("close", errno);
    finished = false;
  }
  recording = nullptr;
  return finished;
}
