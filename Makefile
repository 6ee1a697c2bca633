# The two commands a new machine needs:
#   make run    install what is missing, build, and play
#   make test   the same, then the whole test suite
#   make soak   every shipped level for a million ticks of random keys
BUILD ?= build
JOBS ?= $(shell nproc)
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

.PHONY: run test soak build deps test-deps clean

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

deps:
	@tools/install-deps game

test-deps:
	@tools/install-deps test

clean:
	rm -rf $(BUILD)
