// One redraw of the About panel against the stand-in panel services: the
// picture's 20000 pixels, then the text column and its dividers.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "bench/comparisons.h"
#include "panels/about_panel.h"
#include "panels/picture_data.h"
#include "standin/panels/panel_host.h"

namespace {

using bench::Clock;
using bench::Side;
using bench::takeTurns;

namespace picture = panels::picture_data;
constexpr int kPictureLeft = 3;  // where the About panel puts the picture
constexpr int kPictureTop = 3;

// The About panel as the configuration panel's About button builds it, not
// yet opened: drawing it is what the host's draw callback does.
struct Rig {
  Rig()
      : about(host.services(), "Spaceball Input Device Drivers",
              panels::kAboutText, nullptr, false) {
    for (int n = 0; n < picture::kByteCount; ++n) {
      pixels[static_cast<std::size_t>(n)] =
          picture::kChunks[n / picture::kChunkSize][n % picture::kChunkSize];
    }
  }

  standin::PanelHost host;
  panels::AboutPanel about;
  // The picture's bytes in one piece, read before any timing.
  std::array<std::uint8_t, picture::kByteCount> pixels{};
};

Rig& rig() {
  static Rig r;
  return r;
}

// Each side is one redraw's worth of drawing. The stand-in notes every call
// it is given; that record is emptied before each side, untimed, so that it
// does not grow through the run.
void redraw(benchmark::State& state, Clock clock) {
  Rig& r = rig();
  lw::Panel* panel = r.about.panel();
  if (panel == nullptr) {
    return state.SkipWithError("the stand-in made no About panel");
  }
  const auto forgetCalls = [&] { r.host.clearCalls(); };
  const Side ours{forgetCalls,
                  [&] { panels::drawAboutPanel(panel, &r.about, 0); }};
  // Nothing but the picture's pixels, each handed straight to the stand-in.
  const auto drawPixel = r.host.services()->drawFuncs->drawRGBPixel;
  const Side baseline{forgetCalls, [&] {
                        const std::uint8_t* p = r.pixels.data();
                        for (int row = 0; row < picture::kHeight; ++row) {
                          for (int column = 0; column < picture::kWidth;
                               ++column, p += 3) {
                            drawPixel(panel, p[0], p[1], p[2],
                                      kPictureLeft + column, kPictureTop + row);
                          }
                        }
                      }};
  takeTurns(state, clock, 1, ours, baseline);
}

}  // namespace

namespace bench {

void registerAboutPanelBenchmarks() {
  compare("about_redraw", "one About panel redraw (20000 picture pixels)",
          Goal::AtMost, 1.2, Clock::Cpu, redraw);
}

}  // namespace bench
