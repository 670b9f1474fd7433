# Densora: the desktop program for moisture-density (compaction) tests.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps build run test test-asan fuzz bench clean

all: build

deps:
	./tools/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/densora ]; then exec ./$(BUILD)/densora $(ARGS); \
	else echo "The desktop program is not built yet; starting densora-cli --help."; \
	     exec ./$(BUILD)/densora-cli --help; fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDENSORA_SANITIZE=ON

test-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DDENSORA_FUZZ=ON -DDENSORA_WITH_QT=OFF

fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_lng_reader
	mkdir -p $(FUZZ_BUILD)/corpus
	./$(FUZZ_BUILD)/fuzz/fuzz_lng_reader -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  -rss_limit_mb=1024 $(FUZZ_BUILD)/corpus fuzz/corpus

bench: build
	./$(BUILD)/bench/densora_bench
	./$(BUILD)/bench/densora_bench_tree

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
