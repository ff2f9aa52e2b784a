// vantrel: the game in a Qt window.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/qt/game_window.h"
#include "platform/qt/options.h"
#include "scores/high_scores.h"
#include "shell/script.h"

namespace {

QtMessageHandler defaultHandler = nullptr;

// Ctrl+C or a polite kill closes the window as its close box would, so that
// a recording is complete.
volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) { stopRequested = 1; }

// A window that cannot be made (no display, no platform plugin) ends the
// program quietly with exit code 0, as every failure to start does.
void quietStartFailure(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) std::_Exit(0);
  if (defaultHandler) defaultHandler(type, context, message);
}

QStringList rawArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

int fail(const QString& message) {
  std::fprintf(stderr, "vantrel: %s\nTry 'vantrel --help' for more information.\n", qPrintable(message));
  return 2;
}

// Answers help, version and bad options at once, with no display needed: -1
// when the window is to be made.
int answerWithoutWindow(const ParsedCommandLine& parsed) {
  switch (parsed.action) {
    case ParsedCommandLine::ShowHelp: std::fputs(qPrintable(usageText()), stdout); return 0;
    case ParsedCommandLine::ShowVersion: std::fputs(qPrintable(versionText()), stdout); return 0;
    case ParsedCommandLine::Fail: return fail(parsed.error);
    case ParsedCommandLine::Run: return -1;
  }
  return -1;
}

QIcon gameIcon() {
  QIcon icon;
  for (const char* name : {"vantrel", "vantrel-16colours", "vantrel-mono"})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)), QSize(32, 32));
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  // Qt's own options (-platform and the like) are known only to Qt: a command
  // line using them is checked again once Qt has taken them off.
  const ParsedCommandLine early = parseCommandLine(rawArguments(argc, argv));
  if (!early.hasQtOptions) {
    if (const int exitCode = answerWithoutWindow(early); exitCode >= 0) return exitCode;
  }

  defaultHandler = qInstallMessageHandler(quietStartFailure);
  QApplication app(argc, argv);
  qInstallMessageHandler(defaultHandler);
  QApplication::setApplicationName(QStringLiteral("vantrel"));
  QApplication::setApplicationVersion(QStringLiteral("1.0"));
  QGuiApplication::setDesktopFileName(QStringLiteral("vantrel"));
  QApplication::setWindowIcon(gameIcon());

  const ParsedCommandLine parsed = parseCommandLine(QApplication::arguments());
  if (const int exitCode = answerWithoutWindow(parsed); exitCode >= 0) return exitCode;
  const Options& options = parsed.options;

  if (!options.hiscorePath.isEmpty()) setHighScorePath(options.hiscorePath.toStdString());
  std::unique_ptr<ScriptPlayback> script;
  if (!options.playPath.isEmpty()) {
    script = std::make_unique<ScriptPlayback>();
    if (!script->open(options.playPath.toStdString())) return fail(QString::fromStdString(script->error()));
  }
  std::FILE* record = nullptr;
  if (!options.recordPath.isEmpty()) {
    record = std::fopen(qPrintable(options.recordPath), "w");
    if (!record) return fail(QStringLiteral("cannot write %1: %2").arg(options.recordPath, std::strerror(errno)));
    setRecordStream(record);
  }

  GameWindow window(options.scale);
  if (script) window.play(std::move(script), options.screenshotPath);
  QObject::connect(&window, &GameWindow::finished, &app, &QCoreApplication::exit);
  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, &window, [&window] {
    if (stopRequested) window.close();
  });
  stopWatch.start(100);
  window.show();
  window.activateWindow();  // without a window manager nobody else gives the focus
  window.startTicking();
  const int exitCode = app.exec();

  if (record) {
    setRecordStream(nullptr);
    std::fclose(record);
  }
  return exitCode;
}
