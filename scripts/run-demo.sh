#!/usr/bin/env bash
# Placeholder until the demo share and the viewer exist.
set -euo pipefail
echo "The demo dealer share and the viewer are not built yet; 'make test' builds and tests the engine."
