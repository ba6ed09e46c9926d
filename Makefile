# Duvarin: a thin front over the CMake project.
#   make run    builds everything and opens the program under Wine
#   make test   builds everything and runs every test, natively and under Wine,
#               then every command the README names in a short run
#
# The product is the i686 program in build/win. Its Windows tests run under
# 32-bit Wine where this machine starts 32-bit programs; where it cannot, an
# x86_64 build of the same sources (build/win64) runs them under 64-bit Wine.
# tools/wine-arch.sh decides once setup has installed Wine, and says which;
# DUVARIN_WINE_ARCH=win32 or win64 forces either way.
JOBS ?= $(shell nproc)
HOST := build/host
WIN  := build/win
WIN64 := build/win64
NATIVE_DVTOOL := $(CURDIR)/$(HOST)/tools/dvtool/dvtool
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)
export DUVARIN_WINE_ARCH

.PHONY: all setup host native-dvtool product win win64 test-win prefix test test-host test-wine \
        test-commands run clean dist fuzz bench

setup:
	@tools/setup.sh

# The native build runs under AddressSanitizer and UndefinedBehaviorSanitizer:
# the pure code's tests then check memory and arithmetic too, in one tree.
CONFIGURE_HOST = cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUVARIN_SANITIZE=ON >/dev/null
host: setup
	@$(CONFIGURE_HOST)
	@cmake --build $(HOST) -j $(JOBS)

test-host: host
	cd $(HOST) && ctest $(CTEST_FLAGS)

# The Windows builds compare their dv.dat with the native dvtool's.
native-dvtool: setup
	@$(CONFIGURE_HOST)
	@cmake --build $(HOST) -j $(JOBS) --target dvtool

clean:
	rm -rf build

# Quality runs of the pure code: the fuzzers (FUZZ_SECONDS per target) and
# the benchmarks.
FUZZ_SECONDS ?= 60

fuzz: setup
	@tools/fuzz.sh $(FUZZ_SECONDS)

bench: setup
	@tools/bench.sh

ifeq ($(WINE_WAY_DECIDED),)
# Which Wine can only be asked once setup has installed it: these targets
# set up, ask (and say the answer), and run again with it.
all test win win64 product test-win prefix test-wine test-commands run dist: setup
	@arch=$$(tools/wine-arch.sh --say) && \
	    $(MAKE) --no-print-directory $@ DUVARIN_WINE_ARCH=$$arch WINE_WAY_DECIDED=1
else

ifeq ($(DUVARIN_WINE_ARCH),win64)
# The build the Windows tests run: the x86_64 one.
TEST_WIN := $(WIN64)
# The i686 build runs none of its programs here: its dv.dat comes from the
# native dvtool.
RUN_BUILD_STEPS := OFF
else
TEST_WIN := $(WIN)
RUN_BUILD_STEPS := ON
endif

CONFIGURE_WIN = cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUVARIN_NATIVE_DVTOOL=$(NATIVE_DVTOOL) \
    -DDUVARIN_RUN_BUILD_STEPS=$(RUN_BUILD_STEPS) >/dev/null
CONFIGURE_WIN64 = cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUVARIN_NATIVE_DVTOOL=$(NATIVE_DVTOOL) \
    -DDUVARIN_PRODUCT_BUILD=$(CURDIR)/$(WIN) >/dev/null

all: host test-win

test: test-host test-wine test-commands

# The product. Where it runs here, building dv.dat runs dvtool.exe under
# Wine, so the prefix comes first.
win: setup native-dvtool $(if $(filter ON,$(RUN_BUILD_STEPS)),prefix)
	@$(CONFIGURE_WIN)
	@cmake --build $(WIN) -j $(JOBS)

# The product's programs and dv.dat, without its tests.
product: setup native-dvtool $(if $(filter ON,$(RUN_BUILD_STEPS)),prefix)
	@$(CONFIGURE_WIN) $(QUOTATION_HOST_FLAG)
	@cmake --build $(WIN) -j $(JOBS) --target duvarin dvtool default_database

# The x86_64 test build; its package and import checks inspect the product.
win64: setup native-dvtool product prefix
	@$(CONFIGURE_WIN64)
	@cmake --build $(WIN64) -j $(JOBS)

# Whichever of the two the Windows tests run.
test-win: $(if $(filter win64,$(DUVARIN_WINE_ARCH)),win64,win)

prefix: setup
	@tools/wine-prefix.sh

test-wine: test-win prefix
	tools/with-display.sh sh -c 'cd $(TEST_WIN) && ctest $(CTEST_FLAGS)'

# The commands the README advertises, each in a short run, so that none of
# them stops working unnoticed: fuzzing 2 s a target, every benchmark once,
# the package, and each measurement script on one quick case.
test-commands: test-win prefix
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=2
	tools/bench.sh --benchmark_min_time=0.01 >/dev/null
	$(MAKE) --no-print-directory dist
	tools/measure-exe.sh $(WIN) >/dev/null
	tools/measure-idle.sh $(TEST_WIN) 1
	tools/measure-gui.sh $(TEST_WIN) 1
	tools/measure-download.sh $(TEST_WIN) 'EmptyDatabaseDownloadTest\.AllFiveTablesDownloadFromNginx$$'

run: test-win prefix
	@tools/run.sh $(TEST_WIN)

# make dist   builds the Windows package build/dist/duvarin-VERSION-win32.zip,
#             the i686 program on every machine, the same bytes from the same
#             commit anywhere, and SHA256SUMS beside it
# make dist QUOTATION_HOST=name   the same for a program that downloads from
#             that host, built in build/win-name into build/dist/name/
dist: WIN = build/win$(if $(QUOTATION_HOST),-$(QUOTATION_HOST))
dist: QUOTATION_HOST_FLAG = $(if $(QUOTATION_HOST),-DDUVARIN_QUOTATION_HOST=$(QUOTATION_HOST))
dist: product
	@tools/make-dist.sh $(WIN) build/dist$(if $(QUOTATION_HOST),/$(QUOTATION_HOST))

endif
