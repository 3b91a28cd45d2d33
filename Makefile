# Wordrope: `make run` builds and plays, `make test` builds and runs every test.
.PHONY: all bootstrap native win32 asan fuzz-build test run screenshot dist bench fuzz soak clean

FUZZ_SECONDS ?= 600

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

asan: bootstrap
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

fuzz-build: bootstrap
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz

# Every test: the engine natively and under the sanitizers, a short fuzzing run, then under
# Wine the engine again, the checker, and the window end to end.
test: native win32 asan fuzz-build
	@ctest --preset native
	@ctest --preset asan
	@ctest --preset fuzz
	@$(DISPLAYED) ctest --preset win32

# Longer fuzzing: FUZZ_SECONDS split between the two fuzzers.
fuzz: fuzz-build
	@for name in wordlist bitmap; do \
	  echo "fuzz_$$name:"; \
	  tests/fuzz/run-fuzzer.sh build/fuzz/tests/fuzz/fuzz_$$name $$(( $(FUZZ_SECONDS) / 2 )) \
	    tests/fuzz/seeds/$$name build/fuzz/tests/fuzz/corpus-$$name || exit 1; \
	done

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

# The whole soak: 500 games under Wine, in a prefix of its own.
soak: win32
	@WORDROPE_PREFIX_KIND=soak $(DISPLAYED) python3 tests/e2e/soak.py --probe $(PROBE) --games 500

clean:
	rm -rf build
