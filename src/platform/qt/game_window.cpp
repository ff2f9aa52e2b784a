#include "platform/qt/game_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QInputDevice>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QScreen>
#include <cstdio>

#include "platform/qt/about_dialog.h"
#include "platform/qt/help_viewer.h"
#include "shell/tables.h"
#include "shell/window_layout.h"
#include "shell/window_procedure.h"

namespace {

constexpr int iconSizes[] = {16, 32, 48, 64, 128, 256};

// Without Alt navigation the menu bar holds the keyboard only while one of its
// menus is open: after Escape or a lone Alt, letters, arrows, Enter and Space
// go to the game instead of to an unmarked menu bar. Mnemonics such as Alt+G
// still open their menus.
class MenuBarStyle final : public QProxyStyle {
 public:
  // The application's own style, also where -style chose it.
  MenuBarStyle() : QProxyStyle(QApplication::style()->name()) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_MenuBar_AltKeyNavigation) return 0;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

}  // namespace

void tellPlayer(const std::string& text, bool error) { std::fputs(text.c_str(), error ? stderr : stdout); }

QIcon gameIcon() {
  QIcon icon;
  for (const int size : iconSizes) icon.addFile(QStringLiteral(":/icons/vantrel-%1.png").arg(size), QSize(size, size));
  return icon;
}

// The mid-end's front end in Qt's terms.
class GameWindow::QtFrontEnd final : public FrontEnd {
 public:
  explicit QtFrontEnd(GameWindow& window) : w_(window) {}

  void showPixels(const Rect&, const Rect& a) override {
    w_.view_->showPixels(QRect(a.left, a.top, a.right - a.left, a.bottom - a.top));
  }
  void setCursor(CursorShape shape) override { w_.view_->setShape(shape); }
  void setMenuCheck(Command command, bool checked) override {
    if (QAction* a = w_.action(command)) {
      a->setCheckable(true);
      a->setChecked(checked);
    }
  }
  void setTitle(const char* title) override { w_.setWindowTitle(QString::fromLatin1(title)); }
  void postClose() override { QMetaObject::invokeMethod(&w_, &QWidget::close, Qt::QueuedConnection); }
  void endProgram() override { w_.close(); }
  bool showAbout() override {
    AboutDialog(&w_).exec();
    // Without a window manager nobody gives the focus back.
    w_.activateWindow();
    takeFocus();
    return false;
  }
  void openHelp(const char*) override {
    if (!w_.help_) w_.help_ = new HelpViewer(&w_);
    w_.help_->showContents();
  }
  void toggleFullScreen() override { w_.setWindowState(w_.windowState() ^ Qt::WindowFullScreen); }
  void warpCursor(Point p) override { QCursor::setPos(w_.view_->mapToGlobal(QPoint(p.x, p.y))); }
  // No captureMouse: Qt already sends every pointer event to the widget while
  // a button is held.
  bool isMinimised() override { return w_.isMinimized(); }
  bool mousePresent() override {
    for (const QInputDevice* d : QInputDevice::devices()) {
      if (d->type() == QInputDevice::DeviceType::Mouse || d->type() == QInputDevice::DeviceType::TouchPad) return true;
    }
    return false;
  }
  void showCursor(bool shown) override { w_.view_->setCursorShown(shown); }
  void takeFocus() override { w_.view_->setFocus(Qt::ActiveWindowFocusReason); }
  void showNotice(const char* text) override { w_.showNotice(QString::fromLocal8Bit(text)); }
  void tell(const std::string& text, bool error) override { tellPlayer(text, error); }

 private:
  GameWindow& w_;
};

GameWindow::GameWindow(MidEnd& midEnd)
    : midEnd_(midEnd), view_(new GameView(midEnd, this)), frontEnd_(std::make_unique<QtFrontEnd>(*this)) {
  setCentralWidget(view_);
  buildMenu();
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(timerPeriodMs);
  // A late timeout is not made up: missed ticks are dropped, as the game expects.
  connect(&timer_, &QTimer::timeout, this, [this] { midEnd_.tick(); });
  // The client area gets its size and the window wraps it; left to itself Qt
  // would shrink a large first window to fit two thirds of the screen.
  resize(sizeHint());
  midEnd_.create(*frontEnd_, view_->surface(), midEnd_.openingClientSize());
  view_->setFocus();
}

GameWindow::~GameWindow() = default;

FrontEnd& GameWindow::frontEnd() { return *frontEnd_; }

QAction* GameWindow::action(uint16_t command) const {
  const auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

void GameWindow::buildMenu() {
  auto* style = new MenuBarStyle;
  style->setParent(menuBar());
  menuBar()->setStyle(style);
  QMenu* popup = nullptr;
  for (const MenuEntry& entry : menuTable()) {
    if (entry.popup) popup = menuBar()->addMenu(QString::fromLatin1(entry.popup));
    if (!entry.text) {
      popup->addSeparator();
      continue;
    }
    QAction* a = popup->addAction(QString::fromLatin1(entry.text));
    const Command command = entry.command;
    actions_[command] = a;
    connect(a, &QAction::triggered, this, [this, a, command] {
      // Qt has just flipped the check mark; only the game moves it.
      if (a->isCheckable()) a->setChecked(!a->isChecked());
      midEnd_.commandChosen(command);
    });
  }
  for (uint16_t speed : {CommandSlow, CommandNormal, CommandFast, CommandSonic}) actions_[speed]->setCheckable(true);
  actions_[CommandFullScreen]->setShortcut(Qt::Key_F11);  // the window's key, before the game sees it
}

// The room is the screen's less the menu bar and a title bar, whose height
// the window manager only tells once the window is shown.
void GameWindow::fitScreen() {
  const QSize around = sizeHint() - view_->sizeHint();
  const QSize room =
      screen()->availableGeometry().size() - around - QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
  midEnd_.fitScreen({room.width(), room.height()});
  const Point client = midEnd_.openingClientSize();
  resize(around + QSize(client.x, client.y));
}

void GameWindow::startTicking() { timer_.start(); }

// A box beside the game that waits for nobody: it takes neither the keyboard
// nor the timer, and goes when its button is pressed, or by Enter or Escape
// once the player has clicked it. It stands right of the window, else left
// of it, below or above it, where the screen has room, so that it hides
// nothing of the game (see window_layout.h).
void GameWindow::showNotice(const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(), QMessageBox::Ok, this);
  box->setTextFormat(Qt::PlainText);  // a folder's name may look like markup
  box->setText(text);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  box->setWindowModality(Qt::NonModal);
  box->setEscapeButton(QMessageBox::Ok);
  box->adjustSize();
  const auto rect = [](const QRect& r) { return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; };
  const Point place =
      noticePlace(rect(screen()->availableGeometry()), rect(frameGeometry()), {box->width(), box->height()});
  box->move(place.x, place.y);
  box->show();
  notice_ = box;
}

void GameWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) midEnd_.activated(isActiveWindow());
  QMainWindow::changeEvent(event);
}

void GameWindow::closeEvent(QCloseEvent* event) {
  timer_.stop();
  if (help_) help_->close();
  event->accept();
  midEnd_.closed();
  emit finished();
}
