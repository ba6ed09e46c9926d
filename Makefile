# Duvarin: a thin front over the CMake project.
#   make run    builds everything and opens the program under Wine
#   make test   builds everything and runs every test, natively and under Wine,
#               then every command the README names in a short run
JOBS ?= $(shell nproc)
HOST := build/host
WIN  := build/win
# The Windows build runs dvtool.exe under Wine, so the prefix comes first.
CONFIGURE_WIN = cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all setup host win prefix test test-host test-wine test-commands run clean

all: host win

setup:
	@tools/setup.sh

# The native build runs under AddressSanitizer and UndefinedBehaviorSanitizer:
# the pure code's tests then check memory and arithmetic too, in one tree.
host: setup
	@cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUVARIN_SANITIZE=ON >/dev/null
	@cmake --build $(HOST) -j $(JOBS)

win: setup prefix
	@$(CONFIGURE_WIN)
	@cmake --build $(WIN) -j $(JOBS)

prefix: setup
	@tools/wine-prefix.sh

test-host: host
	cd $(HOST) && ctest $(CTEST_FLAGS)

test-wine: win prefix
	tools/with-display.sh sh -c 'cd $(WIN) && ctest $(CTEST_FLAGS)'

test: test-host test-wine test-commands

# The commands the README advertises, each in a short run, so that none of
# them stops working unnoticed: fuzzing 2 s a target, every benchmark once,
# the package, and each measurement script on one quick case.
test-commands: win prefix
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=2
	tools/bench.sh --benchmark_min_time=0.01 >/dev/null
	$(MAKE) --no-print-directory dist
	tools/measure-exe.sh $(WIN) >/dev/null
	tools/measure-idle.sh $(WIN) 1
	tools/measure-gui.sh $(WIN) 1
	tools/measure-download.sh $(WIN) 'EmptyDatabaseDownloadTest\.AllFiveTablesDownloadFromNginx$$'

run: win prefix
	@tools/run.sh $(WIN)

clean:
	rm -rf build

# make dist   builds the Windows package build/dist/duvarin-VERSION-win32.zip
# make dist QUOTATION_HOST=name   the same for a program that downloads from
#             that host, built in build/win-name into build/dist/name/
.PHONY: dist
dist: WIN = build/win$(if $(QUOTATION_HOST),-$(QUOTATION_HOST))
dist: setup prefix
	@$(CONFIGURE_WIN) $(if $(QUOTATION_HOST),-DDUVARIN_QUOTATION_HOST=$(QUOTATION_HOST))
	@cmake --build $(WIN) -j $(JOBS) --target duvarin dvtool default_database
	@tools/make-dist.sh $(WIN) build/dist$(if $(QUOTATION_HOST),/$(QUOTATION_HOST))

# Quality runs of the pure code: the fuzzers (FUZZ_SECONDS per target) and
# the benchmarks.
FUZZ_SECONDS ?= 60
.PHONY: fuzz bench

fuzz: setup
	@tools/fuzz.sh $(FUZZ_SECONDS)

bench: setup
	@tools/bench.sh
