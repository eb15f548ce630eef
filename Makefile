# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test bench deps configure build seed clean

run: deps build seed
	./scripts/run-app.sh $(BUILD)/bin/channeldeck

test: deps build
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure --repeat until-pass:2 -j $(JOBS)

deps:
	./scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja; fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Timings of the big-list operations, in a Release build of its own.
BENCH_BUILD ?= build-bench
bench: deps
	@if [ ! -f $(BENCH_BUILD)/build.ninja ]; then cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release; fi
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target channeldeck_bench
	cd $(BENCH_BUILD) && ./bin/channeldeck_bench $(BENCH_ARGS)

seed:
	./scripts/seed-data.sh

clean:
	rm -rf $(BUILD)
