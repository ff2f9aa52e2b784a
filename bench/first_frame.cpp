// first_frame: runs a program on an X server whose screen is all black and
// prints the milliseconds from starting it to the first picture it shows (the
// first change to the screen after which some pixel is no longer black), and
// the processor time the program took until then, all threads. Then ends the
// program. Usage: first_frame PROGRAM [ARGUMENT]...
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool anyLit(Display* display, Window root, const XRectangle& area) {
  XImage* image = XGetImage(display, root, area.x, area.y, area.width, area.height, AllPlanes, ZPixmap);
  if (!image) return false;
  bool lit = false;
  for (int y = 0; y < image->height && !lit; ++y) {
    if (image->bits_per_pixel == 32) {  // the usual screen: read the row as it is
      const auto* row = reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
      lit = std::any_of(row, row + image->width, [](uint32_t pixel) { return (pixel & 0xFFFFFF) != 0; });
      continue;
    }
    for (int x = 0; x < image->width && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
  }
  XDestroyImage(image);
  return lit;
}

// Nanoseconds on the processor, summed over the process's threads.
double processorMs(pid_t pid) {
  double total = 0;
  std::error_code ignored;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ignored)) {
    std::ifstream stat(task.path() / "schedstat");
    double ns = 0;
    if (stat >> ns) total += ns;
  }
  return total / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: first_frame PROGRAM [ARGUMENT]...\n", stderr);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  int damageEvent = 0, damageError = 0;
  if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fputs("first_frame: no X server with the DAMAGE extension\n", stderr);
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  XDamageCreate(display, root, XDamageReportRawRectangles);
  XSync(display, True);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // What the program prints is not measured.
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 1;
  pollfd x{ConnectionNumber(display), POLLIN, 0};
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
    if (!XPending(display) && poll(&x, 1, 100) <= 0) continue;
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != damageEvent + XDamageNotify) continue;
    // Timed as the change arrives: the time it takes to look at it is ours.
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    const double processor = processorMs(child);
    const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
    if (!anyLit(display, root, damage.area)) continue;
    std::printf("%.1f %.1f\n", elapsed.count(), processor);
    status = 0;
    break;
  }
  if (status) std::fputs("first_frame: nothing was shown within 20 seconds\n", stderr);
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  return status;
}
