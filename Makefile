# The commands of the README. Each installs what it needs, configures and builds.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
GENERATOR := -G Ninja
# The machine is shared: never more than two compile jobs.
JOBS := -j2
SANITIZE := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
FUZZ_TARGETS := zeilen seriennummer behalteerste regeln

.PHONY: deps configure build run test test-plain test-asan build-asan bench bench-big fuzz install package clean

deps:
	@scripts/install-deps.sh

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) $(JOBS)

run: build
	$(BUILD)/app/tessra

# Every test twice: in the normal build, then built again with AddressSanitizer and
# UndefinedBehaviorSanitizer. Qt's own libraries are not instrumented, so only our code is
# checked there. The sanitizer run leaves out tests labelled e2e, which drive the program under
# Xvfb, where the instrumented program's slower start makes their timing checks flaky, and the
# package test, which would only package the instrumented build, the format check, which reads
# the sources only, and the strace test, as LeakSanitizer cannot work in a traced process.
test: test-plain test-asan

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

build-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) $(GENERATOR) \
		-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE)" \
		-DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)"
	cmake --build $(ASAN_BUILD) $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -LE "e2e|package|format|strace"

# A seeded 1,000,000-line file through tessra-bench and through awk, side by side, then the
# growth to 10,000,000 lines and the real window. `make bench-big` measures 30,000,000 lines and
# the window's load of a 20,000,000-line file (820 MB).
bench: build
	bench/vergleich.sh $(BUILD)
	bench/gross.sh $(BUILD) 10000000
	bench/fenster.sh $(BUILD)

bench-big: build
	bench/gross.sh $(BUILD) 30000000
	bench/fenster.sh $(BUILD) 20000000

# Each libFuzzer target for $(FUZZ_SECONDS) seconds, starting from the committed corpus. New
# inputs it finds go to fuzz-out/, crashes to fuzz-out/crash-*; libFuzzer needs clang.
fuzz: deps
	@[ -f $(FUZZ_BUILD)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) \
		$(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSRA_FUZZ=ON \
		-DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
	cmake --build $(FUZZ_BUILD) $(JOBS) --target tessra_fuzz
	@ordner=$$(mktemp -d /dev/shm/tessra-fuzz-XXXXXX 2>/dev/null || mktemp -d) && \
	trap 'rm -rf "$$ordner"' EXIT && export TESSRA_FUZZ_ORDNER="$$ordner" && \
	for ziel in $(FUZZ_TARGETS); do \
		mkdir -p fuzz-out/$$ziel && \
		echo "== fuzz_$$ziel, $(FUZZ_SECONDS) s" && \
		$(FUZZ_BUILD)/tests/fuzz/fuzz_$$ziel -max_total_time=$(FUZZ_SECONDS) \
			-artifact_prefix=fuzz-out/ -print_final_stats=1 \
			fuzz-out/$$ziel tests/fuzz/korpus/$$ziel || exit 1; \
	done

# `make install DESTDIR=/tmp/x` stages the installation in a folder of your choice.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) fuzz-out
