#include "platform/qt/image_surface.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "platform/qt/fonts.h"

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
QRgb toQRgb(Color c) { return qRgb(c.r, c.g, c.b); }

// Adds the place to the list, joined with every place it overlaps or touches:
// the old and new spots of the ball become one place, drawn once.
void addPlace(std::vector<QRect>& places, QRect place) {
  if (place.isEmpty()) return;
  for (auto it = places.begin(); it != places.end();) {
    if (!it->adjusted(-1, -1, 1, 1).intersects(place)) {
      ++it;
      continue;
    }
    place |= *it;
    places.erase(it);
    it = places.begin();
  }
  places.push_back(place);
}

}  // namespace

bool ImageSurface::Operation::operator==(const Operation& o) const {
  return kind == o.kind && rect == o.rect && colour == o.colour && rim == o.rim && text == o.text && align == o.align &&
         font.height == o.font.height && font.weight == o.font.weight &&
         (font.face == o.font.face || (font.face && o.font.face && std::strcmp(font.face, o.font.face) == 0));
}

void ImageSurface::setClip(const Rect& clip) {
  flush();
  clip_ = toQRect(clip).intersected(image_.rect());
}

void ImageSurface::record(Operation operation) { frame_.push_back(std::move(operation)); }

void ImageSurface::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.isEmpty()) return;
  fillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush);  // the outline covers the rest
  const QRgb outline = toQRgb(pen.color);
  for (const QRect& edge :
       {QRect(area.left(), area.top(), area.width(), 1), QRect(area.left(), area.bottom(), area.width(), 1),
        QRect(area.left(), area.top(), 1, area.height()), QRect(area.right(), area.top(), 1, area.height())})
    record({Operation::Fill, edge, outline, 0, {}, AlignLeft, {}});
}

void ImageSurface::fillRect(const Rect& r, const Brush& brush) {
  record({Operation::Fill, toQRect(r), toQRgb(brush.color), 0, {}, AlignLeft, {}});
}

void ImageSurface::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  record({Operation::Ellipse, toQRect(r), toQRgb(brush.color), toQRgb(pen.color), {}, AlignLeft, {}});
}

void ImageSurface::drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) {
  record({Operation::Text, toQRect(r), toQRgb(color), 0, std::string(text), align, font});
}

void ImageSurface::flush() {
  if (frame_.empty()) return;
  std::vector<Operation> frame = std::move(frame_);
  frame_.clear();
  // What an earlier frame left is known only while nothing else changed the image.
  if (image_.cacheKey() != imageKey_) drawn_.clear();
  auto last = std::find_if(drawn_.begin(), drawn_.end(), [this](const auto& d) { return d.first == clip_; });
  std::vector<QRect> places;
  if (last == drawn_.end() || last->second.size() != frame.size()) {
    addPlace(places, clip_);
  } else {
    for (size_t i = 0; i < frame.size(); ++i) {
      if (frame[i] == last->second[i]) continue;
      addPlace(places, frame[i].rect.intersected(clip_));
      addPlace(places, last->second[i].rect.intersected(clip_));
    }
  }
  for (const QRect& place : places)
    for (const Operation& o : frame) draw(o, place);

  // Frames under other clips no longer stand where this one drew over them.
  std::erase_if(drawn_, [&](const auto& d) {
    return d.first != clip_ &&
           std::any_of(places.begin(), places.end(), [&](const QRect& p) { return p.intersects(d.first); });
  });
  last = std::find_if(drawn_.begin(), drawn_.end(), [this](const auto& d) { return d.first == clip_; });
  if (last != drawn_.end()) {
    last->second = std::move(frame);
  } else {
    drawn_.emplace_back(clip_, std::move(frame));
  }
  written_.insert(written_.end(), places.begin(), places.end());
  imageKey_ = image_.cacheKey();
}

void ImageSurface::draw(const Operation& o, const QRect& area) {
  switch (o.kind) {
    case Operation::Fill: return fill(o.rect.intersected(area), o.colour);
    case Operation::Ellipse: {
      if (o.rect.width() < 2 || o.rect.height() < 2 || !o.rect.intersects(area)) return;
      QPainter painter(&image_);
      painter.setClipRect(area);
      painter.setPen(QPen(QColor(o.rim), 0));  // cosmetic: exactly one pixel
      painter.setBrush(QColor(o.colour));
      // With a one-pixel pen the outline spans one pixel more than the
      // rectangle given, so this covers exactly left..right-1 and top..bottom-1.
      painter.drawEllipse(o.rect.adjusted(0, 0, -1, -1));
      return;
    }
    case Operation::Text: {
      const QRect visible = o.rect.intersected(area);
      if (visible.isEmpty()) return;
      QPainter painter(&image_);
      painter.setClipRect(visible);
      painter.setFont(gameFont(o.font));
      painter.setPen(QColor(o.colour));
      const Qt::Alignment horizontal = o.align == AlignCenter  ? Qt::AlignHCenter
                                       : o.align == AlignRight ? Qt::AlignRight
                                                               : Qt::AlignLeft;
      painter.drawText(o.rect, int(Qt::AlignTop | horizontal | Qt::TextSingleLine),
                       QString::fromLatin1(o.text.data(), qsizetype(o.text.size())));
      return;
    }
  }
}

// Fills go straight to the pixels: no painter needed.
void ImageSurface::fill(const QRect& area, QRgb colour) {
  if (area.isEmpty()) return;
  const qsizetype stride = image_.bytesPerLine();
  uchar* bits = image_.bits();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride) + area.left();
    std::fill_n(line, area.width(), colour);
  }
}

std::vector<QRect> ImageSurface::takeWritten(const QRect& area) {
  flush();
  std::vector<QRect> taken;
  for (const QRect& w : written_) {
    if (const QRect t = w.intersected(area); !t.isEmpty()) taken.push_back(t);
  }
  std::erase_if(written_, [&area](const QRect& w) { return area.contains(w); });
  return taken;
}
