# Front door: `make demo` prints the example report, `make test` runs every test.
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: build demo test test-unit test-asan test-tsan bench clean

build:
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j$(JOBS)

# vexo alone, without the test framework, in a build directory of its own.
demo:
	cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build build-demo -j$(JOBS) --target vexo
	./build-demo/app/vexo -Bexamples/pricelist -Iexamples/pricelist.txt -Fexamples/company.txt -OCON

test: test-unit test-asan test-tsan

test-unit: build
	cd build && ctest --output-on-failure -j$(JOBS)

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer, built with Clang.
test-asan:
	cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=address
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS)

# The thread library under ThreadSanitizer.
test-tsan:
	cmake -S . -B build-tsan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS) --target threads_tests
	cd build-tsan && ctest -L threads --output-on-failure -j$(JOBS)

# Micro-benchmarks, then vexo against a Perl format report and awk '{print}'
# on the same data (RECORDS records, median of 5 runs).
RECORDS ?= 200000
bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build build-bench -j$(JOBS) --target vexo vexo_micro
	./build-bench/bench/vexo_micro --benchmark_min_time=0.2
	bash bench/compare.sh build-bench/app/vexo $(RECORDS)

clean:
	rm -rf build build-demo build-bench build-asan build-tsan
