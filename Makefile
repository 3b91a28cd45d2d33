# Wordrope: `make run` builds and plays, `make test` builds and runs every test.
.PHONY: all bootstrap native win32 test test-native test-win32 run screenshot dist bench clean

all: native win32

bootstrap:
	@bash scripts/bootstrap.sh

native: bootstrap
	@cmake --preset native >/dev/null
	@cmake --build --preset native

win32: bootstrap
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

test: native win32
	@ctest --preset native
	@scripts/with-display.sh ctest --preset win32

bench: native
	@build/native/bench/draw_bench

clean:
	rm -rf build
