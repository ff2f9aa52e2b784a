// The game's top-level window: menu, timer, client area and the platform side
// of the game's window logic.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "platform/qt/game_view.h"
#include "shell/host.h"
#include "shell/playback.h"

class HelpViewer;

class GameWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // Creates the window and its game session (in name entry), not yet ticking.
  explicit GameWindow(int scale = 1);
  ~GameWindow() override;

  void startTicking();
  // One timer timeout: a tick for the game, or the next tick of a played script.
  void tick();
  // Plays the script instead of live input. When it ends, play goes on live;
  // with a screenshot path, the client image is saved there and the program
  // asked to end. A played Exit ends the program at once, after the screenshot.
  // Closing the window during play ends the program at once; with a
  // screenshot path still waiting, with exit code 1.
  void play(std::unique_ptr<ScriptPlayback> script, const std::string& screenshotPath);

  WindowHost& host();
  GameView& view() { return *view_; }
  QAction* action(uint16_t command) const;
  HelpViewer* helpViewer() const { return help_; }
  // The notice on screen, if any.
  QWidget* notice() const { return notice_; }

 signals:
  // The program is to end: the window was closed, or a played script asked.
  void finished(int exitCode);

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class Host;
  void buildMenu();
  void input(const WindowMessage& message);
  void endPlayback(ScriptPlayback::Outcome outcome);
  void showNotice(const QString& text);

  GameView* view_;
  std::unique_ptr<Host> host_;
  QTimer timer_;
  std::map<uint16_t, QAction*> actions_;
  std::unique_ptr<ScriptPlayback> script_;
  std::string screenshotPath_;
  HelpViewer* help_ = nullptr;
  QPointer<QWidget> notice_;
};
