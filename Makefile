# Wordrope: `make run` builds and plays, `make test` builds and runs every test.
.PHONY: all bootstrap machine native win32 win64 windows asan fuzz-build test run screenshot dist zip reproducible bench fuzz soak e2e-runs test-debian12 test-debian13 clean

FUZZ_SECONDS ?= 600
RUNS ?= 10
LOAD ?= 0

DISPLAYED := scripts/with-display.sh
# The Windows build that runs here: win32 where this machine runs 32-bit programs, else win64
# (WORDROPE_WIN64=1 chooses win64 anyway). scripts/machine.sh finds out once and keeps it in build/.
ARCH = $(firstword $(shell scripts/machine.sh))
GAME = build/$(if $(filter win64,$(ARCH)),wordrope-x64,wordrope)

all: native win32 win64

bootstrap:
	@bash scripts/bootstrap.sh

native: bootstrap
	@cmake --preset native >/dev/null
	@cmake --build --preset native

win32: bootstrap
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32

win64: bootstrap
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64

# The 32-bit game we ship, and the build that runs here.
windows: win32
	@$(if $(filter win64,$(ARCH)),$(MAKE) --no-print-directory win64)

machine:
	@scripts/machine.sh | sed 's/^win\([0-9]*\) /make test: the Wine suites will run on the \1-bit build: /'

asan: bootstrap
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

fuzz-build: bootstrap
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz

# Every test: the engine natively and under the sanitizers, a short fuzzing run, the 32-bit
# executable's file, then under Wine the engine again, the checker, and the window end to end.
test: machine native win32 win64 asan fuzz-build
	@ctest --preset native
	@ctest --preset asan
	@ctest --preset fuzz
	@$(MAKE) --no-print-directory reproducible
	@scripts/wine-suites.sh

# Longer fuzzing of the bitmap check: FUZZ_SECONDS.
fuzz: fuzz-build
	@tests/fuzz/run-fuzzer.sh build/fuzz/tests/fuzz/fuzz_bitmap $(FUZZ_SECONDS) \
	  tests/fuzz/seeds/bitmap build/fuzz/tests/fuzz/corpus-bitmap

run: windows
	@scripts/run.sh

screenshot: windows
	@$(DISPLAYED) python3 scripts/screenshot.py $(GAME) docs/screenshot.png

# The release: the 32-bit game folder as players get it, the same bytes from the same commit, made
# with the release toolchain: here if this machine has it, else in a Debian 12 made beside it.
dist: win32
	@scripts/dist.sh

# The zip of the game folder as built here, whatever the toolchain.
zip:
	@python3 scripts/make-zip.py build/wordrope-1.1.zip wordrope $$(find build/wordrope -maxdepth 1 -type f)

# The 32-bit game built again in another folder must come out byte for byte the same, zip and all.
reproducible: win32
	@$(MAKE) --no-print-directory zip
	@scripts/reproducible.sh

bench: native
	@build/native/bench/draw_bench

# The long soak: 500 games in one process under Wine, in a prefix of its own.
soak: windows
	@WORDROPE_PREFIX_KIND=soak WORDROPE_SOAK_GAMES=500 WORDROPE_GAME_DIR=$(CURDIR)/$(GAME) $(DISPLAYED) \
	  scripts/wine-run.sh $(ARCH) build/$(ARCH)/tests/window_tests.exe --gtest_filter='*Soak*'

# make test in a minimal Debian 13 or 12 made in build/ (scripts/in-debian.sh), on a clone of this commit.
test-debian13:
	@scripts/in-debian.sh trixie make test

test-debian12:
	@scripts/in-debian.sh bookworm make test

# The end-to-end suites RUNS times (10), LOAD busy processes beside them (0): how steady they are.
e2e-runs: windows
	@LOAD=$(LOAD) WORDROPE_WINE_ARCH=$(ARCH) $(DISPLAYED) scripts/e2e-runs.sh $(ARCH) $(RUNS)

clean:
	@! grep -q " $(CURDIR)/build/" /proc/self/mounts || { echo "clean: something is mounted under build/"; exit 1; }
	rm -rf build
