# The two commands of the project: `make test` and `make demo`.
.PHONY: all deps native windows test demo clean format

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

test: native windows
	ctest --preset native

demo: native
	@echo "The demo arrives with the test host: not yet."

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
