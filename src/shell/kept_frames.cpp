#include "shell/kept_frames.h"

#include <algorithm>
#include <cstring>

namespace {

bool isEmpty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

Rect intersection(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool meet(const Rect& a, const Rect& b) { return !isEmpty(intersection(a, b)); }

// Adds the place to the list, joined with every place it overlaps or touches:
// the old and new spots of the ball become one place, drawn once.
void addPlace(std::vector<Rect>& places, Rect place) {
  if (isEmpty(place)) return;
  for (auto it = places.begin(); it != places.end();) {
    if (!meet({it->left - 1, it->top - 1, it->right + 1, it->bottom + 1}, place)) {
      ++it;
      continue;
    }
    place = {std::min(place.left, it->left), std::min(place.top, it->top), std::max(place.right, it->right),
             std::max(place.bottom, it->bottom)};
    places.erase(it);
    it = places.begin();
  }
  places.push_back(place);
}

}  // namespace

bool KeptFrames::Operation::operator==(const Operation& o) const {
  return kind == o.kind && rect == o.rect && pen == o.pen && brush == o.brush && text == o.text && align == o.align &&
         font.height == o.font.height && font.weight == o.font.weight &&
         (font.face == o.font.face || (font.face && o.font.face && std::strcmp(font.face, o.font.face) == 0));
}

void KeptFrames::resize(int32_t width, int32_t height) {
  frame_.clear();
  forget();
  written_.clear();
  target_.resize(width, height);
}

PixelImage KeptFrames::image() {
  flush();
  return target_.image();
}

void KeptFrames::setClip(const Rect& clip) {
  flush();
  const PixelImage image = target_.image();
  clip_ = intersection(clip, {0, 0, image.width, image.height});
}

void KeptFrames::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  frame_.push_back({Operation::Rectangle, r, pen.color, brush.color, {}, AlignLeft, {}});
}

void KeptFrames::fillRect(const Rect& r, const Brush& brush) {
  frame_.push_back({Operation::Fill, r, {}, brush.color, {}, AlignLeft, {}});
}

void KeptFrames::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  frame_.push_back({Operation::Ellipse, r, pen.color, brush.color, {}, AlignLeft, {}});
}

void KeptFrames::drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) {
  frame_.push_back({Operation::Text, r, {}, color, std::string(text), align, font});
}

void KeptFrames::flush() {
  if (frame_.empty()) return;
  std::vector<Operation> frame = std::move(frame_);
  frame_.clear();
  auto last = std::find_if(drawn_.begin(), drawn_.end(), [this](const auto& d) { return d.first == clip_; });
  std::vector<Rect> places;
  if (last == drawn_.end() || last->second.size() != frame.size()) {
    addPlace(places, clip_);
  } else {
    for (size_t i = 0; i < frame.size(); ++i) {
      if (frame[i] == last->second[i]) continue;
      addPlace(places, intersection(frame[i].rect, clip_));
      addPlace(places, intersection(last->second[i].rect, clip_));
    }
  }
  for (const Rect& place : places) {
    target_.setClip(place);
    for (const Operation& o : frame) draw(o);
  }

  // Frames under other clips no longer stand where this one drew over them.
  std::erase_if(drawn_, [&](const auto& d) {
    return d.first != clip_ &&
           std::any_of(places.begin(), places.end(), [&](const Rect& p) { return meet(p, d.first); });
  });
  last = std::find_if(drawn_.begin(), drawn_.end(), [this](const auto& d) { return d.first == clip_; });
  if (last != drawn_.end()) {
    last->second = std::move(frame);
  } else {
    drawn_.emplace_back(clip_, std::move(frame));
  }
  written_.insert(written_.end(), places.begin(), places.end());
}

bool KeptFrames::redrawLastMoved(const Rect& clip, const std::vector<std::optional<Rect>>& moved) {
  setClip(clip);
  const auto last = std::find_if(drawn_.begin(), drawn_.end(), [this](const auto& d) { return d.first == clip_; });
  if (last == drawn_.end() || last->second.size() < moved.size()) return false;
  frame_ = last->second;
  const size_t first = frame_.size() - moved.size();
  for (size_t i = 0; i < moved.size(); ++i) {
    if (moved[i]) frame_[first + i].rect = *moved[i];
  }
  flush();
  return true;
}

void KeptFrames::draw(const Operation& o) {
  switch (o.kind) {
    case Operation::Rectangle: return target_.rectangle(o.rect, Pen{o.pen}, Brush{o.brush});
    case Operation::Fill: return target_.fillRect(o.rect, Brush{o.brush});
    case Operation::Ellipse: return target_.ellipse(o.rect, Pen{o.pen}, Brush{o.brush});
    case Operation::Text: return target_.drawText(o.rect, o.text, o.align, o.font, o.brush);
  }
}

std::vector<Rect> KeptFrames::takeWritten(const Rect& area) {
  flush();
  std::vector<Rect> taken;
  for (const Rect& w : written_) {
    if (const Rect t = intersection(w, area); !isEmpty(t)) taken.push_back(t);
  }
  std::erase_if(written_, [&area](const Rect& w) { return intersection(w, area) == w; });
  return taken;
}
