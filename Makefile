# The two commands a new machine needs:
#   make run    install what is missing, build, and play
#   make test   the same, then the whole test suite
#   make soak   every shipped level for a million ticks of random keys
#   make bench  the benchmark: speed and memory on this machine (not a test)
# and, while working:
#   make check     build, then only the unit tests (seconds)
#   make sanitize  a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer
#                  in build-sanitize/, then the unit, GL, tool and end-to-end tests
#   make mutate    single-line faults of tests/mutations.txt put into the code one
#                  at a time (build-mutate/), and which the fast tests catch
# and for those who ship the game:
#   make package      a Debian package, build/package/pilko_VERSION_ARCH.deb,
#                     checked with lintian
#   make screenshots  the README's pictures, taken from the real game
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
MUTATE_BUILD ?= build-mutate
# Extra ctest arguments for the sanitizer run (-LE e2e leaves out the slowest label).
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

.PHONY: run test check sanitize mutate soak bench build deps test-deps package package-deps screenshots clean

# Playing needs neither the tests nor their packages.
run: deps
	$(CONFIGURE) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	@tools/run-game $(BUILD)

# A test that fails is run once more before the run fails: the end-to-end
# tests drive a real X server and can lose a race with it on a loaded
# machine. A test that fails twice fails the run, and CTest lists every
# test that needed its second try.
test: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

check: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

sanitize: test-deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPILKO_WERROR=$(WERROR) \
	  -DPILKO_SANITIZE=ON -DBUILD_TESTING=ON
	$(SANITIZE_ENV) cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) --repeat until-pass:2 \
	  $(SANITIZE_CTEST_ARGS)

# Not part of make test: it rebuilds and tests once for every fault in the
# list. Niced and on two cores, as it runs for a quarter of an hour or more.
mutate: test-deps
	nice -n 10 tests/mutate --build $(MUTATE_BUILD) --jobs 2

soak: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS) --target soak

# The benchmark is built with the tests (so CI compiles it); only this target
# runs it, on virtual displays of its own: the designed 640 x 480 mode
# (build/bench.json), then full screen on a 1920 x 1080 screen without that
# mode (build/bench-1920x1080.json).
bench: test-deps
	$(CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS) --target pilko-bench
	tools/display/virtual-display run -- $(BUILD)/bench/pilko-bench --json $(BUILD)/bench.json
	tools/display/virtual-display run --size 1920x1080 -- \
	  $(BUILD)/bench/pilko-bench --json $(BUILD)/bench-1920x1080.json

# Built apart in build/package with Debian's hardening flags, installed under
# /usr; the .deb lands beside it.
PACKAGE_BUILD = $(BUILD)/package
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: package-deps
	CFLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	desktop-file-validate dist/pilko.desktop
	appstreamcli validate --no-net $(PACKAGE_BUILD)/dist/org.pilko.pilko.metainfo.xml
	cd $(PACKAGE_BUILD) && cpack -G DEB
	lintian --pedantic $(PACKAGE_BUILD)/pilko_*.deb

# The game drives itself on the project's virtual display.
screenshots: test-deps
	$(CONFIGURE) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	tools/readme-pictures/take-readme-pictures $(BUILD) docs/screenshots

deps:
	@tools/install-deps game

test-deps:
	@tools/install-deps test

package-deps:
	@tools/install-deps package

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(MUTATE_BUILD)
