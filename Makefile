# Front door of the project. `make run` and `make test` install what is
# missing (scripts/bootstrap), configure, build and then run or test.
JOBS ?= $(shell nproc)
BUILD := build/release
ASAN := build/asan
THREAD_SAFETY := build/thread-safety
CMAKE_FLAGS ?=

.PHONY: all bootstrap build run test test-release test-asan test-thread-safety bench fuzz tsan clean

all: build

bootstrap:
	@bash scripts/bootstrap

$(BUILD)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: bootstrap $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run $(BUILD)

test: test-release test-asan test-thread-safety

test-release: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: bootstrap
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DCE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# The layers whose shared state carries thread-safety annotations, built by
# clang with -Wthread-safety; any warning fails it.
test-thread-safety: bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(THREAD_SAFETY) -DCMAKE_BUILD_TYPE=Debug -DCE_THREAD_SAFETY=ON $(CMAKE_FLAGS)
	cmake --build $(THREAD_SAFETY) -j $(JOBS) --target ce_window ce_testing

tsan: bootstrap
	cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DCE_TSAN=ON $(CMAKE_FLAGS)
	cmake --build build/tsan -j $(JOBS)
	ctest --test-dir build/tsan --output-on-failure -j $(JOBS)

bench: bootstrap
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCE_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build/bench -j $(JOBS)
	@bash scripts/bench build/bench

fuzz: bootstrap
	@bash scripts/fuzz

clean:
	rm -rf build
