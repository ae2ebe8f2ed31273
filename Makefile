# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing.

EXAMPLE ?= examples/rc_lowpass.cir
JOBS ?= 2

.PHONY: run test deps build build-asan bench fuzz package clean

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

# The Debian package, in build/package: install it with
# sudo apt install ./build/package/kivra_2.0_amd64.deb
package: build
	cd build/release && cpack -G DEB -B $(CURDIR)/build/package

bench: build
	./build/release/bench/buffer_bench
	./build/release/bench/coloring_bench
	./build/release/bench/view_bench
	./build/release/bench/edit_bench
	./build/release/bench/search_bench
	./build/release/bench/encoding_bench
	./build/release/bench/program_open_bench
	./build/release/bench/simulation_bench
	./build/release/bench/responsiveness_bench
	./build/release/bench/waveform_bench
	./build/release/bench/waveform_window_bench
	./build/release/bench/netlist_bench

# Fuzzes the netlist line colouring for FUZZ_SECONDS with clang's libFuzzer.
FUZZ_SECONDS ?= 60
fuzz: deps
	@command -v clang++ >/dev/null || { echo "make fuzz needs clang: apt-get install clang"; exit 1; }
	CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVRA_BUILD_BENCHMARKS=OFF
	cmake --build build/fuzz -j $(JOBS) --target netlist_colorizer_fuzzer
	mkdir -p build/fuzz/corpus
	./build/fuzz/tests/syntax/netlist_colorizer_fuzzer -max_total_time=$(FUZZ_SECONDS) build/fuzz/corpus examples

clean:
	rm -rf build
