# Newcomer entry points: `make run` builds and starts the program, `make test` builds and runs every test.
PACKAGES := cmake make g++ pkg-config python3 libsqlite3-dev libgtest-dev libgmock-dev qt6-base-dev qt6-svg-dev qt6-image-formats-plugins qt6-translations-l10n libgif-dev wine xvfb x11-utils clang-format libglib2.0-bin libhivex-dev reglookup chntpw
FUZZ_PACKAGES := clang libclang-rt-14-dev
JOBS ?= $(shell nproc)
BUILD := build
CMAKE_FLAGS ?=

.PHONY: run test bench asan fuzz deps build format tidy

deps:
	@./tools/install-deps.sh $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@./tools/run-gui.sh $(BUILD)/hivewright

test: build
	@./tools/install-deps.sh $(FUZZ_PACKAGES)
	@./tools/fuzz-smoke.sh build-fuzz
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B build-asan -DHW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp \
		ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DHW_BENCH=ON -DHW_TESTS=OFF -DHW_WERROR=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j $(JOBS)
	@./bench/run.sh build-bench

fuzz:
	@./tools/install-deps.sh $(PACKAGES) $(FUZZ_PACKAGES)
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DHW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS)
	@echo "fuzz targets are in build-fuzz/fuzz; run one with its corpus folder, e.g."
	@echo "  build-fuzz/fuzz/fuzz_<name> -max_total_time=600 fuzz/corpus/<name>"

tidy: deps
	@./tools/install-deps.sh clang-tidy
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	run-clang-tidy -quiet -p $(BUILD) -j $(JOBS) -extra-arg=-Wno-unknown-warning-option '$(CURDIR)/src/.*\.cpp'

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i
