#include "platform/web/page_window.h"

#include <emscripten.h>

#include <cstdio>

#include "core/world.h"
#include "shell/state_line.h"

namespace {

// What the page does, written in page.js; these only hand the values over.
EM_JS(void, pagePaintText,
      (uint32_t * pixels, int32_t width, int32_t cl, int32_t ct, int32_t cr, int32_t cb, int32_t rl, int32_t rt,
       int32_t rr, const char* text, int32_t length, int32_t align, const char* face, int32_t height, int32_t weight,
       uint32_t rgb),
      {
        VantrelPage.paintText(pixels, width, [ cl, ct, cr, cb ], [ rl, rt, rr ], HEAPU8.subarray(text, text + length),
                              align, UTF8ToString(face), height, weight, rgb);
      });
EM_JS(void, pageShowPixels, (const uint8_t* rgba, int32_t x, int32_t y, int32_t w, int32_t h),
      { VantrelPage.showPixels(rgba, x, y, w, h); });
EM_JS(void, pageCall, (const char* what, int32_t a, int32_t b), { VantrelPage.call(UTF8ToString(what), a, b); });
EM_JS(void, pageText, (const char* what, const char* text),
      { VantrelPage.call(UTF8ToString(what), UTF8ToString(text)); });
EM_JS(bool, pageHidden, (), { return document.hidden; });
// The page fits its canvas, the game's client area, to the stage for a
// picture of this size, and tells the canvas's size.
EM_JS(void, pageOpenWindow, (int32_t width, int32_t height, int32_t* client), {
  const size = VantrelPage.call("openWindow", width, height);
  HEAP32[client >> 2] = size[0];
  HEAP32[(client >> 2) + 1] = size[1];
});

}  // namespace

void paintText(uint32_t* pixels, int32_t width, int32_t, const Rect& clip, const Rect& r, std::string_view text,
               TextAlign align, const Font& font, Color color) {
  const uint32_t rgb = uint32_t{color.r} << 16 | uint32_t{color.g} << 8 | color.b;
  pagePaintText(pixels, width, clip.left, clip.top, clip.right, clip.bottom, r.left, r.top, r.right, text.data(),
                static_cast<int32_t>(text.size()), align, font.face, font.height, font.weight, rgb);
}

PageWindow::PageWindow() : surface_(paintText) {}

bool PageWindow::openWindow(MidEnd& midEnd) {
  midEnd_ = &midEnd;
  // Made at the canvas's size, the game's first frame is drawn once.
  const Point picture = midEnd.openingClientSize();
  int32_t client[2];
  pageOpenWindow(picture.x, picture.y, client);
  midEnd.create(*this, surface_, {client[0], client[1]});
  return true;
}

// The canvas takes RGBA bytes, already scaled: one putImageData a place is
// the browser's least work. The image keeps 0x??RRGGBB words.
void PageWindow::showPixels(const Rect& area, const Rect& windowArea) {
  const PixelImage image = midEnd_->image();
  const int32_t w = windowArea.right - windowArea.left, h = windowArea.bottom - windowArea.top;
  const int32_t scale = w / (area.right - area.left);
  rgba_.resize(static_cast<size_t>(w) * h * 4);
  uint8_t* out = rgba_.data();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t p = image.at(area.left + x / scale, area.top + y / scale);
      *out++ = static_cast<uint8_t>(p >> 16);
      *out++ = static_cast<uint8_t>(p >> 8);
      *out++ = static_cast<uint8_t>(p);
      *out++ = 255;
    }
  pageShowPixels(rgba_.data(), windowArea.left, windowArea.top, w, h);
}

void PageWindow::setCursor(CursorShape shape) { pageCall("setCursor", shape, 0); }
void PageWindow::setMenuCheck(Command command, bool checked) { pageCall("setMenuCheck", command, checked); }
void PageWindow::setTitle(const char* title) { pageText("setTitle", title); }
void PageWindow::postClose() { pageCall("postClose", 0, 0); }
void PageWindow::endProgram() {
  midEnd_->closed();
  pageCall("ended", 0, 0);
}
// A dialog on the page, which the game plays on behind: the page calls
// vantrelAboutClosed when it goes.
bool PageWindow::showAbout() {
  pageCall("showAbout", 0, 0);
  return true;
}
void PageWindow::openHelp(const char* helpFile) { pageText("openHelp", helpFile); }
void PageWindow::toggleFullScreen() { pageCall("toggleFullScreen", 0, 0); }
void PageWindow::captureMouse(bool captured) { pageCall("captureMouse", captured, 0); }
bool PageWindow::isMinimised() { return pageHidden(); }
void PageWindow::showCursor(bool shown) { pageCall("showCursor", shown, 0); }
void PageWindow::takeFocus() { pageCall("takeFocus", 0, 0); }
void PageWindow::showNotice(const char* text) { pageText("showNotice", text); }
void PageWindow::tell(const std::string& text, bool error) {
  std::fputs(text.c_str(), error ? stderr : stdout);
  if (error) pageText("showNotice", text.c_str());
}

PageWindow& pageWindow() {
  static PageWindow window;
  return window;
}

namespace {
MidEnd& midEnd() { return *pageWindow().midEnd(); }
}  // namespace

// What page.js calls, while the window is open.
extern "C" {

EMSCRIPTEN_KEEPALIVE void vantrelFramePassed(double nowMs) { midEnd().framePassed(nowMs); }
EMSCRIPTEN_KEEPALIVE void vantrelPointerMoved(int32_t x, int32_t y) { midEnd().pointerMoved({x, y}); }
EMSCRIPTEN_KEEPALIVE void vantrelButtonPressed() { midEnd().buttonPressed(); }
EMSCRIPTEN_KEEPALIVE void vantrelButtonReleased(int32_t x, int32_t y) { midEnd().buttonReleased({x, y}); }
EMSCRIPTEN_KEEPALIVE void vantrelKeyPressed(int32_t virtualKey) { midEnd().keyPressed(virtualKey); }
EMSCRIPTEN_KEEPALIVE void vantrelCommandChosen(int32_t command) {
  midEnd().commandChosen(static_cast<Command>(command));
}
EMSCRIPTEN_KEEPALIVE void vantrelActivated(bool active) { midEnd().activated(active); }
EMSCRIPTEN_KEEPALIVE void vantrelAboutClosed() { midEnd().aboutClosed(); }
EMSCRIPTEN_KEEPALIVE void vantrelResized(int32_t width, int32_t height) { midEnd().resized({width, height}); }
EMSCRIPTEN_KEEPALIVE void vantrelExposed() { midEnd().exposed(); }
// The page's window has gone, then the end of the run, as after a window's
// loop: the exit code.
EMSCRIPTEN_KEEPALIVE void vantrelClosed() { midEnd().closed(); }
EMSCRIPTEN_KEEPALIVE int32_t vantrelFinished() { return finishProgram(midEnd(), pageWindow()); }

// The whole game state as JSON, for the page's tests to look at.
EMSCRIPTEN_KEEPALIVE const char* vantrelState() {
  static std::string line;
  line = stateLine();
  return line.c_str();
}

// Whether keys go to the name being typed: a finger then needs the
// on-screen keyboard.
EMSCRIPTEN_KEEPALIVE bool vantrelTakesName() { return gameState() == StateEnteringName; }

// Where the picture lies on the canvas, "left top right bottom", for the
// page's tests to look at.
EMSCRIPTEN_KEEPALIVE const char* vantrelPictureArea() {
  static std::string area;
  const Rect r = midEnd().pictureArea();
  area = std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
  return area.c_str();
}

// The menu and the About box, for the page to build its own.
EMSCRIPTEN_KEEPALIVE int32_t vantrelMenuSize() { return static_cast<int32_t>(menuTable().size()); }
EMSCRIPTEN_KEEPALIVE const char* vantrelMenuPopup(int32_t i) { return menuTable()[i].popup; }
EMSCRIPTEN_KEEPALIVE const char* vantrelMenuText(int32_t i) { return menuTable()[i].text; }
EMSCRIPTEN_KEEPALIVE int32_t vantrelMenuCommand(int32_t i) { return menuTable()[i].command; }
EMSCRIPTEN_KEEPALIVE const char* vantrelAboutText(int32_t i) {
  const AboutTexts& about = aboutTexts();
  return i == 0 ? about.caption : i <= 5 ? about.lines[i - 1] : about.button;
}

}  // extern "C"
