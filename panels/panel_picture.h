// A picture kept as constant pixel bytes in fixed-size chunks and drawn onto
// a host panel one pixel at a time, and the engraved divider drawn between
// groups of lines on the About panel.
#pragma once

#include <cstdint>
#include <memory>

#include "module/host.h"

namespace panels {

// How the bytes of one pixel read. A 32-bit value, as the chunked data
// format stores it.
enum class PixelKind : std::int32_t {
  Indexed = 0,  // 1 byte: palette index; the palette holds red, green, blue
  Grey = 1,     // 1 byte: grey level
  Rgb = 2,      // 3 bytes: red, green, blue
  Rgba = 3,     // 4 bytes: red, green, blue, alpha; alpha 0 is not drawn
};

class PanelPicture {
 public:
  // The module's picture: 100 x 200 Rgb pixels in 8 chunks of 8192 bytes.
  PanelPicture() noexcept;

  // Any other picture laid out the same way. `chunks` holds `chunkCount`
  // pointers to constant bytes that outlive the picture; together they hold
  // width x height pixels of `kind`, every chunk but the last `chunkSize`
  // bytes long. `palette` is needed for Indexed only: entry i is the three
  // bytes from palette + 3 i.
  PanelPicture(const std::uint8_t* const* chunks, int chunkCount, int chunkSize,
               int width, int height, PixelKind kind,
               const std::uint8_t* palette = nullptr) noexcept;

  PanelPicture(const PanelPicture&) = delete;
  PanelPicture& operator=(const PanelPicture&) = delete;
  PanelPicture(PanelPicture&&) = delete;
  PanelPicture& operator=(PanelPicture&&) = delete;
  ~PanelPicture() = default;

  // Draws every pixel with the picture's top-left at (x, y) on `panel`,
  // through draw->drawRGBPixel. Returns how many pixel bytes were read;
  // nothing else depends on it. Draws nothing when the chunk table could not
  // be allocated, the size is empty or the kind is unknown.
  int drawOnPanel(lw::Panel* panel, const lw::DrawFuncs* draw, int x,
                  int y) const noexcept;

  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }
  int bytesPerPixel() const noexcept { return bytesPerPixel_; }
  PixelKind kind() const noexcept { return kind_; }

 private:
  // The picture owns its table of chunk pointers, never the chunks.
  std::unique_ptr<const std::uint8_t*[]> chunks_;
  const std::uint8_t* palette_ = nullptr;
  int chunkSize_ = 0;
  int chunkCount_ = 0;
  int width_ = 0;
  int height_ = 0;
  PixelKind kind_ = PixelKind::Rgb;
  int bytesPerPixel_ = 0;
};

// An engraved horizontal rule: a black line `width` long starting at (x, y),
// a dark grey one above and a light grey one below, each one pixel shorter at
// both ends. The thickness of each line is weight / 3, at least 1.
void drawDivider(lw::Panel* panel, const lw::DrawFuncs* draw, int x, int y,
                 int width, int weight) noexcept;

}  // namespace panels
