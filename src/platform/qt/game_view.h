// The client area: shows the off-screen image and turns pointer and keyboard
// events into the game's window messages.
#pragma once
#include <QCursor>
#include <QImage>
#include <QWidget>

#include "platform/qt/image_surface.h"
#include "shell/host.h"
#include "shell/script.h"
#include "shell/window.h"

class GameView final : public QWidget {
  Q_OBJECT

 public:
  // Every game pixel is shown as scale by scale screen pixels.
  explicit GameView(int scale, QWidget* parent = nullptr);

  Rect clientRect() const { return {0, 0, image_.width(), image_.height()}; }
  ImageSurface& surface() { return surface_; }
  // The image with everything drawn so far.
  const QImage& image() {
    surface_.flush();
    return image_;
  }
  // Shows what changed inside the area since it was last shown.
  void present(const Rect& area);
  void setShape(CursorShape shape);
  void setCursorShown(bool shown);
  QPoint toGlobal(int32_t x, int32_t y) const;
  QSize sizeHint() const override;

 signals:
  void input(const WindowMessage& message);
  // The image was made anew at a new client size and must be painted whole.
  void needsPaint();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key like any other

 private:
  QPoint gamePoint(const QMouseEvent& event) const;
  void applyCursor();

  int scale_;
  QCursor batZoneCursor_;  // transparent: in the bat zone the bat stands for the pointer
  QImage image_;
  ImageSurface surface_{image_};
  CursorShape shape_ = CursorArrow;
  bool cursorShown_ = true;
};
