# Brimvale: `make run` plays, `make test` builds and runs every test.
# Both first install the Debian packages the build needs (as root).

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= $(CURDIR)/$(BUILD)/stage

# The browser build and its test: emscripten, and headless Chromium driven
# over its debugging protocol from Debian's python3.
WEB_BUILD    ?= build-web
WEB_TREE     ?= build-wasm
WEB_PACKAGES := emscripten chromium python3-websocket

PACKAGES := cmake g++ make libglfw3-dev libgl-dev libstb-dev libgtest-dev libbenchmark-dev libopenal-dev \
            libx11-dev libgl1-mesa-dri xvfb xdotool imagemagick fonts-dejavu-core \
            clang libclang-rt-14-dev desktop-file-utils appstream mandoc \
            dpkg-dev file lintian

# The fuzz targets in fuzz/: name, longest input (-max_len), executions in
# `make test` (-runs).
FUZZ_TARGETS := play:4096:600 level_text:8192:4000 art:16384:1000 events:1024:4000 packs:4096:200
FUZZ_TARGETS += wav:4096:20000
FUZZ_TARGETS += progress:4096:4000
FUZZ_FLAGS   := -timeout=30 -rss_limit_mb=2048 -print_final_stats=1

.PHONY: all deps web-deps build run web deb test asan-test fuzz-build fuzz fuzz-test install clean

all: build

# Installs whichever of the Debian packages $(1) are missing (as root).
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" -ne 0 ]; then \
	    echo "Missing packages:$$missing"; \
	    echo "Install them as root: apt-get install$$missing"; \
	    exit 1; \
	  fi; \
	  echo "Installing:$$missing"; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -q && apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

web-deps:
	$(call install_missing,$(WEB_PACKAGES))

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Plays from the same layout an installation has.
run: build
	cmake --install $(BUILD) --prefix $(PREFIX) > /dev/null
	$(PREFIX)/bin/brimvale

# The game for the browser: $(WEB_BUILD)/ holds index.html, brimvale.js and
# brimvale.wasm, with the packs and levels of the native build embedded.
web: build web-deps
	JOBS=$(JOBS) sh cmake/build_web.sh $(CURDIR) $(CURDIR)/$(BUILD)/data $(CURDIR)/$(WEB_TREE) $(CURDIR)/$(WEB_BUILD)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRIMVALE_SANITIZE=ON \
	      -DBRIMVALE_GAME=OFF -DBRIMVALE_BENCH=OFF

asan-test: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -LE slow

test: build web-deps
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan-test
	$(MAKE) fuzz-test

# libFuzzer with ASan and UBSan, built by clang in $(FUZZ_BUILD).
$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRIMVALE_FUZZ=ON \
	      -DBRIMVALE_GAME=OFF -DBRIMVALE_BENCH=OFF

fuzz-build: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) --target brimvale_fuzzers -j $(JOBS)

# Each target FUZZ_SECONDS long, one after another, from the committed seeds;
# what it finds goes to $(FUZZ_BUILD)/corpus/NAME, a fault to
# $(FUZZ_BUILD)/artifacts/.
fuzz: fuzz-build
	@mkdir -p $(FUZZ_BUILD)/artifacts
	@set -e; for entry in $(FUZZ_TARGETS); do \
	  name=$${entry%%:*}; rest=$${entry#*:}; len=$${rest%%:*}; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  echo "fuzz_$$name: $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$name $(FUZZ_FLAGS) -max_len=$$len -max_total_time=$(FUZZ_SECONDS) \
	    -close_fd_mask=3 -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$name- \
	    $(FUZZ_BUILD)/corpus/$$name fuzz/corpus/$$name; \
	done

# A fixed number of executions of each target from the committed seeds (the
# new inputs go to a scratch folder, emptied first).
fuzz-test: fuzz-build
	@set -e; for entry in $(FUZZ_TARGETS); do \
	  name=$${entry%%:*}; rest=$${entry#*:}; len=$${rest%%:*}; runs=$${rest#*:}; \
	  rm -rf $(FUZZ_BUILD)/scratch/$$name; mkdir -p $(FUZZ_BUILD)/scratch/$$name $(FUZZ_BUILD)/artifacts; \
	  echo "fuzz_$$name: $$runs runs"; \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$name $(FUZZ_FLAGS) -max_len=$$len -runs=$$runs -seed=1 \
	    -close_fd_mask=3 -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$name- \
	    $(FUZZ_BUILD)/scratch/$$name fuzz/corpus/$$name 2>&1 | tail -n 12; \
	done

install: build
	cmake --install $(BUILD)

# The Debian package $(BUILD)/brimvale_VERSION_ARCH.deb (CPack, see
# cmake/Package.cmake); install it with apt-get install ./$(BUILD)/brimvale_*.deb.
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD) $(WEB_TREE)
