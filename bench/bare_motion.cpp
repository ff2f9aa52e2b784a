// bare_motion: the floor of the motion-to-screen chain, a bare Xlib window
// that draws a bat where the pointer is on every motion, at once.
// Usage: bare_motion X Y (where the 600 by 100 window opens)
#include <X11/Xlib.h>

#include <cstdlib>

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display || argc < 3) return 2;
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), std::atoi(argv[1]),
                                            std::atoi(argv[2]), 600, 100, 0, 0, BlackPixel(display, screen));
  XSelectInput(display, window, PointerMotionMask | ExposureMask);
  XMapWindow(display, window);
  const GC gc = XCreateGC(display, window, 0, nullptr);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MotionNotify) continue;
    XSetForeground(display, gc, BlackPixel(display, screen));
    XFillRectangle(display, window, gc, 0, 40, 600, 10);
    XSetForeground(display, gc, WhitePixel(display, screen));
    XFillRectangle(display, window, gc, event.xmotion.x - 20, 40, 40, 10);
    XFlush(display);
  }
}
