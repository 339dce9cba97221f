# The two commands of the README. Both install what they need, configure and build.
BUILD ?= build
GENERATOR := -G Ninja

.PHONY: deps configure build run test install package clean

deps:
	@scripts/install-deps.sh

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/app/tessra

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# `make install DESTDIR=/tmp/x` stages the installation in a folder of your choice.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD)
