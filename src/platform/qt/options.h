// The command line of the game's window.
#pragma once
#include <QString>
#include <QStringList>

struct Options {
  QString hiscorePath, recordPath, playPath, screenshotPath;
  int scale = 1;
};

struct ParsedCommandLine {
  enum Action { Run, ShowHelp, ShowVersion, Fail } action;
  Options options;
  QString error;  // set for Fail
  bool hasQtOptions = false;  // options only QApplication knows, such as -platform
};

// The arguments as QCoreApplication::arguments() gives them, program name first.
ParsedCommandLine parseCommandLine(const QStringList& arguments);
QString usageText();
QString versionText();
