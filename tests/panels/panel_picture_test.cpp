// The chunked picture and the divider, drawn through a recording set of
// draw functions.
#include "panels/panel_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "panels/picture_data.h"

namespace {

using panels::PanelPicture;
using panels::PixelKind;

struct Pixel {
  int r, g, b, x, y;
  bool operator==(const Pixel&) const = default;
};
struct Box {
  int r, g, b, x, y, w, h;
  bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.r << "," << p.g << "," << p.b << ") at " << p.x << ","
             << p.y;
}
std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "(" << b.r << "," << b.g << "," << b.b << ") at " << b.x << ","
             << b.y << " " << b.w << "x" << b.h;
}

// Draw functions that keep every pixel and box asked for, in order.
struct Recorder {
  std::vector<Pixel> pixels;
  std::vector<Box> boxes;
  lw::DrawFuncs funcs{&pixel, &box, nullptr, nullptr, nullptr};

  Recorder() { current() = this; }
  ~Recorder() { current() = nullptr; }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  static Recorder*& current() {
    static Recorder* recorder = nullptr;
    return recorder;
  }
  static void pixel(lw::Panel*, int r, int g, int b, int x, int y) {
    current()->pixels.push_back({r, g, b, x, y});
  }
  static void box(lw::Panel*, int r, int g, int b, int x, int y, int w, int h) {
    current()->boxes.push_back({r, g, b, x, y, w, h});
  }
};

// Byte n of the module picture, found without any cursor.
int pictureByte(int n) {
  namespace data = panels::picture_data;
  return data::kChunks[n / data::kChunkSize][n % data::kChunkSize];
}

TEST(ModulePicture, HasTheShapeOfTheAboutPanelsPicture) {
  PanelPicture picture;
  EXPECT_EQ(picture.width(), 100);
  EXPECT_EQ(picture.height(), 200);
  EXPECT_EQ(picture.kind(), PixelKind::Rgb);
  EXPECT_EQ(picture.bytesPerPixel(), 3);
}

TEST(ModulePicture, PixelAcrossTwoChunksIsDrawnWithItsThreeBytes) {
  namespace data = panels::picture_data;
  Recorder recorder;
  PanelPicture picture;
  picture.drawOnPanel(nullptr, &recorder.funcs, 0, 0);
  ASSERT_EQ(recorder.pixels.size(), 20000u);

  // Pixel 2730 (row 27, column 30) starts at byte 8190 of the sequence.
  const Pixel straddling = recorder.pixels[27 * 100 + 30];
  EXPECT_EQ(straddling, (Pixel{data::kChunks[0][8190], data::kChunks[0][8191],
                               data::kChunks[1][0], 30, 27}));
  // The pixel after it lies wholly in chunk 1.
  EXPECT_EQ(recorder.pixels[27 * 100 + 31],
            (Pixel{data::kChunks[1][1], data::kChunks[1][2],
                   data::kChunks[1][3], 31, 27}));
}

TEST(ModulePicture, EveryPixelHasTheColourOfItsPlaceInTheSequence) {
  Recorder recorder;
  PanelPicture picture;
  picture.drawOnPanel(nullptr, &recorder.funcs, 3, 5);
  ASSERT_EQ(recorder.pixels.size(), 20000u);
  for (int n = 0; n < 20000; ++n) {
    const Pixel expected{pictureByte(3 * n), pictureByte(3 * n + 1),
                         pictureByte(3 * n + 2), 3 + n % 100, 5 + n / 100};
    ASSERT_EQ(recorder.pixels[n], expected) << "pixel " << n;
  }
}

TEST(ModulePicture, ReadsExactlyTheWholeSequenceEndingInTheShortLastChunk) {
  namespace data = panels::picture_data;
  Recorder recorder;
  PanelPicture picture;
  EXPECT_EQ(picture.drawOnPanel(nullptr, &recorder.funcs, 0, 0), 60000);
  ASSERT_FALSE(recorder.pixels.empty());
  EXPECT_EQ(recorder.pixels.back(),
            (Pixel{data::kChunks[7][2653], data::kChunks[7][2654],
                   data::kChunks[7][2655], 99, 199}));
}

// A 3 x 2 picture in 5-byte chunks, so that pixels of every size but one
// byte cross chunk boundaries.
struct KindCase {
  const char* name;
  PixelKind kind;
  std::vector<std::uint8_t> bytes;
  std::vector<Pixel> expected;
};

TEST(SmallPicture, EachKindDrawsItsColoursAcrossChunks) {
  static const std::uint8_t palette[] = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  const std::vector<KindCase> cases = {
      {"grey",
       PixelKind::Grey,
       {0, 9, 255, 7, 8, 1},
       {{0, 0, 0, 0, 0},
        {9, 9, 9, 1, 0},
        {255, 255, 255, 2, 0},
        {7, 7, 7, 0, 1},
        {8, 8, 8, 1, 1},
        {1, 1, 1, 2, 1}}},
      {"indexed",
       PixelKind::Indexed,
       {2, 0, 1, 1, 2, 0},
       {{70, 80, 90, 0, 0},
        {10, 20, 30, 1, 0},
        {40, 50, 60, 2, 0},
        {40, 50, 60, 0, 1},
        {70, 80, 90, 1, 1},
        {10, 20, 30, 2, 1}}},
      {"rgb",
       PixelKind::Rgb,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
       {{1, 2, 3, 0, 0},
        {4, 5, 6, 1, 0},
        {7, 8, 9, 2, 0},
        {10, 11, 12, 0, 1},
        {13, 14, 15, 1, 1},
        {16, 17, 18, 2, 1}}},
      // Alpha 0 is skipped but its bytes are used up; alpha 1 draws in full.
      {"rgba",
       PixelKind::Rgba,
       {1,  2,  3,  255, 4,  5,  6,  0,   7,  8,  9,  1,
        10, 11, 12, 0,   13, 14, 15, 128, 16, 17, 18, 1},
       {{1, 2, 3, 0, 0},
        {7, 8, 9, 2, 0},
        {13, 14, 15, 1, 1},
        {16, 17, 18, 2, 1}}},
  };
  for (const KindCase& c : cases) {
    std::vector<std::vector<std::uint8_t>> chunks;
    for (std::size_t i = 0; i < c.bytes.size(); i += 5)
      chunks.emplace_back(c.bytes.begin() + i,
                          c.bytes.begin() + std::min(i + 5, c.bytes.size()));
    std::vector<const std::uint8_t*> table;
    for (const auto& chunk : chunks) table.push_back(chunk.data());

    Recorder recorder;
    PanelPicture picture(table.data(), static_cast<int>(table.size()), 5, 3, 2,
                         c.kind, palette);
    const int read = picture.drawOnPanel(nullptr, &recorder.funcs, 0, 0);
    EXPECT_EQ(recorder.pixels, c.expected) << c.name;
    EXPECT_EQ(read, static_cast<int>(c.bytes.size())) << c.name;
  }
}

TEST(SmallPicture, AlphaZeroLeavesTheRasterPixelAsItWas) {
  // A 2 x 1 Rgba picture drawn over a raster that starts out white: the
  // transparent pixel keeps its white, the other takes its colour.
  static const std::uint8_t bytes[] = {9, 9, 9, 0, 50, 60, 70, 1};
  const std::uint8_t* table[] = {bytes};
  std::map<std::pair<int, int>, std::tuple<int, int, int>> raster = {
      {{0, 0}, {255, 255, 255}}, {{1, 0}, {255, 255, 255}}};
  Recorder recorder;
  PanelPicture picture(table, 1, 8, 2, 1, PixelKind::Rgba);
  picture.drawOnPanel(nullptr, &recorder.funcs, 0, 0);
  for (const Pixel& p : recorder.pixels) raster[{p.x, p.y}] = {p.r, p.g, p.b};
  EXPECT_EQ(raster[std::make_pair(0, 0)], std::make_tuple(255, 255, 255));
  EXPECT_EQ(raster[std::make_pair(1, 0)], std::make_tuple(50, 60, 70));
}

TEST(SmallPicture, EmptyOrUnknownPicturesDrawNothing) {
  static const std::uint8_t bytes[12] = {};
  const std::uint8_t* table[] = {bytes};
  struct Case {
    const char* name;
    int width, height;
    PixelKind kind;
  };
  const Case cases[] = {
      {"width 0", 0, 2, PixelKind::Rgb},
      {"height 0", 2, 0, PixelKind::Rgb},
      {"negative width", -1, 2, PixelKind::Rgb},
      {"negative height", 2, -3, PixelKind::Grey},
      {"kind 4", 2, 2, static_cast<PixelKind>(4)},
      {"kind -1", 2, 2, static_cast<PixelKind>(-1)},
      {"indexed without a palette", 2, 2, PixelKind::Indexed},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    PanelPicture picture(table, 1, 12, c.width, c.height, c.kind);
    EXPECT_EQ(picture.drawOnPanel(nullptr, &recorder.funcs, 0, 0), 0) << c.name;
    EXPECT_TRUE(recorder.pixels.empty()) << c.name;
  }
}

TEST(SmallPicture, TableShorterThanThePictureStopsAtItsEnd) {
  // 2 x 2 Rgb needs 12 bytes; two chunks of 4 hold only 8.
  static const std::uint8_t a[] = {1, 2, 3, 4};
  static const std::uint8_t b[] = {5, 6, 7, 8};
  const std::uint8_t* table[] = {a, b};
  Recorder recorder;
  PanelPicture picture(table, 2, 4, 2, 2, PixelKind::Rgb);
  EXPECT_EQ(picture.drawOnPanel(nullptr, &recorder.funcs, 0, 0), 8);
  EXPECT_EQ(recorder.pixels,
            (std::vector<Pixel>{{1, 2, 3, 0, 0}, {4, 5, 6, 1, 0}}));
}

TEST(Divider, ThicknessIsAThirdOfTheWeightAndAtLeastOne) {
  const std::pair<int, int> cases[] = {{-100, 1}, {-1, 1}, {0, 1}, {1, 1},
                                       {2, 1},    {3, 1},  {5, 1}, {6, 2},
                                       {7, 2},    {8, 2},  {9, 3}, {14, 4}};
  for (const auto& [weight, thickness] : cases) {
    Recorder recorder;
    panels::drawDivider(nullptr, &recorder.funcs, 20, 40, 100, weight);
    const int t = thickness;
    EXPECT_EQ(recorder.boxes,
              (std::vector<Box>{{100, 100, 100, 21, 39, 98, t},
                                {0, 0, 0, 20, 40, 100, t},
                                {200, 200, 200, 21, 41, 98, t}}))
        << "weight " << weight;
  }
}

TEST(Divider, WidthTwoLeavesTheGreyLinesEmpty) {
  Recorder recorder;
  panels::drawDivider(nullptr, &recorder.funcs, 5, 6, 2, 1);
  EXPECT_EQ(recorder.boxes, (std::vector<Box>{{100, 100, 100, 6, 5, 0, 1},
                                              {0, 0, 0, 5, 6, 2, 1},
                                              {200, 200, 200, 6, 7, 0, 1}}));
}

}  // namespace
