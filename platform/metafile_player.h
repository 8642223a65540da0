// Plays a recorded metafile back onto a canvas: the display drivers paint
// pages with it, printers render them, tests read what a page says. Only the
// records the recorder writes are drawn; others are counted and skipped. A
// damaged metafile stops playing at the damage and never reads past its end.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/metafile_recorder.h"

namespace vaultrix::platform {

class MetafileCanvas {
 public:
  virtual ~MetafileCanvas() = default;
  // The logical window (origin and extent) that the page's coordinates use.
  virtual void Window(std::int16_t /*x*/, std::int16_t /*y*/, std::int16_t /*width*/,
                      std::int16_t /*height*/) {}
  // Text in UTF-8 with its top left at (x, y), in the selected font.
  virtual void Text(std::int16_t x, std::int16_t y, const std::string& text,
                    const MetafileFont& font, const MetafileRect* clip) = 0;
  virtual void Line(std::int16_t /*x1*/, std::int16_t /*y1*/, std::int16_t /*x2*/,
                    std::int16_t /*y2*/) {}
};

struct PlayResult {
  bool complete = false;  // the end record was reached without damage
  std::size_t records = 0;  // records read, the end record included
};

PlayResult PlayMetafile(std::span<const std::uint8_t> metafile, MetafileCanvas& canvas);

}  // namespace vaultrix::platform
