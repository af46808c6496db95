// The window procedure on Layout's main window, in process: the module's
// code linked in, the stand-in driver loaded by the module's own binding,
// and a trivial procedure behind the hook.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <array>
#include <clocale>
#include <cstdint>
#include <cstdio>

#include "bench/comparisons.h"
#include "connection/driver_state.h"
#include "connection/window_proc.h"
#include "device/binding.h"
#include "standin/siappdll/driver_feed.h"
#include "standin/winsys/winsys.h"

namespace {

using bench::Clock;
using bench::Side;
using bench::takeTurns;

constexpr UINT kOrdinaryMessage = WM_USER + 1;
// Motion messages per turn: fewer than the stand-in driver's pending events,
// so that every message still carries its event.
constexpr int kMotionBatch = 512;

// Motion as a hand on the ball gives it: every event moves and turns.
constexpr std::int32_t kMotion[][6] = {
    {350, 0, -20, 0, 15, 0},    {1000, 0, 0, 20, -5, 3},
    {-127, 48, 311, -9, 64, 2}, {5, -3, 1, 1, -1, 2},
    {-1500, 220, 0, 0, 0, -77}, {42, 42, -42, 300, -300, 12},
    {0, -860, 15, 7, 0, 0},     {2047, -2048, 999, -64, 33, -1},
};
constexpr int kMotionKinds = sizeof kMotion / sizeof kMotion[0];

LRESULT CALLBACK previousProcedure(HWND, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  return static_cast<LRESULT>(message) + static_cast<LRESULT>(wParam) + lParam;
}

// Layout's command function: looks at the line and keeps nothing.
long linesSent = 0;
int commandSink(const char* line) {
  benchmark::DoNotOptimize(line[0]);
  ++linesSent;
  return 1;
}

struct Rig {
  bool ready = false;
  const char* why = "";
  HWND window = nullptr;
  siapp::SiOpenData openData{};
  // The same loaded driver that the module's binding uses, reached without
  // it: the baseline's plain function pointers.
  siapp::SiGetEventWinInitFn getEventWinInit = nullptr;
  siapp::SiGetEventFn getEvent = nullptr;
  standin_driver::FeedFn feed = nullptr;
};

template <typename Fn>
Fn symbol(void* library, const char* name) {
  return reinterpret_cast<Fn>(dlsym(library, name));
}

// What the master handler's creation does, cut to what the procedure reads:
// the hook's previous procedure, the driver bound and a device open on the
// window, the host's command function.
Rig& rig() {
  static Rig r = [] {
    Rig made;
    std::setlocale(LC_ALL, "C");
    WinsysSetLibraryPath(device::kLibraryName, VEXA_BENCH_DRIVER);
    made.window = WinsysCreateWindow(&previousProcedure);
    connection::driverState.previousWindowProc = &previousProcedure;
    connection::hostServices.commandFunction = &commandSink;
    device::SiInitialize();
    device::SiOpenWinInit(&made.openData, made.window);
    connection::driverState.deviceHandle =
        device::SiOpen("Lightwave 3D (Layout)", -1, nullptr, 1, &made.openData);
    if (connection::driverState.deviceHandle == nullptr) {
      made.why = "the stand-in driver opened no device";
      return made;
    }
    // Already loaded by the binding: this only finds it again.
    void* library = dlopen(VEXA_BENCH_DRIVER, RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
      made.why = "the stand-in driver is not loaded";
      return made;
    }
    made.getEventWinInit =
        symbol<siapp::SiGetEventWinInitFn>(library, "SiGetEventWinInit");
    made.getEvent = symbol<siapp::SiGetEventFn>(library, "SiGetEvent");
    made.feed = symbol<standin_driver::FeedFn>(library, "StandinDriverFeed");
    if (made.getEventWinInit == nullptr || made.getEvent == nullptr ||
        made.feed == nullptr) {
      made.why = "the stand-in driver lacks an export";
      return made;
    }
    made.ready = true;
    return made;
  }();
  return r;
}

// Messages per turn: enough that reading the clock is lost in the noise.
constexpr int kOrdinaryBatch = 20000;

void ordinaryMessage(benchmark::State& state, Clock clock) {
  Rig& r = rig();
  if (!r.ready) return state.SkipWithError(r.why);
  WPARAM wParam = 0;
  const Side ours{{}, [&] {
                    for (int i = 0; i < kOrdinaryBatch; ++i) {
                      LRESULT result = connection::deviceWindowProc(
                          r.window, kOrdinaryMessage, ++wParam, 7);
                      benchmark::DoNotOptimize(result);
                    }
                  }};
  // The work no hook can avoid: hand the message to the driver, ask it for
  // an event, pass the message on.
  const Side baseline{
      {}, [&] {
        static siapp::SiGetEventData data;
        static siapp::SiSpwEvent event;
        const auto getEventWinInit = r.getEventWinInit;
        const auto getEvent = r.getEvent;
        for (int i = 0; i < kOrdinaryBatch; ++i) {
          ++wParam;
          getEventWinInit(&data, kOrdinaryMessage, wParam, 7);
          int answer =
              getEvent(connection::driverState.deviceHandle, 0, &data, &event);
          benchmark::DoNotOptimize(answer);
          LRESULT result =
              CallWindowProcA(connection::driverState.previousWindowProc,
                              r.window, kOrdinaryMessage, wParam, 7);
          benchmark::DoNotOptimize(result);
        }
      }};
  takeTurns(state, clock, kOrdinaryBatch, ours, baseline);
}

// Device events are posted by the driver: before each turn they are fed and
// taken from the queue, untimed; timed, the procedure handles them.
void motionMessage(benchmark::State& state, Clock clock) {
  Rig& r = rig();
  if (!r.ready) return state.SkipWithError(r.why);
  static std::array<MSG, kMotionBatch> messages;
  bool fed = true;
  long handled = 0;
  long lines = 0;
  const Side ours{[&] {
                    for (int i = 0; i < kMotionBatch; ++i) {
                      siapp::SiSpwEvent event{};
                      event.type = siapp::kMotionEvent;
                      for (int axis = 0; axis < siapp::kAxisCount; ++axis) {
                        event.motion[axis] = kMotion[i % kMotionKinds][axis];
                      }
                      fed = fed && r.feed(&event) != 0 &&
                            PeekMessageA(&messages[static_cast<std::size_t>(i)],
                                         nullptr, 0, 0, PM_REMOVE) != 0;
                    }
                  },
                  [&] {
                    const long before = linesSent;
                    for (const MSG& m : messages) {
                      LRESULT result = connection::deviceWindowProc(
                          m.hwnd, m.message, m.wParam, m.lParam);
                      benchmark::DoNotOptimize(result);
                    }
                    handled += kMotionBatch;
                    lines += linesSent - before;
                  }};
  // The same two lines per event, formatted by the C library and sent.
  static char text[connection::kCommandTextSize];
  const connection::DriverState& s = connection::driverState;
  const Side baseline{
      {}, [&] {
        for (int i = 0; i < kMotionBatch; ++i) {
          const std::int32_t* m = kMotion[i % kMotionKinds];
          std::snprintf(text, sizeof text, "AddPosition %g %g %g",
                        m[siapp::kTx] / s.translationDivisor,
                        m[siapp::kTy] / s.translationDivisor,
                        m[siapp::kTz] / s.translationDivisor);
          connection::hostServices.commandFunction(text);
          std::snprintf(text, sizeof text, "AddRotation %g %g %g",
                        -(m[siapp::kRy] / s.rotationDivisor),
                        -(m[siapp::kRx] / s.rotationDivisor),
                        -(m[siapp::kRz] / s.rotationDivisor));
          connection::hostServices.commandFunction(text);
        }
      }};
  takeTurns(state, clock, kMotionBatch, ours, baseline);
  if (!fed) return state.SkipWithError("the driver posted no event");
  if (lines != 2 * handled) {
    state.SkipWithError("a motion message did not give two lines");
  }
}

}  // namespace

namespace bench {

void registerWindowProcBenchmarks() {
  compare("ordinary_message",
          "ordinary message through deviceWindowProc, library bound",
          Goal::AtMost, 1.3, Clock::Cpu, ordinaryMessage);
  compare("motion_message", "motion message giving two command lines",
          Goal::Faster, 0, Clock::Cpu, motionMessage);
}

}  // namespace bench
