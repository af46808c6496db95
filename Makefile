# The newcomer's door. `make demo` runs the main job, `make test` runs every
# test; both install what they need first.

BUILD_JOBS ?= 2
DEMO_DIR := build/demo

.PHONY: all deps build demo test test-plain test-asan test-fuzz test-windows \
	bench format format-check clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(BUILD_JOBS)

demo: build
	@rm -rf $(DEMO_DIR) && mkdir -p $(DEMO_DIR)/settings
	build/default/bin/layout-sim --settings $(DEMO_DIR)/settings \
		--snapshots $(DEMO_DIR) demo
	@echo
	@echo "Snapshots of both panels: $(DEMO_DIR)/config-panel.png, $(DEMO_DIR)/about-panel.png"

test: deps format-check test-plain test-asan test-fuzz test-windows

test-plain: build
	ctest --preset default

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(BUILD_JOBS)
	ctest --preset asan

# Each fuzz target for a bounded time from the seed corpus kept in fuzz/.
FUZZ_SECONDS ?= 60
test-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(BUILD_JOBS)
	fuzz/run-fuzzer.sh settings $(FUZZ_SECONDS)
	fuzz/run-fuzzer.sh script $(FUZZ_SECONDS)

# The 32-bit Windows plug-in checked, the 64-bit build run under Wine.
test-windows: deps
	bash tools/windows/test-windows.sh

# The benchmark suite, each figure a ratio against its baseline in the same
# run (docs/performance.md).
bench: deps
	bash bench/run.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
