#include "platform/qt/game_view.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include "platform/qt/key_map.h"

GameView::GameView(int scale, QWidget* parent)
    : QWidget(parent),
      scale_(scale),
      batZoneCursor_(QPixmap(QStringLiteral(":/cursors/blank.png")), 0, 0),
      image_(clientWidth, clientHeight, QImage::Format_RGB32) {
  image_.fill(Qt::black);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the image
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(scale_, scale_);
  applyCursor();
}

QSize GameView::sizeHint() const { return QSize(clientWidth, clientHeight) * scale_; }

// The surface tells which places a frame changed: of a field frame only the
// ball, the bat and a block or two, and only those go to the screen.
void GameView::present(const Rect& area) {
  const QRect r(area.left, area.top, area.right - area.left, area.bottom - area.top);
  for (const QRect& changed : surface_.takeWritten(r))
    update(QRect(changed.topLeft() * scale_, changed.size() * scale_));
}

QPoint GameView::toGlobal(int32_t x, int32_t y) const { return mapToGlobal(QPoint(x * scale_, y * scale_)); }

// Only shows the image: painting the game here would advance the fades at
// every exposure.
void GameView::paintEvent(QPaintEvent* event) {
  surface_.flush();
  QPainter painter(this);
  if (scale_ == 1) {
    for (const QRect& r : event->region()) painter.drawImage(r, image_, r);
    return;
  }
  painter.fillRect(event->rect(), Qt::black);  // the strip beyond the last whole game pixel
  painter.scale(scale_, scale_);
  const QRect r = event->rect();
  const QRect source(r.left() / scale_, r.top() / scale_, r.width() / scale_ + 2, r.height() / scale_ + 2);
  painter.drawImage(source, image_, source);
}

void GameView::resizeEvent(QResizeEvent*) {
  const QSize client(width() / scale_, height() / scale_);  // whole game pixels only
  if (client == image_.size()) return;
  image_ = QImage(client, QImage::Format_RGB32);
  image_.fill(Qt::black);
  emit needsPaint();
}

void GameView::showEvent(QShowEvent*) { emit needsPaint(); }

QPoint GameView::gamePoint(const QMouseEvent& event) const {
  const QPointF p = event.position() / scale_;
  return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

void GameView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = gamePoint(*event);
  emit input({MessageMove, p.x(), p.y()});
}

// While the button is held Qt sends every pointer event here, also from
// outside the widget: the capture the game asks for.
void GameView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit input({MessageDown, 0, 0});
}

void GameView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = gamePoint(*event);
  emit input({MessageUp, p.x(), p.y()});
}

// Auto-repeated presses are key-downs too; releases mean nothing to the game.
void GameView::keyPressEvent(QKeyEvent* event) {
  const int32_t code = virtualKeyOf(*event);
  if (code == 0) return QWidget::keyPressEvent(event);
  emit input({MessageKey, code, 0});
}

void GameView::setShape(CursorShape shape) {
  if (shape == shape_) return;
  shape_ = shape;
  applyCursor();
}

void GameView::setCursorShown(bool shown) {
  if (shown == cursorShown_) return;
  cursorShown_ = shown;
  applyCursor();
}

void GameView::applyCursor() {
  if (!cursorShown_) return setCursor(Qt::BlankCursor);
  switch (shape_) {
    case CursorField: setCursor(Qt::CrossCursor); break;
    case CursorBatZone: setCursor(batZoneCursor_); break;
    default: setCursor(Qt::ArrowCursor); break;
  }
}
