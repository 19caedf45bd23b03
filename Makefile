# The two commands: `make run` and `make test`. Both install what is missing.
NATIVE  := build/native
WINDOWS := build/windows
FUZZ    := build/fuzz
BENCH   := build/bench
JOBS    ?= 2

.PHONY: all deps native windows fuzz test test-native test-windows test-fuzz bench run dist clean

all: native windows

deps:
	@sh tools/bootstrap.sh

native: deps
	@test -f $(NATIVE)/CMakeCache.txt || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DZEVA_SANITIZE=ON
	cmake --build $(NATIVE) -j $(JOBS)

windows: deps
	@test -f $(WINDOWS)/CMakeCache.txt || cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(WINDOWS) -j $(JOBS)

fuzz: deps
	@test -f $(FUZZ)/CMakeCache.txt || CC=clang CXX=clang++ cmake -S . -B $(FUZZ) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVA_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

# The Windows tests run one at a time: they share one Wine server, and tests
# that break into or kill plug-in processes have disturbed the processes of
# a test running beside them (seen in a clean clone, never when run alone).
# A test that fails is run once more before the run counts as failed; every
# failure stays in the log.
test-windows: windows
	sh tools/wine-prep.sh
	cd $(WINDOWS) && ctest --output-on-failure -j 1 --repeat until-pass:2

test-fuzz: fuzz
	cd $(FUZZ) && ctest --output-on-failure -j $(JOBS)

test: test-native test-windows test-fuzz

bench: deps
	@test -f $(BENCH)/CMakeCache.txt || cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DZEVA_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS) --target store_bench store_callgrind titleview_bench search_bench keypage_bench
	$(BENCH)/tests/bench/store_bench
	$(BENCH)/tests/bench/titleview_bench
	$(BENCH)/tests/bench/search_bench
	$(BENCH)/tests/bench/keypage_bench
	$(MAKE) windows
	cmake --build $(WINDOWS) -j $(JOBS) --target zeva_startbench zeva_titleopenbench
	tools/wine-run-x.sh $(WINDOWS)/tools/bench/titleopen/zeva_titleopenbench.exe
	tools/wine-run-x.sh $(WINDOWS)/tools/bench/startup/zeva_startbench.exe \
		"$$(printf 'Z:%s' "$$PWD/$(WINDOWS)/zeva.exe" | tr / '\\')" \
		"$$(printf 'Z:%s' "$$PWD/$(WINDOWS)/tools/bench/startup/zeva_minimal.exe" | tr / '\\')"
	cmake --build $(WINDOWS) -j $(JOBS) --target zeva_folderbench
	tools/wine-run-x.sh $(WINDOWS)/tools/bench/folderview/zeva_folderbench.exe

# A patrol of demo boards served by the local board simulator (tools/demo/run.sh).
run: windows
	sh tools/demo/run.sh

# The zip for Windows users (tools/dist.sh).
dist: windows
	sh tools/dist.sh

clean:
	rm -rf build
