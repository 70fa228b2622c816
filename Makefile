# Two commands for a newcomer:
#   make run    install what is missing, build, start the game
#   make test   install what is missing, build, run every test (also under ASan/UBSan)
#   make install PREFIX=DIR   install the game (default /usr/local; DESTDIR works too)

# What the game needs to build and run (libpng for the icons the build makes);
# the tests and benchmarks need the rest.
RUN_PACKAGES := cmake make g++ libsdl2-dev libsdl2-ttf-dev libpng-dev fonts-liberation libx11-dev \
                libxext-dev
PACKAGES := $(RUN_PACKAGES) libgtest-dev libbenchmark-dev xvfb xdotool x11-utils openbox \
            appstream desktop-file-utils groff-base
BUILD    := build
ASAN     := build-asan
FUZZ     := build-fuzz
# clang and the runtime of its libFuzzer, for `make fuzz` only.
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_RUNS ?= 2000000
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX   ?= /usr/local

.PHONY: run test build deps asan bench format clean install fuzz fuzz-corpus soak

# Only the game: no test or benchmark libraries needed or built.
run:
	$(MAKE) --no-print-directory deps PACKAGES="$(RUN_PACKAGES)"
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLAX_TESTS=OFF -DVORLAX_BENCH=OFF
	cmake --build $(BUILD) -j$(JOBS) --target vorlax
	cd $(BUILD) && ./vorlax

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	$(MAKE) --no-print-directory asan

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLAX_TESTS=ON -DVORLAX_BENCH=ON
	cmake --build $(BUILD) -j$(JOBS)

# The unit tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The end-to-end tests drive the real game under Xvfb and run in the normal build only.
asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVORLAX_SANITIZE=ON -DVORLAX_BENCH=OFF
	cmake --build $(ASAN) -j$(JOBS) --target vorlax_tests
	cd $(ASAN) && LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j$(JOBS) -E '^E2E'

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The long automatic run: SOAK_GAMES whole games by the scripted player, under
# AddressSanitizer and UBSan, every frame checked (make test plays a few short
# ones). SOAK_SEED picks another seed; a failure names the seed and the game.
# Its own build is optimised (a thousand games take hours at -O0) but keeps
# the assertions that check every array index.
SOAK_GAMES ?= 1000
SOAK_SEED  ?= 1207
SOAK       := build-soak
soak: deps
	cmake -S . -B $(SOAK) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O2" \
	    -DVORLAX_SANITIZE=ON -DVORLAX_BENCH=OFF
	cmake --build $(SOAK) -j$(JOBS) --target vorlax_tests
	cd $(SOAK) && LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    VORLAX_SOAK_GAMES=$(SOAK_GAMES) VORLAX_SOAK_SEED=$(SOAK_SEED) \
	    ./vorlax_tests --gtest_filter='Soak.*'

# Fuzzes the three readers of files a player may have touched, the high-score
# file, the bitmaps and the replays, each for FUZZ_RUNS inputs (under ASan and UBSan, no
# input may take a second or allocate more than 4 MB at once). New inputs go
# to $(FUZZ)/corpus; tests/data/fuzz/ seeds them and is replayed by make test.
fuzz:
	$(MAKE) --no-print-directory deps PACKAGES="cmake make g++ $(FUZZ_PACKAGES)"
	cmake -S fuzz -B $(FUZZ) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ) -j$(JOBS)
	for t in high_score bitmap replay; do \
	  mkdir -p $(FUZZ)/corpus/$$t && \
	  ASAN_OPTIONS=quarantine_size_mb=16 $(FUZZ)/fuzz_$$t -runs=$(FUZZ_RUNS) -timeout=1 \
	    -malloc_limit_mb=4 -rss_limit_mb=512 -max_len=12000 -print_final_stats=1 \
	    $(FUZZ)/corpus/$$t tests/data/fuzz/$$t || exit 1; \
	done

# Replaces the committed corpus by the smallest set of inputs that covers
# what the fuzzers have reached so far (run `make fuzz` first).
fuzz-corpus:
	for t in high_score bitmap replay; do \
	  rm -rf $(FUZZ)/merged/$$t && mkdir -p $(FUZZ)/merged/$$t && \
	  $(FUZZ)/fuzz_$$t -merge=1 $(FUZZ)/merged/$$t tests/data/fuzz/$$t $(FUZZ)/corpus/$$t && \
	  rm -rf tests/data/fuzz/$$t && cp -r $(FUZZ)/merged/$$t tests/data/fuzz/$$t || exit 1; \
	done

bench: build
	cd $(BUILD) && ./vorlax_bench

format:
	find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(SOAK)

# Installs the Debian packages that are missing: directly as root, through sudo
# otherwise; without either it names the packages and stops.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:$$missing"; \
	  if [ "$$(id -u)" = 0 ]; then SUDO=""; \
	  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then SUDO="sudo -n"; \
	  else echo "error: these Debian packages are needed:$$missing"; \
	       echo "       install them as root: apt-get install -y$$missing"; exit 1; fi; \
	  $$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi
