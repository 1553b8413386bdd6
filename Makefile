# The two commands that matter: `make run` and `make test`.
.PHONY: all deps build run test format-check test-release test-asan clang bench fuzz clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

run: deps
	@bash tools/run-study.sh

test-release: build
	ctest --preset release

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

# The tree must match .clang-format before the suites run.
format-check: deps
	@bash tools/check-format.sh

test: format-check test-release test-asan

clang: deps
	cmake --preset clang >/dev/null
	cmake --build --preset clang

bench: build
	@bash tools/run-bench.sh

# Each libFuzzer target for FUZZ_SECONDS (default 60) from the seed corpus.
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	@bash tools/run-fuzz.sh
