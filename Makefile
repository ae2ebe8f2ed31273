# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing.

EXAMPLE ?= examples/rc_lowpass.cir
JOBS ?= 2

.PHONY: run test deps build build-asan bench clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

run: build
	./build/release/src/app/kivra $(EXAMPLE)

# Every test, once in the optimised build and once under AddressSanitizer and UBSan.
test: build build-asan
	ctest --preset release
	ctest --preset asan

bench: build
	./build/release/bench/buffer_bench

clean:
	rm -rf build
