// motion_latency: the time from a pointer motion to the screen showing it, for
// windows already on the X server, taking turns sample by sample. Per sample
// and target: wait until the target's strip of screen is still, send one
// XTest motion to the target's next place, and stop the clock at the first
// damage to the strip after which a read of it (MIT-SHM) differs from before.
// Prints "NAME MILLISECONDS" a sample, or "NAME timeout". A target given a
// window (":WINDOW", an X window id) is a game that holds the pointer while
// it plays: it is given the keyboard and a "p" before its sample, to play,
// and another after it, to pause and let the pointer go to the others. Such
// a game reads motions as distances: the pointer is put between X1 and X2
// before it plays, so that each sample moves it by the same distance.
// Usage: motion_latency SAMPLES NAME:X,Y,W,H:X1,X2,Y[:WINDOW] [NAME:...]...
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Target {
  std::string name;
  XRectangle strip;
  int x[2], y;
  Window pausable = 0;
  XImage* image = nullptr;
  XShmSegmentInfo shm{};
  std::vector<char> before;
  int next = 0;
};

bool parse(const char* text, Target& t) {
  char name[64];
  int x, y, w, h;
  unsigned long window = 0;
  const int fields =
      std::sscanf(text, "%63[^:]:%d,%d,%d,%d:%d,%d,%d:%lx", name, &x, &y, &w, &h, &t.x[0], &t.x[1], &t.y, &window);
  if (fields < 8) return false;
  t.pausable = window;
  t.name = name;
  t.strip = {static_cast<short>(x), static_cast<short>(y), static_cast<unsigned short>(w),
             static_cast<unsigned short>(h)};
  return w > 0 && h > 0;
}

bool attach(Display* display, Target& t) {
  const int screen = DefaultScreen(display);
  t.image = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap, nullptr,
                            &t.shm, t.strip.width, t.strip.height);
  if (!t.image) return false;
  t.shm.shmid = shmget(IPC_PRIVATE, t.image->bytes_per_line * t.image->height, IPC_CREAT | 0600);
  t.shm.shmaddr = t.image->data = static_cast<char*>(shmat(t.shm.shmid, nullptr, 0));
  t.shm.readOnly = False;
  const bool ok = XShmAttach(display, &t.shm);
  XSync(display, False);
  shmctl(t.shm.shmid, IPC_RMID, nullptr);  // gone once both sides let go
  return ok;
}

// The strip as the screen shows it now.
std::vector<char> read(Display* display, Target& t) {
  XShmGetImage(display, DefaultRootWindow(display), t.image, t.strip.x, t.strip.y, AllPlanes);
  return {t.image->data, t.image->data + t.image->bytes_per_line * t.image->height};
}

bool meets(const XRectangle& a, const XRectangle& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Still: the same for 60 ms running, within 3 s.
bool waitStill(Display* display, Target& t) {
  std::vector<char> last = read(display, t);
  auto sameSince = Clock::now();
  for (const auto start = Clock::now(); Clock::now() - start < std::chrono::seconds(3);) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::vector<char> now = read(display, t);
    if (now != last) {
      last = std::move(now);
      sameSince = Clock::now();
    } else if (Clock::now() - sameSince >= std::chrono::milliseconds(60)) {
      t.before = std::move(last);
      return true;
    }
  }
  t.before = std::move(last);
  return false;
}

// The "p" key of a game that pauses with it.
void pressP(Display* display, const Target& t) {
  XSetInputFocus(display, t.pausable, RevertToPointerRoot, CurrentTime);
  const KeyCode p = XKeysymToKeycode(display, XK_p);
  XTestFakeKeyEvent(display, p, True, CurrentTime);
  XTestFakeKeyEvent(display, p, False, CurrentTime);
  XSync(display, False);
}

// One sample: the milliseconds, or a negative number when nothing changed
// within half a second.
double sample(Display* display, int damageEvent, Target& t) {
  if (t.pausable) {
    // Into the middle of its window while the pointer is free, where the
    // game's hold of it keeps it once play resumes.
    XTestFakeMotionEvent(display, -1, (t.x[0] + t.x[1]) / 2, t.y, CurrentTime);
    pressP(display, t);
  }
  waitStill(display, t);
  while (XPending(display)) {  // damage from before the motion is not this sample's
    XEvent stale;
    XNextEvent(display, &stale);
  }
  const int x = t.x[t.next];
  t.next ^= 1;
  const auto start = Clock::now();
  XTestFakeMotionEvent(display, -1, x, t.y, CurrentTime);
  XFlush(display);
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (Clock::now() - start < std::chrono::milliseconds(500)) {
    if (!XPending(display) && poll(&connection, 1, 10) <= 0) continue;
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != damageEvent + XDamageNotify) continue;
    const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
    if (!meets(damage.area, t.strip)) continue;
    // Timed as the change arrives: the time it takes to look at it is ours.
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    if (read(display, t) != t.before) return elapsed.count();
  }
  return -1;
}

double sampleAndPause(Display* display, int damageEvent, Target& t) {
  const double ms = sample(display, damageEvent, t);
  if (t.pausable) pressP(display, t);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: motion_latency SAMPLES NAME:X,Y,W,H:X1,X2,Y[:WINDOW] [NAME:...]...\n", stderr);
    return 2;
  }
  const int samples = std::atoi(argv[1]);
  std::vector<Target> targets(static_cast<size_t>(argc - 2));
  for (int i = 2; i < argc; ++i) {
    if (!parse(argv[i], targets[static_cast<size_t>(i - 2)])) {
      std::fprintf(stderr, "motion_latency: bad target '%s'\n", argv[i]);
      return 2;
    }
  }
  Display* display = XOpenDisplay(nullptr);
  int damageEvent = 0, damageError = 0, event = 0, error = 0, major = 0, minor = 0;
  if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError) || !XShmQueryExtension(display) ||
      !XTestQueryExtension(display, &event, &error, &major, &minor)) {
    std::fputs("motion_latency: no X server with DAMAGE, MIT-SHM and XTEST\n", stderr);
    return 2;
  }
  for (Target& t : targets) {
    if (!attach(display, t)) {
      std::fputs("motion_latency: no shared memory with the X server\n", stderr);
      return 2;
    }
  }
  XDamageCreate(display, DefaultRootWindow(display), XDamageReportRawRectangles);
  XSync(display, False);
  for (int s = 0; s < samples; ++s) {
    for (Target& t : targets) {
      const double ms = sampleAndPause(display, damageEvent, t);
      if (ms < 0)
        std::printf("%s timeout\n", t.name.c_str());
      else
        std::printf("%s %.3f\n", t.name.c_str(), ms);
      std::fflush(stdout);
    }
  }
  for (Target& t : targets) XShmDetach(display, &t.shm);
  XCloseDisplay(display);
  return 0;
}
