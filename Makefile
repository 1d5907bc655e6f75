# Tabulo: `make run` starts the notepad under Wine, `make test` runs every test.
# Both install what is missing first (scripts/setup).
.PHONY: all setup build build-native build-asan build-win32 build-win64 test run bench fuzz clean skin skin-preview

all: build

setup:
	@scripts/setup

build-native: setup
	@cmake --preset native >/dev/null && cmake --build --preset native

build-asan: setup
	@cmake --preset native-asan >/dev/null && cmake --build --preset native-asan

# The Windows trees pack the internal skin with the native tree's kxskin.
HOST_KXSKIN = $(CURDIR)/build/native/tools/kxskin/kxskin

build-win32: build-native
	@cmake --preset win32 -DTABULO_HOST_KXSKIN=$(HOST_KXSKIN) >/dev/null && cmake --build --preset win32

build-win64: build-native
	@cmake --preset win64 -DTABULO_HOST_KXSKIN=$(HOST_KXSKIN) >/dev/null && cmake --build --preset win64

build: build-native build-win32 build-win64

test: build build-asan
	@scripts/test-all

run: setup
	@scripts/run-tabulo

bench: build-native
	@for b in build/native/bench/bench_*; do echo "== $$b"; $$b; done

fuzz: setup
	@scripts/fuzz $(or $(FUZZ_SECONDS),60)

# The internal skin's pictures and options are generated and committed:
# `make skin` regenerates skins/, `make skin-preview` draws build/skin-preview.png
# and the sheet of every section's look, build/skin-sheet.png.
skin: setup
	@cmake --preset native >/dev/null && cmake --build --preset native --target skingen
	@build/native/tools/skingen/skingen write skins

skin-preview: setup
	@cmake --preset native >/dev/null && cmake --build --preset native --target skingen kxskin pearlmist_skin
	@build/native/tools/skingen/skingen preview skins build/skin-preview.png
	@build/native/tools/kxskin/kxskin sheet build/native/skins/Pearlmist.kxz build/skin-sheet.png

clean:
	rm -rf build/native build/native-asan build/win32 build/win64 build/wine-session
