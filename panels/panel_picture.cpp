#include "panels/panel_picture.h"

#include <new>

#include "panels/picture_data.h"

namespace panels {

namespace {

// The size follows the kind, not the stored bytesPerPixel, so a picture
// whose two fields disagree still reads whole pixels.
int bytesForKind(PixelKind kind) {
  switch (kind) {
    case PixelKind::Indexed:
    case PixelKind::Grey:
      return 1;
    case PixelKind::Rgb:
      return 3;
    case PixelKind::Rgba:
      return 4;
  }
  return 0;
}

// Walks the logical byte sequence across chunk boundaries, which need not
// fall between pixels.
class ByteCursor {
 public:
  ByteCursor(const std::uint8_t* const* chunks, int chunkCount, int chunkSize)
      : chunks_(chunks), chunkCount_(chunkCount), chunkSize_(chunkSize) {}

  bool next(std::uint8_t* byte) {
    if (chunk_ >= chunkCount_) return false;
    *byte = chunks_[chunk_][offset_];
    ++read_;
    if (++offset_ == chunkSize_) {
      offset_ = 0;
      ++chunk_;
    }
    return true;
  }

  int bytesRead() const { return read_; }

 private:
  const std::uint8_t* const* chunks_;
  int chunkCount_;
  int chunkSize_;
  int chunk_ = 0;
  int offset_ = 0;
  int read_ = 0;
};

}  // namespace

PanelPicture::PanelPicture() noexcept
    : PanelPicture(picture_data::kChunks, picture_data::kChunkCount,
                   picture_data::kChunkSize, picture_data::kWidth,
                   picture_data::kHeight, PixelKind::Rgb) {}

PanelPicture::PanelPicture(const std::uint8_t* const* chunks, int chunkCount,
                           int chunkSize, int width, int height, PixelKind kind,
                           const std::uint8_t* palette) noexcept
    : palette_(palette),
      chunkSize_(chunkSize),
      chunkCount_(chunkCount),
      width_(width),
      height_(height),
      kind_(kind),
      bytesPerPixel_(bytesForKind(kind)) {
  if (chunks == nullptr || chunkCount <= 0) {
    chunkCount_ = 0;
    return;
  }
  // Out of memory leaves the picture empty: the About panel then shows its
  // text without the picture rather than failing inside a host callback.
  chunks_.reset(new (std::nothrow) const std::uint8_t*[chunkCount]);
  if (!chunks_) {
    chunkCount_ = 0;
    return;
  }
  for (int i = 0; i < chunkCount; ++i) chunks_[i] = chunks[i];
}

int PanelPicture::drawOnPanel(lw::Panel* panel, const lw::DrawFuncs* draw,
                              int x, int y) const noexcept {
  const int size = bytesForKind(kind_);
  if (size == 0 || !chunks_ || chunkSize_ <= 0) return 0;
  if (width_ <= 0 || height_ <= 0) return 0;
  if (draw == nullptr || draw->drawRGBPixel == nullptr) return 0;
  if (kind_ == PixelKind::Indexed && palette_ == nullptr) return 0;

  ByteCursor cursor(chunks_.get(), chunkCount_, chunkSize_);
  std::uint8_t b[4] = {};
  for (int row = 0; row < height_; ++row) {
    for (int column = 0; column < width_; ++column) {
      for (int i = 0; i < size; ++i) {
        // A table shorter than the picture ends the drawing where it ends.
        if (!cursor.next(&b[i])) return cursor.bytesRead();
      }
      const int px = x + column;
      const int py = y + row;
      switch (kind_) {
        case PixelKind::Indexed: {
          const std::uint8_t* entry = palette_ + 3 * b[0];
          draw->drawRGBPixel(panel, entry[0], entry[1], entry[2], px, py);
          break;
        }
        case PixelKind::Grey:
          draw->drawRGBPixel(panel, b[0], b[0], b[0], px, py);
          break;
        case PixelKind::Rgb:
          draw->drawRGBPixel(panel, b[0], b[1], b[2], px, py);
          break;
        case PixelKind::Rgba:
          // No blending: any alpha but 0 shows the stored colour in full.
          if (b[3] != 0) draw->drawRGBPixel(panel, b[0], b[1], b[2], px, py);
          break;
      }
    }
  }
  return cursor.bytesRead();
}

void drawDivider(lw::Panel* panel, const lw::DrawFuncs* draw, int x, int y,
                 int width, int weight) noexcept {
  if (draw == nullptr || draw->drawRGBBox == nullptr) return;
  int thickness = weight / 3;
  if (thickness < 1) thickness = 1;
  // Drawn top to bottom so that, when thick lines overlap, each later line
  // covers the one before it.
  draw->drawRGBBox(panel, 100, 100, 100, x + 1, y - 1, width - 2, thickness);
  draw->drawRGBBox(panel, 0, 0, 0, x, y, width, thickness);
  draw->drawRGBBox(panel, 200, 200, 200, x + 1, y + 1, width - 2, thickness);
}

}  // namespace panels
