# Densora: the desktop program for moisture-density (compaction) tests.
# Each build folder is a preset of CMakePresets.json: build/ (default), build-asan/, build-fuzz/,
# build-windows/ (64-bit Windows, cross-built with MinGW-w64 and run under Wine).
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CORE_SOURCES  = $(filter-out src/framework/file_io_win.cpp,$(wildcard src/framework/*.cpp src/model/*.cpp src/file/*.cpp src/chart/*.cpp src/print/*.cpp))
FORMATTED     = $(shell git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp')

.PHONY: all deps build run test test-network test-asan fuzz bench lint format package install-check icons clean \
  deps-windows windows test-windows windows-package test-windows-package

all: build

deps:
	./tools/install-deps

build/CMakeCache.txt:
	cmake --preset default

build: deps build/CMakeCache.txt
	cmake --build --preset default -j $(JOBS)

run: build
	exec ./build/densora $(ARGS)

test: build
	ctest --preset default -j $(JOBS)

# The shared-folder tests on a real network file system: one folder mounted twice over sshfs.
test-network: build
	./tools/test-network

build-asan/CMakeCache.txt:
	cmake --preset asan

test-asan: deps build-asan/CMakeCache.txt
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

build-fuzz/CMakeCache.txt:
	cmake --preset fuzz

# Each fuzzer runs FUZZ_SECONDS: the .lng reader's, then write's JSON's.
fuzz: deps build-fuzz/CMakeCache.txt
	cmake --build --preset fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus build-fuzz/corpus-json
	./build-fuzz/fuzz/fuzz_lng_reader -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  -rss_limit_mb=1024 build-fuzz/corpus fuzz/corpus
	./build-fuzz/fuzz/fuzz_write_json -max_total_time=$(FUZZ_SECONDS) -max_len=8192 \
	  -rss_limit_mb=1024 -dict=fuzz/record-json.dict build-fuzz/corpus-json fuzz/corpus-json

bench: build
	./build/bench/densora_bench
	./build/bench/densora_bench_family
	QT_QPA_PLATFORM=offscreen ./build/bench/densora_bench_tree
	./build/bench/densora_bench_startup
	./bench/cli_show_bench.sh build

# The written habits: the format of .clang-format, and the core's .clang-tidy checks.
lint: deps build/CMakeCache.txt
	clang-format --dry-run -Werror $(FORMATTED)
	clang-tidy --quiet -p build $(CORE_SOURCES)

format:
	clang-format -i $(FORMATTED)

# The Debian package, build/package/densora_<version>-<revision>_<arch>.deb.
package: build
	rm -f build/package/densora_*.deb
	cmake --build --preset default --target package

# The install and the package as the desktop's and Debian's tools check them.
install-check: package
	./tools/check-install build

# The icons' PNGs, rendered again from their SVGs (res/icons/).
icons: deps
	./tools/render-icons

# Windows: Qt for MinGW-w64 laid out by tools/windows-qt, one Wine prefix of the build's own.
export WINEPREFIX := $(CURDIR)/build-windows/wine
export WINEDEBUG  := -all

build-windows/CMakeCache.txt:
	./tools/windows-qt
	cmake --preset windows

deps-windows:
	./tools/install-deps windows

windows: deps-windows build-windows/CMakeCache.txt
	cmake --build --preset windows -j $(JOBS)

# The core and CLI tests under Wine, the CLI's outputs against the Linux build's, and the
# desktop program under Wine and Xvfb.
test-windows: windows build
	ctest --preset windows -j $(JOBS)
	./tools/test-windows

# build-windows/package/densora-<version>-win64.zip (and the installer where makensis exists).
windows-package: windows
	rm -f build-windows/package/densora-*
	cd build-windows && cpack

# The installer under Wine: a silent install into the build's prefix, its files and registry
# keys, the installed CLI against the Linux build's, and a silent uninstall.
test-windows-package: windows-package build
	./tools/test-windows --package

clean:
	rm -rf build build-asan build-fuzz build-windows build-windows-qt
