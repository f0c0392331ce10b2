#!/usr/bin/env bash
# Starts the program under a virtual display in the current directory and saves a picture of
# the screen: tools/screenshot.sh out.png [seconds]
set -euo pipefail
out="$(realpath -m "$1")"; wait="${2:-2}"
program="$(dirname "$0")/../build/src/trelvo-mame"
xvfb-run -a -s "-screen 0 800x600x24" bash -c "
  '$program' & pid=\$!
  sleep $wait
  import -window root '$out' 2>/dev/null || xwd -root -silent | convert xwd:- '$out'
  kill \$pid" 
