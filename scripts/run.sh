#!/usr/bin/env bash
# Builds and runs the bridge headless in the working folder run/ (created on
# first use), with the configuration it finds there or the built-in one.
# Extra arguments go to kestora.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
mkdir -p run
exec ./build/kestora --headless --workdir run "$@"
