// The window and surface contracts over the page, in headless Chromium: page.js loads this
// program in place of the game (index.html?contract) and runs it as it runs
// the game. The driver acts as the browser and its player: DOM events on the
// page's own elements, and each display frame's time given to the page's
// frame handler, the page's timer.
#include <emscripten.h>
#include <gtest/gtest.h>

#include <utility>

#include "contract.h"
#include "platform/web/page_window.h"
#include "shell/window_procedure.h"

namespace {

// The page's JavaScript, as the browser reads it.
// clang-format off
EM_JS(void, pageFrame, (double ms), { frame(ms); });
EM_JS(bool, pageRunning, (), { return running; });
EM_JS(bool, aboutOpen, (), { return document.getElementById("about").open; });
EM_JS(int, canvasSize, (bool height), {
  const canvas = document.getElementById("game");
  return height ? canvas.height : canvas.width;
});

// A point of the canvas in the canvas's own pixels, at the middle of that
// pixel wherever the page shows the canvas.
EM_JS(void, pointerTo, (int x, int y), {
  const canvas = document.getElementById("game"), box = canvas.getBoundingClientRect();
  const at = (p, edge, shown, pixels) => edge + ((p + 0.5) * shown) / pixels;
  canvas.dispatchEvent(new PointerEvent("pointermove", {
    bubbles : true,
    pointerType : "mouse",
    clientX : at(x, box.left, box.width, canvas.width),
    clientY : at(y, box.top, box.height, canvas.height),
  }));
});

// Pressed on the item's pop-up title, let go over the item.
EM_JS(void, chooseItem, (int command), {
  const item = menu.items.get(command).element;
  const title = item.closest(".popup").querySelector(".title");
  const press = (element, kind) =>
    element.dispatchEvent(new PointerEvent(kind, {bubbles: true, button: 0, pointerType: "mouse"}));
  press(title, "pointerdown");
  press(item, "pointerup");
});

EM_JS(void, focusPage, (bool focused), { window.dispatchEvent(new FocusEvent(focused ? "focus" : "blur")); });
EM_JS(void, pageTitle, (char* out, int size), { stringToUTF8(document.title, out, size); });
// A hidden page is the page's minimised window.
EM_JS(void, hidePage, (bool hidden), {
  Object.defineProperty(document, "hidden", {value : hidden, configurable : true});
  document.dispatchEvent(new Event("visibilitychange"));
});
EM_JS(void, keyDown, (int code), {
  let key = String.fromCharCode(code).toLowerCase();
  if (code == 13) key = "Enter";
  if (code >= 112) key = "F" + (code - 111);
  document.getElementById("game").dispatchEvent(new KeyboardEvent("keydown", {key : key, bubbles : true}));
});
EM_JS(bool, itemChecked, (int command), { return menu.items.get(command).element.classList.contains("checked"); });
EM_JS(void, closeTab, (), { window.dispatchEvent(new PageTransitionEvent("pagehide", {persisted : false})); });
EM_JS(void, loseCanvas, (), { document.getElementById("game").dispatchEvent(new Event("contextrestored")); });

// What the page does in the tasks and frames to come: posted closes, and a
// dialog's close.
EM_ASYNC_JS(void, settlePage, (), {
  for (let i = 0; i < 3; i++) await new Promise((done) => setTimeout(done));
});
EM_ASYNC_JS(void, closeAbout, (), {
  const about = document.getElementById("about");
  const closed = new Promise((done) => about.addEventListener("close", done, {once : true}));
  document.getElementById("about-ok").click();
  await closed;
});
// The stage the page fits the canvas to, in CSS pixels (one to a device
// pixel here); the page fits it from its resize observer, before the frame
// after it is drawn.
EM_ASYNC_JS(void, sizeStage, (int width, int height), {
  const stage = document.getElementById("stage");
  stage.style.flex = "none";
  stage.style.width = width + "px";
  stage.style.height = height + "px";
  await new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
});
EM_ASYNC_JS(void, tableRead, (), {
  while (!window.vantrelTableRead) await new Promise((done) => setTimeout(done, 10));
});

// clang-format on

class PageDriver final : public WindowDriver {
 public:
  explicit PageDriver(MidEnd& midEnd) {
    tableRead();  // the page's frames wait for it
    sizeStage(clientWidth, clientHeight);
    pageWindow().openWindow(midEnd);
    pageFrame(now_);  // the clock starts
  }
  ~PageDriver() override {
    if (pageRunning()) closeTab();
  }
  void tick() override {
    pageFrame(now_ += timerPeriodMs);
    answer();
  }
  void choose(Command command) override {
    chooseItem(command);
    answer();
  }
  void pressCloseBox() override { closeTab(); }
  void movePointer(Point p) override { pointerTo(p.x, p.y); }
  void resizeClient(Point size) override { sizeStage(size.x, size.y); }
  void expose() override { loseCanvas(); }
  void settle() override { settlePage(); }
  bool isOpen() override { return pageRunning(); }
  void answerAbout(std::function<void()> during) override { during_ = std::move(during); }
  Point clientSize() override { return {canvasSize(false), canvasSize(true)}; }
  void activate(bool active) override { focusPage(active); }
  void minimise(bool minimised) override { hidePage(minimised); }
  void pressKey(int32_t key) override { keyDown(key); }
  bool isChecked(Command command) override { return itemChecked(command); }
  std::string title() override {
    char text[64];
    pageTitle(text, sizeof text);
    return text;
  }

 private:
  // The page's About box lets the game go on: once it is up, the player
  // does what the case asks and closes it.
  void answer() {
    if (!during_ || !aboutOpen()) return;
    std::exchange(during_, nullptr)();
    closeAbout();
  }

  double now_ = 0;
  std::function<void()> during_;
};

EM_JS(void, reportResult, (int failed), { window.vantrelContractFailed = failed; });

}  // namespace

std::unique_ptr<DrawingSurface> makeSurface() { return std::make_unique<SoftwareSurface>(paintText); }
std::unique_ptr<WindowDriver> openWindow(MidEnd& midEnd) { return std::make_unique<PageDriver>(midEnd); }

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int failed = RUN_ALL_TESTS();
  reportResult(failed);
  return failed;
}
