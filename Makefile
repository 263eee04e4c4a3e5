# Set-up, build and test on Debian 12. Run as root to let it install the
# missing packages itself; otherwise it prints the one command to run.

BUILD    ?= build
ASAN     ?= build-asan
JOBS     ?= $(shell nproc)
OUT      ?= out
CMAKE_ARGS ?=

PACKAGES := cmake g++ make pkg-config \
	qt6-base-dev libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev zlib1g-dev \
	libgtest-dev libgmock-dev libbenchmark-dev libhwy-dev libjpeg-turbo-progs \
	libavformat-dev libavcodec-dev libswscale-dev libavutil-dev \
	fonts-noto-cjk fonts-dejavu-core fonts-liberation2 \
	desktop-file-utils appstream dpkg-dev file
# Qt's own dialog texts in the interface language.
PACKAGES += qt6-translations-l10n
BENCH_PACKAGES := python3-pil
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 10

.PHONY: all deps bench-deps configure build run test test-asan bench install package fuzz clean

all: build

# Installs the packages of $(1) that are missing when run as root; otherwise
# prints the one command to run and fails.
define install_missing
@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing || exit 1; \
	  else \
	    echo "Missing packages. Run as root:"; \
	    echo "  apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

# Pillow, for the side-by-side comparison in bench/compare_pillow.py.
bench-deps:
	$(call install_missing,$(BENCH_PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The main job writes the test card and every algorithm's results into
# $(OUT); with a display the desktop program then opens on the test card.
run: build
	$(BUILD)/vorlix-cli demo $(OUT)
	@card=$$(ls $(OUT)/testcard.* 2>/dev/null | head -n 1); \
	if [ -x $(BUILD)/vorlix ] && [ -n "$$card" ] && { [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; }; then \
	  echo "Starting the desktop program on $$card"; \
	  $(BUILD)/vorlix "$$card"; \
	else \
	  echo "No display: the desktop program was not started (the results are in $(OUT)/)"; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLIX_SANITIZE=ON -DVORLIX_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)

# The benchmark programs, then the comparison with Pillow on the same build.
bench: build bench-deps
	@ls $(BUILD)/bench/vorlix_bench* >/dev/null 2>&1 || { echo "benchmarks not built"; exit 1; }
	for b in $(BUILD)/bench/vorlix_bench*; do $$b; done
	/usr/bin/python3 bench/compare_pillow.py --cli $(BUILD)/vorlix-cli

# Installs into $(PREFIX) (default /usr/local); DESTDIR is honoured.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package vorlix_VERSION_ARCH.deb, written here; install it with
# apt-get install ./vorlix_*.deb
package: build
	cd $(BUILD) && cpack -G DEB >/dev/null
	cp $(BUILD)/vorlix_*.deb .
	@ls vorlix_*.deb

# Every reader under libFuzzer with AddressSanitizer and UBSan, each for
# FUZZ_SECONDS; a finding fails the run and is left in $(FUZZ)/findings/.
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLIX_FUZZ=ON -DVORLIX_BUILD_GUI=OFF \
	  -DVORLIX_BUILD_TESTS=OFF -DVORLIX_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ) -j $(JOBS) --target vorlix_fuzzers
	sh fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
