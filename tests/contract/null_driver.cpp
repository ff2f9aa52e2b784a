// The window contract over the null front end: the mid-end with no window,
// as vantrel-sim runs it, over a surface with pixels and no text. What a
// window would show (the title, the check marks) is kept for the cases to
// look at, and the client area is never smaller than the picture, as no
// window's is.
#include <algorithm>
#include <map>
#include <utility>

#include "contract.h"
#include "render/software_surface.h"
#include "shell/null_front_end.h"
#include "shell/window_procedure.h"

namespace {

class NullWindow final : public NullFrontEnd {
 public:
  MidEnd* midEnd = nullptr;
  bool open = true, posted = false, minimised = false;
  std::string title;
  std::map<Command, bool> checks;
  std::function<void()> duringAbout;

  void setTitle(const char* text) override { title = text; }
  void setMenuCheck(Command command, bool checked) override { checks[command] = checked; }
  void postClose() override { posted = true; }
  void endProgram() override { close(); }
  bool showAbout() override {
    if (duringAbout) std::exchange(duringAbout, nullptr)();
    return false;
  }
  bool isMinimised() override { return minimised; }
  void close() {
    if (!open) return;
    open = false;
    midEnd->closed();
  }
};

class NullDriver final : public WindowDriver {
 public:
  explicit NullDriver(MidEnd& midEnd) : midEnd_(midEnd), client_(midEnd.openingClientSize()) {
    window_.midEnd = &midEnd;
    midEnd.create(window_, surface_, client_);
  }
  void tick() override { midEnd_.tick(); }
  void choose(Command command) override { midEnd_.commandChosen(command); }
  void pressCloseBox() override { window_.close(); }
  void movePointer(Point p) override { midEnd_.pointerMoved(p); }
  void resizeClient(Point size) override {
    client_ = {std::max(size.x, clientWidth), std::max(size.y, clientHeight)};
    midEnd_.resized(client_);
  }
  void expose() override { midEnd_.exposed(); }
  void settle() override {
    if (std::exchange(window_.posted, false)) window_.close();
  }
  bool isOpen() override { return window_.open; }
  void answerAbout(std::function<void()> during) override { window_.duringAbout = std::move(during); }
  Point clientSize() override { return client_; }
  void activate(bool active) override { midEnd_.activated(active); }
  void minimise(bool minimised) override { window_.minimised = minimised; }
  void pressKey(int32_t virtualKey) override { midEnd_.keyPressed(virtualKey); }
  std::string title() override { return window_.title; }
  bool isChecked(Command command) override { return window_.checks[command]; }

 private:
  MidEnd& midEnd_;
  NullWindow window_;
  SoftwareSurface surface_{
      [](uint32_t*, int32_t, int32_t, const Rect&, const Rect&, std::string_view, TextAlign, const Font&, Color) {}};
  Point client_;
};

}  // namespace

std::unique_ptr<WindowDriver> openWindow(MidEnd& midEnd) { return std::make_unique<NullDriver>(midEnd); }
