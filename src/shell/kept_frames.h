// Which pixels a frame changes, for every window alike. The game draws the
// whole field every 20 ms although only the ball, the bat and a block or two
// have moved: this surface stands in front of the window's own, keeps the
// last frame drawn under each clip as its list of operations, and when the
// next one comes draws again only the places where an operation differs, by
// every operation of the frame in its order, clipped to the place. The pixels
// come out as a whole redraw would make them, at a small part of the cost,
// and those places are all the screen needs to be shown.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render/surface.h"

class KeptFrames final : public DrawingSurface {
 public:
  explicit KeptFrames(DrawingSurface& target) : target_(target) {}

  void resize(int32_t width, int32_t height) override;
  PixelImage image() override;  // with the frame so far carried out
  void setClip(const Rect& clip) override;
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override;
  void fillRect(const Rect& r, const Brush& brush) override;
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) override;

  // Carries out the frame so far on the window's surface.
  void flush();
  // The places in the area drawn since they were last taken: nothing outside
  // them can have changed.
  std::vector<Rect> takeWritten(const Rect& area);
  // Draws the last frame kept under `clip` again with the rectangles of its
  // last moved.size() operations set to those given, in order (none: left
  // as drawn): only the places they left and took change, and the frame is
  // kept so. False when no frame is kept there.
  bool redrawLastMoved(const Rect& clip, const std::vector<std::optional<Rect>>& moved);
  // The image no longer holds what the kept frames drew: each next frame is
  // drawn whole.
  void forget() { drawn_.clear(); }

 private:
  struct Operation {
    enum Kind { Rectangle, Fill, Ellipse, Text } kind;
    Rect rect;
    Color pen, brush;  // the text's colour in brush
    std::string text;
    TextAlign align;
    Font font;
    bool operator==(const Operation& o) const;
  };

  void draw(const Operation& o);

  DrawingSurface& target_;
  Rect clip_{};
  std::vector<Operation> frame_;
  // The last frame carried out under each clip, while the image still holds it.
  std::vector<std::pair<Rect, std::vector<Operation>>> drawn_;
  std::vector<Rect> written_;
};
