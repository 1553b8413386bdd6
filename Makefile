# The two commands that matter: `make run` and `make test`.
.PHONY: all deps build run test format-check test-release test-asan clang bench fuzz fuzz-model fuzz-jani clean

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

# Fuzz the JANI importer for FUZZ_SECONDS (default 60), seeded with examples/jani.
fuzz-jani: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DVELMOR_FUZZ=ON -DVELMOR_BENCH=OFF >/dev/null
	cmake --build build-fuzz --target jani_fuzzer
	mkdir -p build-fuzz/jani-corpus
	build-fuzz/bin/jani_fuzzer build-fuzz/jani-corpus examples/jani \
	  -max_total_time=$${FUZZ_SECONDS:-60} -max_len=8192

# Fuzz the model parser for FUZZ_SECONDS (default 60) with libFuzzer.
fuzz-model: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DVELMOR_FUZZ=ON -DVELMOR_BENCH=OFF >/dev/null
	cmake --build build-fuzz --target model_parser_fuzz
	mkdir -p build-fuzz/corpus
	build-fuzz/bin/model_parser_fuzz build-fuzz/corpus tests/fuzz/corpus \
	  -max_total_time=$${FUZZ_SECONDS:-60} -max_len=8192

clean:
	rm -rf build build-debug build-asan build-clang build-fuzz results
