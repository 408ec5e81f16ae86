# The two commands of the project: `make test` and `make demo`.
.PHONY: all deps native windows windows64 fuzz test demo dist bench soak clean format

JOBS ?= 2

all: native

deps:
	@scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

# The 64-bit plugin, for a 64-bit host.
windows64: deps
	cmake --preset windows64 >/dev/null
	cmake --build --preset windows64 -j $(JOBS)

# The Windows builds come first: the native tree then finds both Pixlor.dll and
# pixlor-host.exe for the Wine tests and the DLL checks.
test: windows windows64
	$(MAKE) --no-print-directory native
	$(MAKE) --no-print-directory fuzz
	ctest --preset native
	ctest --preset fuzz

# libFuzzer targets (clang); `make test` runs each one briefly over its corpus.
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

# WINDOWS=1 runs the real 32-bit Pixlor.dll under Wine instead of the native
# plugin, WINDOWS=64 the 64-bit one under 64-bit Wine.
demo:
	@WINDOWS=$(WINDOWS) tools/e2e/demo.sh

# The plugin folder as a user installs it, one zip per machine type:
# dist/Pixlor-x86.zip (32-bit FAR) and dist/Pixlor-x64.zip (64-bit FAR 3).
dist: windows windows64
	rm -rf dist
	scripts/make-dist.sh x86 build/windows/Pixlor dist
	scripts/make-dist.sh x64 build/windows64/Pixlor dist

# The benchmarks on an optimised build, then the real DLLs under Wine (from the
# windows and windows64 builds: the 64-bit one in the goal cell and the open
# rows, beside the 32-bit one); they print their tables (about 20 minutes).
bench: windows windows64
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target pixlor-bench-transfer pixlor-bench-open \
	  pixlor-bench-listing pixlor-bench-model pixlor-camsim
	bench/run.sh build/release

# The emulator soak: 500 cycles of open, copy, move and delete with random
# faults, in parallel lanes (one process each); prints the added-up figures.
LANES ?= 20
CYCLES ?= 500
SEED ?= 20020518
soak: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target test_reliability
	scripts/emulator-soak.py build/native/tests/reliability/test_reliability \
	  --cycles $(CYCLES) --lanes $(LANES) --seed $(SEED)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
