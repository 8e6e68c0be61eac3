#!/usr/bin/env bash
# Installs what is missing, builds Pixolva with its tests and runs every test, then the INI
# engine's fuzz target (built with clang in a folder of its own) for 60 s.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure -j2
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPIXOLVA_FUZZ=ON
cmake --build build-fuzz --target fuzz_profile_text
ctest --test-dir build-fuzz -R fuzz --output-on-failure
