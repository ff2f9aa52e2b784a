// The contracts' hooks for the Qt window: its surface, and the window driven
// by Qt's events.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "contract/contract.h"
#include "core/keys.h"
#include "platform/qt/game_window.h"
#include "platform/qt/text_painter.h"
#include "render/software_surface.h"

std::unique_ptr<DrawingSurface> makeSurface() { return std::make_unique<SoftwareSurface>(paintText); }

namespace {

class QtDriver final : public WindowDriver {
 public:
  explicit QtDriver(MidEnd& midEnd) : midEnd_(midEnd), window_(midEnd) {
    window_.show();
    QApplication::processEvents();
  }
  void tick() override { midEnd_.tick(); }  // what the timer's timeout does
  void choose(Command command) override { window_.action(command)->trigger(); }
  void pressCloseBox() override { window_.close(); }
  void movePointer(Point p) override { QTest::mouseMove(&window_.view(), QPoint(p.x, p.y)); }
  void resizeClient(Point size) override {
    window_.resize(window_.size() + QSize(size.x, size.y) - window_.view().size());
  }
  void expose() override { window_.view().repaint(); }
  void settle() override { QTest::qWait(100); }  // long enough for the paints Qt has queued
  bool isOpen() override { return window_.isVisible(); }
  void answerAbout(std::function<void()> during) override {
    QTimer::singleShot(0, [during] {
      during();
      QApplication::activeModalWidget()->findChild<QPushButton*>()->click();
    });
  }
  Point clientSize() override { return {window_.view().width(), window_.view().height()}; }
  void activate(bool active) override {
    QApplication::setActiveWindow(active ? &window_ : nullptr);
    QApplication::processEvents();
  }
  void minimise(bool minimised) override {
    minimised ? window_.showMinimized() : window_.showNormal();
    QApplication::processEvents();
  }
  // Letters have the same codes in Qt.
  void pressKey(int32_t key) override {
    QTest::keyClick(&window_.view(), key == KeyReturn ? Qt::Key_Return
                                     : key >= KeyF1   ? static_cast<Qt::Key>(Qt::Key_F1 + (key - KeyF1))
                                                      : static_cast<Qt::Key>(key));
  }
  std::string title() override { return window_.windowTitle().toStdString(); }
  bool isChecked(Command command) override { return window_.action(command)->isChecked(); }

 private:
  MidEnd& midEnd_;
  GameWindow window_;
};

}  // namespace

std::unique_ptr<WindowDriver> openWindow(MidEnd& midEnd) { return std::make_unique<QtDriver>(midEnd); }
