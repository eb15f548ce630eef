# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test deps configure build seed clean

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

seed:
	./scripts/seed-data.sh

clean:
	rm -rf $(BUILD)
