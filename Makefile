# Entry points: `make run` and `make test` do all the set-up on a fresh Debian machine.
JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
BUILD  ?= build
ASAN   ?= build-asan
FUZZ   ?= build-fuzz
# make fuzz: the fuzz targets one after another, each for FUZZ_SECONDS on two workers
# (override FUZZ_TARGETS to pick).
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
PKG    ?= build-package
CMAKE  ?= cmake
# Compiler cache where the machine has one: worktrees and repeated builds share their objects.
LAUNCH := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR ?= $(abspath $(dir $(lastword $(MAKEFILE_LIST)))/..)

.PHONY: all deps build build-asan build-fuzz fuzz test test-plain test-asan test-package run bench \
        package format clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	@$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCH) >/dev/null

$(ASAN)/CMakeCache.txt: | deps
	@$(CMAKE) -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DFENNICK_SANITIZE=ON -DFENNICK_BENCH=OFF $(LAUNCH) >/dev/null

$(FUZZ)/CMakeCache.txt: | deps
	@scripts/install-deps.sh --fuzz
	@$(CMAKE) -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENNICK_FUZZ=ON \
	    -DCMAKE_CXX_COMPILER=clang++ $(LAUNCH) >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@$(CMAKE) --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN)/CMakeCache.txt
	@$(CMAKE) --build $(ASAN) -j $(JOBS)

build-fuzz: deps $(FUZZ)/CMakeCache.txt
	@$(CMAKE) --build $(FUZZ) -j $(JOBS) --target fuzz_targets

fuzz: build-fuzz
	@scripts/run-fuzz.sh $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

test-plain: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	@cd $(ASAN) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# lintian checks the packages once, after both test runs: any error or warning fails.
test-package: package
	@tests/packaging/debs.sh $(PKG)

test: test-plain test-asan test-package

# The Debian packages (debian/), built by dpkg-buildpackage from a copy of the working tree in
# $(PKG)/fennick, so that they land in $(PKG)/ and not beside the checkout. The compiler cache,
# where there is one, reaches CMake through its launcher variables; its folder is named, because
# debhelper gives the build a HOME of its own that it deletes afterwards.
PKG_COPY := $(PKG)/fennick
PKG_ENV  := $(if $(LAUNCH),CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache \
              CCACHE_DIR=$(shell ccache -k cache_dir 2>/dev/null))
package: deps
	@rm -rf $(PKG) && mkdir -p $(PKG_COPY)
	@tar -cf - --exclude-vcs --exclude=./$(PKG) --exclude='./build*' . | tar -xf - -C $(PKG_COPY)
	@cd $(PKG_COPY) && $(PKG_ENV) dpkg-buildpackage -b -us -uc -j$(JOBS) >../build.log 2>&1 \
	    || { tail -n 60 ../build.log; echo "The whole log: $(PKG)/build.log"; exit 1; }
	@ls $(PKG)/*.deb

run: build
	@scripts/run-demo.sh $(BUILD)

bench: build
	@scripts/run-bench.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(PKG)
