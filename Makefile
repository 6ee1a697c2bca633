# The two commands a new machine needs:
#   make run    install what is missing, build, and play
#   make test   the same, then the whole test suite
#   make soak   every shipped level for a million ticks of random keys
#   make bench  the benchmark: speed and memory on this machine (not a test)
BUILD ?= build
JOBS ?= $(shell nproc)
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

.PHONY: run test soak bench build deps test-deps clean

# Playing needs neither the tests nor their packages.
run: deps
	$(CONFIGURE) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	@tools/run-game $(BUILD)

test: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

soak: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS) --target soak

# The benchmark is built with the tests (so CI compiles it); only this target
# runs it, on a virtual display of its own, and it writes build/bench.json.
bench: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS) --target pilko-bench
	tools/display/virtual-display run -- $(BUILD)/bench/pilko-bench --json $(BUILD)/bench.json

deps:
	@tools/install-deps game

test-deps:
	@tools/install-deps test

clean:
	rm -rf $(BUILD)
