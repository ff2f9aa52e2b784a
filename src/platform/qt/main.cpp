// vantrel: the game in a Qt window.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/game_window.h"
#include "platform/qt/quick_start.h"
#include "platform/qt/stop_signals.h"
#include "shell/front_end.h"
#include "shell/midend.h"
#include "version.h"

namespace {

// The options QApplication takes off the command line itself.
bool isQtOption(std::string name) {
  name.erase(0, name.find_first_not_of('-'));
  static const std::vector<std::string> names = {"platform",
                                                 "platformpluginpath",
                                                 "platformtheme",
                                                 "plugin",
                                                 "qwindowgeometry",
                                                 "qwindowicon",
                                                 "qwindowtitle",
                                                 "reverse",
                                                 "session",
                                                 "style",
                                                 "stylesheet",
                                                 "widgetcount",
                                                 "display",
                                                 "geometry",
                                                 "name",
                                                 "title",
                                                 "visual",
                                                 "ncols",
                                                 "cmap",
                                                 "nograb",
                                                 "dograb",
                                                 "sync",
                                                 "qmljsdebugger"};
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool leftToQt(const CommandLine& parsed) {
  const std::vector<std::string>& unknown = parsed.unknownOptions;
  return std::any_of(unknown.begin(), unknown.end(), isQtOption);
}

// What Qt says while the application is made is held back: when no window can
// be made, one line says why instead of Qt's half-sentences.
QtMessageHandler defaultHandler = nullptr;
std::vector<std::pair<QtMsgType, QString>> heldMessages;

bool platformChosen = false;  // -platform or QT_QPA_PLATFORM: Qt's own words say more

void holdStartMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    heldMessages.emplace_back(type, message);
    return;
  }
  const QString display = qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
  if (platformChosen) {
    // The first thing Qt said names the cause; its fatal line only gives up.
    const QString cause = heldMessages.empty() ? message : heldMessages.front().second;
    std::fprintf(stderr, "vantrel: cannot open the window: %s\n", qPrintable(cause.section('\n', 0, 0)));
  } else if (display.isEmpty()) {
    std::fputs("vantrel: no display to open the window on; vantrel-sim plays scripts without one\n", stderr);
  } else {
    std::fprintf(stderr, "vantrel: cannot open the display %s; vantrel-sim plays scripts without one\n",
                 qPrintable(display));
  }
  std::_Exit(1);
}

void releaseStartMessages() {
  qInstallMessageHandler(defaultHandler);
  for (const auto& [type, message] : heldMessages) {
    if (defaultHandler) defaultHandler(type, QMessageLogContext(), message);
  }
  heldMessages.clear();
}

constexpr int iconDelayMs = 100;

// The Qt side of the program: the window and the event loop.
class QtPlatform final : public Platform {
 public:
  void tell(const std::string& text, bool error) override { tellPlayer(text, error); }
  bool openWindow(MidEnd& midEnd) override {
    window_ = std::make_unique<GameWindow>(midEnd);
    GameWindow* window = window_.get();
    QObject::connect(window, &GameWindow::finished, qApp, &QCoreApplication::quit);
    onStopSignal(window, [window] { window->close(); });
    // The icon, pictures from 16 to 256 pixels, is read and sent once the
    // first picture is shown and the desktop has shown the window: the
    // player sees the game that much sooner.
    QObject::connect(&window->view(), &GameView::firstPainted, window, [window] {
      QTimer::singleShot(iconDelayMs, window, [] { QApplication::setWindowIcon(gameIcon()); });
    });
    window->fitScreen();
    window->show();
    window->activateWindow();  // without a window manager nobody else gives the focus
    window->startTicking();
    return true;
  }
  void runLoop() override {
    QApplication::exec();
    window_.reset();  // while the application still stands
  }

 private:
  std::unique_ptr<GameWindow> window_;
};

}  // namespace

int main(int argc, char** argv) {
  QtPlatform platform;
  // Help, version and bad options are answered with no display needed. Qt's
  // own options (-platform and the like) are known only to Qt: a command line
  // using them is checked again once Qt has taken them off.
  const CommandLine early = parseCommandLine(argc, argv);
  if (!leftToQt(early) && early.action != CommandLine::Run) return runProgram(early, platform);

  const auto given = [&early](const char* option) {
    return std::count(early.unknownOptions.begin(), early.unknownOptions.end(), option) > 0;
  };
  platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || given("-platform");
  defaultHandler = qInstallMessageHandler(holdStartMessage);
  leanStart();
  StartAhead startAhead(platformChosen || given("-platformpluginpath"));
  QApplication app(argc, argv);
  releaseStartMessages();
  // The platform's plug-ins are loaded, and the style (-style may name one
  // from a plug-in). The game's pictures and Qt's own are PNG, which Qt reads
  // itself; left to look, it would load every image plug-in there is to ask
  // each whether it reads them.
  QApplication::style();
  QCoreApplication::setLibraryPaths({});
  // The window's class (WM_CLASS) is the application name: the desktop id, so
  // that a shell links the window to its launcher.
  QApplication::setApplicationName(QStringLiteral("org.vantrel.vantrel"));
  QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vantrel.vantrel"));
  QApplication::setQuitOnLastWindowClosed(false);  // the window says when and with which exit code
  startAhead.finish();
  return runProgram(parseCommandLine(argc, argv), platform);
}
