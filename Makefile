# Entry points for users and CI. Everything builds under build/.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SHELL := /bin/sh

.PHONY: all deps build build-win build-native test test-native test-win run demo bench clean

all: build

deps:
	@scripts/install-deps

build-win: deps
	@[ -f build/win/CMakeCache.txt ] || cmake --preset win >/dev/null
	@cmake --build --preset win -j $(JOBS)

build-native: deps
	@[ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null
	@cmake --build --preset native -j $(JOBS)

build: build-win build-native

test-native: build-native
	@ctest --preset native -j $(JOBS)

# Windows tests open real windows: one virtual display for the whole run.
test-win: build-win
	@xvfb-run -a -s "-screen 0 1280x800x24" ctest --preset win

test: test-native test-win

run: build-win
	@scripts/run-tool

demo: build-win build-native
	@scripts/demo

bench: build-win
	@scripts/bench

clean:
	rm -rf build/win build/native
