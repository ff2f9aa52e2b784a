// The game's top-level window: menu, timer, client area, and the Qt side of
// the mid-end.
#pragma once
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "platform/qt/game_view.h"
#include "shell/midend.h"

class HelpViewer;

// The game's colour icon at every size the desktop installs, 16 to 256.
QIcon gameIcon();

// A whole message for the player, on standard output or error: the program's
// and the window's alike.
void tellPlayer(const std::string& text, bool error);

class GameWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // Creates the window and the mid-end's game (in name entry), not yet ticking.
  explicit GameWindow(MidEnd& midEnd);
  ~GameWindow() override;

  // Lowers a scale too large for the screen, saying so: before the window shows.
  void fitScreen();
  void startTicking();

  FrontEnd& frontEnd();
  GameView& view() { return *view_; }
  QAction* action(uint16_t command) const;
  HelpViewer* helpViewer() const { return help_; }
  // The notice on screen, if any.
  QWidget* notice() const { return notice_; }

 signals:
  // The window has closed: the loop is to end (the mid-end keeps the exit code).
  void finished();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class QtFrontEnd;
  void buildMenu();
  void showNotice(const QString& text);

  MidEnd& midEnd_;
  GameView* view_;
  std::unique_ptr<QtFrontEnd> frontEnd_;
  QTimer timer_;
  std::map<uint16_t, QAction*> actions_;
  HelpViewer* help_ = nullptr;
  QPointer<QWidget> notice_;
};
