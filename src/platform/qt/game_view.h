// The client area: shows the client image and turns pointer, keyboard and
// paint events into the mid-end's calls.
#pragma once
#include <QCursor>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include "platform/qt/text_painter.h"
#include "render/software_surface.h"
#include "shell/midend.h"

class GameView final : public QWidget {
  Q_OBJECT

 public:
  GameView(MidEnd& midEnd, QWidget* parent);

  SoftwareSurface& surface() { return surface_; }
  // The client image, over the surface's own pixels.
  QImage image();
  // Shows the window area's pixels: painted from the image when Qt next paints.
  void showPixels(const QRect& windowArea);
  void setShape(CursorShape shape);
  void setCursorShown(bool shown);
  QSize sizeHint() const override;

 signals:
  // The first picture is painted and on its way to the screen: what it did
  // not need may follow.
  void firstPainted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key like any other

 private:
  void applyCursor();

  MidEnd& midEnd_;
  SoftwareSurface surface_{paintText};
  QRegion shown_;          // what the mid-end asked to show and Qt has not yet painted
  QCursor batZoneCursor_;  // transparent: in the bat zone the bat stands for the pointer
  CursorShape shape_ = CursorArrow;
  bool cursorShown_ = true;
  bool painted_ = false;
};
