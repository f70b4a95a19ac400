# Sourced by test-services.sh: a private CUPS server whose default printer is
# a CUPS-PDF queue "PDF", so that printing tests can go through a real print
# spooler and read back the PDF that arrives.
#
# The server is our own: its configuration, spool and socket live in a fresh
# folder under /tmp, it listens on nothing but that socket, and only the
# tests' environment (CUPS_SERVER) points at it. A CUPS the machine may
# already run is left alone. The PDFs arrive where the system's CUPS-PDF
# settings put them (usually ~/PDF); the test deletes the ones it made. Without root rights or without cupsd/CUPS-PDF
# the tests that need it skip; nothing here ever fails the test run.

start_test_cups() {
  unset ARDENO_TEST_CUPS
  local PATH="$PATH:/usr/sbin:/sbin"   # cupsd and lpadmin live there
  local why=""
  [ "$(id -u)" = 0 ] || why="not running as root"
  [ -z "$why" ] && ! command -v cupsd >/dev/null && why="cupsd not installed"
  [ -z "$why" ] && ! command -v lpadmin >/dev/null && why="lpadmin not installed"
  [ -z "$why" ] && [ ! -x /usr/lib/cups/backend/cups-pdf ] && why="CUPS-PDF backend not installed"
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  [ -z "$why" ] && [ ! -f "$ppd" ] && why="CUPS-PDF PPD not found"
  if [ -n "$why" ]; then
    echo "notice: no test CUPS server ($why); the real-printer test will be skipped"
    return 0
  fi

  # Filters run as the unprivileged user lp: the folder must be reachable.
  ARDENO_CUPS_DIR=$(mktemp -d /tmp/ardeno-cups.XXXXXX)
  local d=$ARDENO_CUPS_DIR
  chmod 755 "$d"
  mkdir -p "$d/spool/tmp" "$d/cache" "$d/state" "$d/log" "$d/ppd"
  chmod 1777 "$d/spool/tmp"
  chgrp lp "$d/spool" "$d/cache" 2>/dev/null
  chmod 0710 "$d/spool"
  chmod 0770 "$d/cache"

  cat >"$d/cupsd.conf" <<EOF
Listen $d/cups.sock
LogLevel warn
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cat >"$d/cups-files.conf" <<EOF
ServerRoot $d
RequestRoot $d/spool
TempDir $d/spool/tmp
CacheDir $d/cache
StateDir $d/state
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root
FileDevice No
EOF
  cupsd -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" >"$d/log/cupsd.out" 2>&1 &
  ARDENO_CUPSD_PID=$!
  export CUPS_SERVER="$d/cups.sock"
  local ok=""
  for _ in $(seq 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && { ok=1; break; }
    kill -0 "$ARDENO_CUPSD_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$ok" ] \
     && lpadmin -p PDF -E -v cups-pdf:/ -P "$ppd" >>"$d/log/cupsd.out" 2>&1 \
     && lpadmin -d PDF >>"$d/log/cupsd.out" 2>&1; then
    export ARDENO_TEST_CUPS=1
    # CUPS-PDF takes its settings from the system's cups-pdf.conf, which
    # puts the file into the printing user's home folder (Out ${HOME}/PDF).
    local out
    out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
    [ -n "$out" ] || out='${HOME}/PDF'
    local home
    home=$(getent passwd "$(id -un)" | cut -d: -f6)
    export ARDENO_TEST_CUPS_OUT="${out//'${HOME}'/$home}"
    echo "test CUPS server at $CUPS_SERVER, default printer PDF -> $ARDENO_TEST_CUPS_OUT"
  else
    echo "notice: the test CUPS server did not start (see $d/log); the real-printer test will be skipped"
    sed 's/^/  cupsd: /' "$d/log/cupsd.out" "$d/log/error_log" 2>/dev/null | tail -5
    stop_test_cups
  fi
  return 0
}

stop_test_cups() {
  if [ -n "${ARDENO_CUPSD_PID:-}" ]; then
    kill "$ARDENO_CUPSD_PID" 2>/dev/null
    wait "$ARDENO_CUPSD_PID" 2>/dev/null
    unset ARDENO_CUPSD_PID
  fi
  unset CUPS_SERVER ARDENO_TEST_CUPS ARDENO_TEST_CUPS_OUT
  [ -n "${ARDENO_CUPS_DIR:-}" ] && rm -rf "$ARDENO_CUPS_DIR"
  unset ARDENO_CUPS_DIR
  return 0
}
