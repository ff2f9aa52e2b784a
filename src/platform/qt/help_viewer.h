// The game's own help: pages compiled into the program, shown in a window of
// their own beside the game.
#pragma once
#include <QDialog>

class QTextBrowser;

class HelpViewer final : public QDialog {
  Q_OBJECT

 public:
  explicit HelpViewer(QWidget* parent);
  void showContents();
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};
