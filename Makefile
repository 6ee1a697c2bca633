# The two commands a new machine needs:
#   make run    install what is missing, build, and play
#   make test   the same, then the whole test suite
# and, while working:
#   make check     build, then only the unit tests (seconds)
#   make sanitize  a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer
#                  in build-sanitize/, then the unit, GL, tool and end-to-end tests
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
# Extra ctest arguments for the sanitizer run (CI leaves out the slow e2e label).
SANITIZE_CTEST_ARGS ?=
JOBS ?= $(shell nproc)
WERROR ?= OFF
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPILKO_WERROR=$(WERROR)

# The sanitizers stop at the first finding; the leaks of the libraries we do
# not own are named in tests/sanitizer-suppressions.txt. The build runs the
# asset tools too, so it sees the same options as the tests.
export ASAN_OPTIONS = detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
SANITIZE_ENV = LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-suppressions.txt:print_suppressions=0

.PHONY: run test check sanitize build deps test-deps clean

# Playing needs neither the tests nor their packages.
run: deps
	$(CONFIGURE) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	@tools/run-game $(BUILD)

test: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

check: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

sanitize: test-deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPILKO_WERROR=$(WERROR) \
	  -DPILKO_SANITIZE=ON -DBUILD_TESTING=ON
	$(SANITIZE_ENV) cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) $(SANITIZE_CTEST_ARGS)

deps:
	@tools/install-deps game

test-deps:
	@tools/install-deps test

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
