# Sourced by run-tests.sh and run-bench.sh: start and stop the services tests
# need. Every service is optional; a test that needs a missing one says so.

start_test_services() {
  export ARDENO_TEST_TMP=$(mktemp -d /tmp/ardeno-test.XXXXXX)
  export XDG_RUNTIME_DIR="$ARDENO_TEST_TMP/runtime"
  export XDG_CONFIG_HOME="$ARDENO_TEST_TMP/config"
  # Recovery copies of the editors the tests start stay out of the user's data.
  export XDG_DATA_HOME="$ARDENO_TEST_TMP/data"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"

  # Virtual display for the tests that start real windows.
  if command -v Xvfb >/dev/null; then
    for n in $(seq 90 120); do
      [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
      Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      ARDENO_XVFB_PID=$!
      export ARDENO_TEST_DISPLAY=:$n
      break
    done
  fi

  # A sound server whose only sink is a null sink that tests can record.
  if command -v pulseaudio >/dev/null; then
    pulseaudio -D --exit-idle-time=-1 --system=false -n \
      --load="module-null-sink sink_name=nullsink" \
      --load="module-native-protocol-unix" >/dev/null 2>&1 || true
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    if pactl info >/dev/null 2>&1; then
      pactl set-default-sink nullsink >/dev/null 2>&1 || true
      export ARDENO_TEST_PULSE=1
    else
      echo "notice: no PulseAudio server; sound tests will be skipped"
    fi
  fi

  [ -f "$ROOT/scripts/test-cups.sh" ] && source "$ROOT/scripts/test-cups.sh" && start_test_cups
  return 0
}

stop_test_services() {
  declare -F stop_test_cups >/dev/null && stop_test_cups
  pulseaudio --kill >/dev/null 2>&1 || true
  [ -n "${ARDENO_XVFB_PID:-}" ] && kill "$ARDENO_XVFB_PID" 2>/dev/null
  rm -rf "${ARDENO_TEST_TMP:-/nonexistent}"
  return 0
}
