// The window procedure allocates nothing: a burst of device and ordinary
// messages through Layout's hooked window, counted by the heap itself.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "support/host_fixture.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
  if (counting) ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

}  // namespace

// Every allocation in the process goes through these while the test counts,
// the plug-in's own included.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

class AllocationTest : public testing_support::HostTest {};

TEST_F(AllocationTest, BurstOfMessagesAllocatesNothing) {
  writeSettings("SBAL 1\r\nFunction 0 RenderFrame\r\nFunction 1 Undo\r\n");
  host->apply();
  ASSERT_EQ(host->liveInstances(), 1);
  // A sink that keeps what it is sent without allocating.
  static char last[512];
  static long lines = 0;
  host->commandSink = [](const char* line) {
    ++lines;
    std::snprintf(last, sizeof last, "%s", line);
  };
  constexpr int kEvents = 3000;
  const_cast<std::vector<standin::Host::Received>&>(host->received())
      .reserve(kEvents * 4);

  counting = true;
  for (int i = 0; i < kEvents; ++i) {
    const std::int32_t values[6] = {i, -i, 3, i % 7, 0, -5};
    ASSERT_TRUE(host->motion(values));
    ASSERT_TRUE(host->button(1 + i % 3, i % 2 == 0));
    host->sendOrdinary(0x0401, static_cast<WPARAM>(i), -i);
  }
  counting = false;

  EXPECT_EQ(allocations.load(), 0);
  // The burst really went through the module: motion, buttons 1 and 2.
  EXPECT_GT(lines, kEvents * 2);
}

}  // namespace
