# make run   installs what is missing, builds and starts the program (pass ARGS="paths")
# make test  installs what is missing, builds and runs every test, then all of them
#            again under AddressSanitizer and UndefinedBehaviorSanitizer (UI offscreen)
# make bench builds and runs the benchmarks, ending with how many goals were met ("N ok, M over")
# make fuzz  runs the parser fuzz tests under the sanitizers for FUZZ_SECONDS each
#            (60 by default; make test runs them for 2 seconds)
JOBS  ?= $(shell nproc)
BUILD ?= build
ASAN  ?= build-asan
BENCH ?= build-bench
ARGS  ?=
FUZZ_SECONDS ?= 60

.PHONY: deps build run test test-main test-asan bench fuzz clean

deps:
	./scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/varnel $(ARGS)

test: build test-main test-asan

test-main:
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN)/build.ninja:
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEL_SANITIZE=ON -DVARNEL_BUILD_UI=ON

test-asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)

$(BENCH)/build.ninja:
	cmake -S . -B $(BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_BUILD_UI=OFF -DVARNEL_BUILD_TESTS=OFF -DVARNEL_BUILD_BENCH=ON

bench: deps $(BENCH)/build.ninja
	cmake --build $(BENCH) -j $(JOBS)
	./scripts/run_benchmarks.sh $(BENCH)

fuzz: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	for t in $(ASAN)/test_*; do [ -x "$$t" ] || continue; \
	  VARNEL_FUZZ_SECONDS=$(FUZZ_SECONDS) "$$t" --gtest_filter='*Fuzz.*' || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN) $(BENCH)
