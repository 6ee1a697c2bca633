# The two commands a new machine needs:
#   make run    install what is missing, build, and play
#   make test   the same, then the whole test suite
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps test-deps clean

run: deps build
	@tools/run-game $(BUILD)

test: test-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@tools/install-deps game

test-deps:
	@tools/install-deps test

clean:
	rm -rf $(BUILD)
