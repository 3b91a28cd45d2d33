# Wordrope: `make run` builds and plays, `make test` builds and runs every test.
.PHONY: all bootstrap native win32 test run screenshot dist bench bench-startup clean

DISPLAYED := scripts/with-display.sh
PROBE := build/win32/tests/probe.exe

all: native win32

bootstrap:
	@bash scripts/bootstrap.sh

native: bootstrap
	@cmake --preset native >/dev/null
	@cmake --build --preset native

win32: bootstrap
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

# Every test: the engine natively, then under Wine the engine again and the window end to end.
test: native win32
	@ctest --preset native
	@$(DISPLAYED) ctest --preset win32

run: win32
	@scripts/run.sh

screenshot: win32
	@$(DISPLAYED) python3 scripts/screenshot.py $(PROBE) docs/screenshot.png

dist: win32
	@rm -f build/wordrope.zip
	@cd build && zip -qr wordrope.zip wordrope
	@echo "build/wordrope.zip: $$(unzip -l build/wordrope.zip | tail -1)"

bench: native win32
	@build/native/bench/draw_bench
	@$(DISPLAYED) python3 bench/startup_bench.py $(PROBE) build/wordrope build/win32/bench/minwin.exe

clean:
	rm -rf build
