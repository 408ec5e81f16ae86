# The two commands of the project: `make test` and `make demo`.
.PHONY: all deps native windows fuzz test demo dist bench soak fuzz-deep fault-loop clean format

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

# The Windows build comes first: the native tree then finds Pixlor.dll and
# pixlor-host.exe for the Wine tests and the DLL check.
test: windows
	$(MAKE) --no-print-directory native
	$(MAKE) --no-print-directory fuzz
	ctest --preset native
	ctest --preset fuzz

# libFuzzer targets (clang); `make test` runs each one briefly over its corpus.
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

# WINDOWS=1 runs the real Pixlor.dll under Wine instead of the native plugin.
demo:
	@WINDOWS=$(WINDOWS) tools/e2e/demo.sh

# The plugin folder as a user installs it, and its zip.
dist: windows
	rm -rf dist
	mkdir -p dist/Pixlor
	cp build/windows/Pixlor/Pixlor.dll build/windows/Pixlor/*.lng build/windows/Pixlor/*.hlf dist/Pixlor/
	printf '%s\r\n' "Pixlor 1.2 - digital camera panel for FAR Manager 1.70" "" \
	  "Installation: copy this Pixlor folder into the Plugins folder of FAR Manager" \
	  "and restart FAR. Open the camera from the disk menu (Alt-F1 or Alt-F2);" \
	  "set the serial port and speed in Options, Plugins configuration." > dist/Pixlor/Install.txt
	cd dist && zip -qr Pixlor.zip Pixlor

# The benchmarks on an optimised build, then the real DLL under Wine (from the
# windows build); they print their tables (about a quarter of an hour).
bench: windows
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

# Fuzzing in depth (not part of `make test`): every target to 10 million
# executions or FUZZ_SECONDS each, from the stored corpora, merging what adds
# coverage back into them; prints executions, coverage and time per target.
FUZZ_SECONDS ?= 210
fuzz-deep: fuzz
	scripts/fuzz-deep.sh build/fuzz/tests/fuzz $(FUZZ_SECONDS)

# The fault loop with every k (`make test` runs it with k sampled); prints the
# runs per operation and mode.
fault-loop: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target test_reliability
	PIXLOR_FAULT_LOOP=full build/native/tests/reliability/test_reliability \
	  --gtest_filter='Ops/FaultLoop.*' | grep -E '^fault loop|FAILED|Failure'

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
