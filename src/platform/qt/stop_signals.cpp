#include "platform/qt/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

int stopPipe[2] = {-1, -1};
volatile std::sig_atomic_t stopsSeen = 0;

extern "C" void requestStop(int signalNumber) {
  if (stopsSeen) {
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    return;
  }
  stopsSeen = 1;
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void onStopSignal(QObject* context, std::function<void()> stop) {
  if (pipe(stopPipe) != 0) return;  // the signals keep ending the program at once
  for (const int end : stopPipe) {
    fcntl(end, F_SETFD, FD_CLOEXEC);
    fcntl(end, F_SETFL, O_NONBLOCK);
  }
  auto* notifier = new QSocketNotifier(stopPipe[0], QSocketNotifier::Read, context);
  QObject::connect(notifier, &QSocketNotifier::activated, context, [stop = std::move(stop)] {
    char byte;
    while (read(stopPipe[0], &byte, 1) > 0) {
    }
    stop();
  });
  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);
}
