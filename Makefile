# Wordrope: `make run` builds and plays, `make test` builds and runs every test.
.PHONY: all bootstrap machine native win32 win64 asan fuzzers windows lint test run screenshot zip dist \
  reproducible bench fuzz soak e2e-runs test-debian12 test-debian13 clean clean-debian

FUZZ_SECONDS ?= 600
RUNS ?= 10
LOAD ?= 0

# The Windows build that runs here: win32 where this machine runs 32-bit programs, else win64
# (WORDROPE_WIN64=1 chooses win64 anyway), as scripts/machine.sh finds it.
ARCH := $(firstword $(shell scripts/machine.sh))
# The game folder of that build, as CMake wrote it in the build's facts (known once it is built).
GAME = $(shell sed -n 's/^game=//p' build/$(ARCH)/facts.txt)
DISPLAYED := scripts/wine.sh display

all: native win32 win64

# Set-up runs again only when its script changed or dpkg's database did (a package came or went).
BOOTSTRAPPED := build/bootstrapped
bootstrap: $(BOOTSTRAPPED)
$(BOOTSTRAPPED): scripts/bootstrap.sh scripts/machine.sh $(wildcard /var/lib/dpkg/status)
	@bash scripts/bootstrap.sh
	@mkdir -p $(@D) && touch $@

# One rule builds any preset of CMakePresets.json: make native, make win32, ... (the fuzzers'
# preset is "fuzz": make fuzzers). A build folder is configured once, or again for new presets;
# CMake's own regeneration follows every other change.
native win32 win64 asan: %: build-%
fuzzers: build-fuzz
build-%: build/%/build.ninja
	@cmake --build --preset $*
build/%/build.ninja: CMakePresets.json | $(BOOTSTRAPPED)
	@cmake --preset $* >/dev/null
.PRECIOUS: build/%/build.ninja  # not a step's leftover: the build itself

# The 32-bit game we ship, and the build that runs here.
windows: win32
	@$(if $(filter win64,$(ARCH)),$(MAKE) --no-print-directory win64)

machine:
	@said=$$(scripts/machine.sh) && echo "$$said" | sed 's/^win\([0-9]*\) /make test: the Wine suites will run on the \1-bit build: /'

# The tree's form and what clang-tidy finds by reading it, through the builds' compile commands.
lint: native win32
	@scripts/lint.sh

# Every test: the lint first; the engine natively and under the sanitizers, a short fuzzing run, the
# release built again, then the executables' files and, under Wine, the engine again, the checker
# and the window.
test: machine lint win64 asan fuzzers
	@ctest --preset native
	@ctest --preset asan
	@ctest --preset fuzz
	@$(MAKE) --no-print-directory reproducible
	@scripts/test-windows.sh

# Longer fuzzing of the bitmap check: FUZZ_SECONDS.
fuzz: fuzzers
	@tests/fuzz/run-fuzzer.sh build/fuzz/tests/fuzz/fuzz_bitmap $(FUZZ_SECONDS) \
	  tests/fuzz/seeds/bitmap build/fuzz/tests/fuzz/corpus-bitmap

run: windows
	@scripts/wine.sh play $(GAME)

screenshot: windows
	@$(DISPLAYED) python3 scripts/screenshot.py $(GAME) docs/screenshot.png

# The zip of the 32-bit game folder as built here, whatever the toolchain.
zip: win32
	@scripts/release.py zip

# The release: that zip made with the release toolchain, here if this machine has it, else in a
# Debian of the release it comes from: the same bytes from the same commit.
dist: win32
	@scripts/release.py dist

# The 32-bit game built again in another folder must come out byte for byte the same, zip and all.
reproducible: win32
	@scripts/release.py reproducible

bench: native
	@build/native/bench/draw_bench

# The long soak: 500 games in one process under Wine, in a prefix of its own.
soak: windows
	@WORDROPE_PREFIX_KIND=soak WORDROPE_SOAK_GAMES=500 WORDROPE_GAME_DIR=$(GAME) $(DISPLAYED) \
	  scripts/wine.sh exec $(ARCH) build/$(ARCH)/tests/window_tests.exe --gtest_filter='*Soak*'

# The end-to-end suites RUNS times (10), LOAD busy processes beside them (0): how steady they are.
e2e-runs: windows
	@LOAD=$(LOAD) WORDROPE_WINE_ARCH=$(ARCH) $(DISPLAYED) scripts/e2e-runs.sh $(ARCH) $(RUNS)

# make test in a minimal Debian 13 or 12 (scripts/in-debian.sh), on a clone of this commit.
test-debian13 test-debian12: test-debian%: $(BOOTSTRAPPED)
	@scripts/in-debian.sh $* make test

clean:
	rm -rf build

# The Debian systems in-debian.sh made, outside the checkout.
clean-debian:
	@scripts/in-debian.sh --remove 12
	@scripts/in-debian.sh --remove 13
