# The two commands of the README: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
# Extra CMake options, e.g. CMAKE_ARGS=-DCD_WERROR=ON as CI builds; given, they reach a build
# folder that is already configured too.
CMAKE_ARGS ?=

.PHONY: run test test-asan bench package deps deps-test configure build build-tests seed clean

# The program alone: no test, no benchmark, no test library needed.
run: deps build seed
	./scripts/run-app.sh $(BUILD)/bin/channeldeck

test: deps-test build-tests
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure -j $(JOBS)

# The test suite built with AddressSanitizer and UndefinedBehaviorSanitizer; any report
# fails the test that caused it. Qt WebEngine's own Chromium frees with a size that ASan
# takes for a type mismatch when a page is deleted: that check is off.
test-asan: deps-test
	@if [ ! -f $(ASAN_BUILD)/build.ninja ]; then \
	  cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCD_SANITIZE=ON $(CMAKE_ARGS); \
	elif [ -n "$(strip $(CMAKE_ARGS))" ]; then cmake -S . -B $(ASAN_BUILD) $(CMAKE_ARGS); fi
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure -j $(JOBS)

deps:
	./scripts/install-deps.sh

deps-test:
	./scripts/install-deps.sh --test

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja -DBUILD_TESTING=OFF $(CMAKE_ARGS); \
	elif [ -n "$(strip $(CMAKE_ARGS))" ]; then cmake -S . -B $(BUILD) $(CMAKE_ARGS); fi

build: configure
	cmake --build $(BUILD) -j $(JOBS) --target cd_program

# A folder that `make run` configured without tests gets them switched on here.
build-tests: deps-test
	@if [ ! -f $(BUILD)/build.ninja ] || ! grep -q '^BUILD_TESTING:BOOL=ON' $(BUILD)/CMakeCache.txt; then \
	  cmake -S . -B $(BUILD) -G Ninja -DBUILD_TESTING=ON $(CMAKE_ARGS); \
	elif [ -n "$(strip $(CMAKE_ARGS))" ]; then cmake -S . -B $(BUILD) $(CMAKE_ARGS); fi
	cmake --build $(BUILD) -j $(JOBS)

# Timings of the big-list operations, in a Release build of its own.
BENCH_BUILD ?= build-bench
bench: deps-test
	@if [ ! -f $(BENCH_BUILD)/build.ninja ]; then cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS); \
	elif [ -n "$(strip $(CMAKE_ARGS))" ]; then cmake -S . -B $(BENCH_BUILD) $(CMAKE_ARGS); fi
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target channeldeck_bench
	cd $(BENCH_BUILD) && $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1600x1200x24") ./bin/channeldeck_bench $(BENCH_ARGS)

# The Debian package, from a stripped Release build of its own for /usr; dpkg-shlibdeps comes
# with the test packages.
PACKAGE_BUILD ?= build-package
package: deps-test
	@if [ ! -f $(PACKAGE_BUILD)/build.ninja ]; then \
	  cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	    -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_ARGS); \
	elif [ -n "$(strip $(CMAKE_ARGS))" ]; then cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_ARGS); fi
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack
	@ls $(PACKAGE_BUILD)/*.deb

seed:
	./scripts/seed-data.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD)
