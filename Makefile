# The two commands a new machine needs:
#   make run    install what is missing, build, and play
#   make test   the same, then the whole test suite
#   make soak   every shipped level for a million ticks of random keys
#   make bench  the benchmark: speed and memory on this machine (not a test)
# and for those who ship the game:
#   make package      a Debian package, build/package/pilko_VERSION_ARCH.deb,
#                     checked with lintian
#   make screenshots  the README's pictures, taken from the real game
BUILD ?= build
JOBS ?= $(shell nproc)
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

.PHONY: run test soak bench build deps test-deps package package-deps screenshots clean

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
screenshots: deps
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
	rm -rf $(BUILD)
