#!/bin/sh
# Runs the given test program on a virtual display with a compositing manager, so layered windows
# are blended by their alpha instead of being cut to shape.
set -u
exec xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
  xcompmgr >/dev/null 2>&1 &
  manager=$!
  sleep 1
  TAVI_EXPECT_COMPOSITOR=1 "$@"
  status=$?
  kill $manager
  exit $status' composited "$@"
