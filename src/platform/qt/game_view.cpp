#include "platform/qt/game_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <cmath>

#include "platform/qt/key_map.h"
#include "shell/window_layout.h"

namespace {

// Window pixels as whole ones: Qt's positions may carry fractions.
Point windowPoint(const QMouseEvent& event) {
  const QPointF p = event.position();
  return {int32_t(std::floor(p.x())), int32_t(std::floor(p.y()))};
}

}  // namespace

GameView::GameView(MidEnd& midEnd, QWidget* parent)
    : QWidget(parent), midEnd_(midEnd), batZoneCursor_(QPixmap(QStringLiteral(":/cursors/blank.png")), 0, 0) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the image
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(clientWidth, clientHeight);  // one game pixel to a pixel at the least
  applyCursor();
}

QImage GameView::image() {
  const PixelImage p = surface_.image();
  return QImage(reinterpret_cast<const uchar*>(p.pixels), p.width, p.height, p.stride * 4, QImage::Format_RGB32);
}

QSize GameView::sizeHint() const {
  const Point size = midEnd_.openingClientSize();
  return QSize(size.x, size.y);
}

void GameView::showPixels(const QRect& windowArea) {
  shown_ += windowArea;
  update(windowArea);
}

// A paint that only shows frames the game presented draws from the image.
// Any other is an exposure: the window lost what it showed there, and it is
// painted anew through the paint handler first (see Repaints in
// docs/behaviour.md).
void GameView::paintEvent(QPaintEvent* event) {
  const bool exposure = !(event->region() - shown_).isEmpty();
  shown_ -= event->region();
  if (exposure) midEnd_.exposed();  // what it shows is painted now, and once more when Qt next paints
  QPainter painter(this);
  const Rect picture = midEnd_.pictureArea();
  const QRect area(picture.left, picture.top, picture.right - picture.left, picture.bottom - picture.top);
  for (const Rect& b : bordersAround({0, 0, width(), height()}, picture))
    painter.fillRect(QRect(b.left, b.top, b.right - b.left, b.bottom - b.top), Qt::black);
  // Only the game pixels under what Qt asks for are drawn: a frame changes a few.
  const int scale = midEnd_.scale();
  const QImage image = this->image();
  painter.translate(area.topLeft());
  painter.scale(scale, scale);
  for (const QRect& r : event->region() & area) {
    const QRect local = r.translated(-area.topLeft());
    const QRect source(QPoint(local.left() / scale, local.top() / scale),
                       QPoint(local.right() / scale, local.bottom() / scale));
    painter.drawImage(source.topLeft(), image, source);
  }
  if (!painted_) {
    painted_ = true;
    QTimer::singleShot(0, this, &GameView::firstPainted);  // once the paint is over
  }
}

void GameView::resizeEvent(QResizeEvent*) { midEnd_.resized({width(), height()}); }

// The bat a motion moved is painted before the next event is read, not when
// the event loop next gets round to painting: the hand sees it at once. Qt
// hands over at most one motion a loop pass, so this is one paint a pass.
void GameView::mouseMoveEvent(QMouseEvent* event) {
  midEnd_.pointerMoved(windowPoint(*event));
  if (!shown_.isEmpty()) repaint(shown_);
}

// While the button is held Qt sends every pointer event here, also from
// outside the widget: the capture the game asks for.
void GameView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) midEnd_.buttonPressed();
}

void GameView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) midEnd_.buttonReleased(windowPoint(*event));
}

// Auto-repeated presses are key-downs too; releases mean nothing to the game.
void GameView::keyPressEvent(QKeyEvent* event) {
  const int32_t code = virtualKeyOf(*event);
  if (code == 0) return QWidget::keyPressEvent(event);
  midEnd_.keyPressed(code);
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
