#include "platform/qt/options.h"

#include <QCommandLineParser>
#include <algorithm>

namespace {

constexpr int largestScale = 8;

// The options QApplication takes off the command line itself.
bool isQtOption(const QString& name) {
  static const QStringList names = {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                    "qwindowicon", "qwindowtitle", "reverse", "session", "style", "stylesheet",
                                    "widgetcount", "display", "geometry", "name", "title", "visual", "ncols",
                                    "cmap", "nograb", "dograb", "sync", "qmljsdebugger"};
  return names.contains(name);
}

}  // namespace

QString usageText() {
  return QStringLiteral(
      "Usage: vantrel [OPTION]...\n"
      "Vantrel, a block-breaking game: keep the ball in play with the bat and clear\n"
      "twelve levels of blocks.\n"
      "\n"
      "  --hiscore PATH     keep the high-score table in PATH (default: hiscore.txt\n"
      "                     in the working directory)\n"
      "  --record FILE      write everything the game is given to FILE as a script\n"
      "                     that vantrel-sim and --play can replay\n"
      "  --play FILE        play the script FILE in the window at the normal pace;\n"
      "                     its 'state' lines print the game state; afterwards play\n"
      "                     goes on live\n"
      "  --screenshot FILE  with --play: save the client area to FILE as PNG when\n"
      "                     the script ends, and quit\n"
      "  --scale N          show every game pixel as N by N screen pixels (1 to 8)\n"
      "  -h, --help         show this help and quit\n"
      "  --version          show the version and quit\n");
}

QString versionText() { return QStringLiteral("vantrel 1.0\n"); }

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{"h", "help"}), version("version");
  const QCommandLineOption hiscore("hiscore", {}, "PATH"), record("record", {}, "FILE"), play("play", {}, "FILE"),
      screenshot("screenshot", {}, "FILE"), scale("scale", {}, "N");
  parser.addOptions({help, version, hiscore, record, play, screenshot, scale});

  ParsedCommandLine result{ParsedCommandLine::Fail, {}, {}};
  if (!parser.parse(arguments)) {
    result.error = parser.errorText();
    const QStringList unknown = parser.unknownOptionNames();
    result.hasQtOptions = !unknown.isEmpty() && std::all_of(unknown.begin(), unknown.end(), isQtOption);
    return result;
  }
  if (parser.isSet(help)) return {ParsedCommandLine::ShowHelp, {}, {}};
  if (parser.isSet(version)) return {ParsedCommandLine::ShowVersion, {}, {}};
  if (!parser.positionalArguments().isEmpty()) {
    result.error = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    return result;
  }
  for (const QCommandLineOption* o : {&hiscore, &record, &play, &screenshot, &scale}) {
    if (parser.values(*o).size() > 1) {
      result.error = QStringLiteral("--%1 given more than once").arg(o->names().first());
      return result;
    }
    if (parser.isSet(*o) && parser.value(*o).isEmpty()) {
      result.error = QStringLiteral("--%1 needs a value").arg(o->names().first());
      return result;
    }
  }
  Options& o = result.options;
  o.hiscorePath = parser.value(hiscore);
  o.recordPath = parser.value(record);
  o.playPath = parser.value(play);
  o.screenshotPath = parser.value(screenshot);
  if (parser.isSet(scale)) {
    bool ok = false;
    o.scale = parser.value(scale).toInt(&ok);
    if (!ok || o.scale < 1 || o.scale > largestScale) {
      result.error = QStringLiteral("--scale takes a whole number from 1 to %1, not '%2'")
                         .arg(largestScale)
                         .arg(parser.value(scale));
      return result;
    }
  }
  if (!o.screenshotPath.isEmpty() && o.playPath.isEmpty()) {
    result.error = QStringLiteral("--screenshot needs --play");
    return result;
  }
  result.action = ParsedCommandLine::Run;
  return result;
}
