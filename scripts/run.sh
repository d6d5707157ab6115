#!/usr/bin/env bash
# Builds and runs the bridge headless against the built-in device simulator
# (no hardware needed), in the demo folder run/kestora-demo (created on first
# use). Extra arguments go to kestora, e.g. --model 4 for the printer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
mkdir -p run
exec ./build/kestora --headless --demo --workdir run "$@"
