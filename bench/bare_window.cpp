// bare_window: the least a Qt Widgets game window is, for measure_window.sh
// to set the game beside: a main window with a menu bar and a 632x424
// picture in one colour, nothing read, nothing tuned.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>

namespace {

class Picture final : public QWidget {
 public:
  QSize sizeHint() const override { return {632, 424}; }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::darkGreen); }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setCentralWidget(new Picture);
  for (const char* title : {"&Game", "&Speed", "&View", "&Help"}) window.menuBar()->addMenu(title)->addAction("Item");
  window.show();
  return QApplication::exec();
}
