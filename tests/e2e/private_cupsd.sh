#!/usr/bin/env bash
# Starts a private CUPS server on loopback for end-to-end tests, with one queue made from
# the demo PPD whose filter captures the job options it receives.
#
#   source private_cupsd.sh; start_private_cupsd SOURCE_DIR; ...; stop_private_cupsd
#   add_queue NAME PPD   (another queue on it)
#
# Sets CUPS_SERVER (localhost:PORT) and JC_CUPS_DIR; the captured options land in
# $JC_CUPS_DIR/capture/<job-id>.options (the filter's argv[5]), the copies in
# <job-id>.copies (argv[4]) and the type CUPS found the submitted document to be in
# <job-id>.type. Needs root and cupsd.

start_private_cupsd() {
  local source_dir="$1"
  JC_CUPS_DIR="$(mktemp -d /tmp/jc-cupsd.XXXXXX)"
  chmod 755 "$JC_CUPS_DIR"
  local d="$JC_CUPS_DIR"
  mkdir -p "$d"/{spool,cache,state,log,run,tmp,ppd,bin}
  install -d -m 1777 "$d/capture"
  chmod 1777 "$d/tmp"

  # The filter must be owned by root and writable by nobody else, or cupsd refuses it.
  cat > "$d/bin/capture-filter" <<'FILTER'
#!/bin/sh
# Captures the job options a driver's filter receives (argv[5]) and passes the job on.
printf '%s\n' "$5" > "${JC_CAPTURE_DIR:-/tmp}/$1.options"
printf '%s\n' "$4" > "${JC_CAPTURE_DIR:-/tmp}/$1.copies"
printf '%s\n' "${CONTENT_TYPE:-}" > "${JC_CAPTURE_DIR:-/tmp}/$1.type"
if [ -n "$6" ]; then cat "$6"; else cat; fi
FILTER
  sed -i "s|\${JC_CAPTURE_DIR:-/tmp}|$d/capture|" "$d/bin/capture-filter"
  chown root:root "$d/bin/capture-filter"
  chmod 755 "$d/bin/capture-filter"

  sed -e "s|^\*cupsFilter2:.*|*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 $d/bin/capture-filter\"|" \
      "$source_dir/tools/ppd/vorelia-demo.ppd" > "$d/ppd/jctest.ppd"

  local port
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null \
         || echo $((20000 + RANDOM % 20000)))
  cat > "$d/cupsd.conf" <<CONF
Listen localhost:$port
LogLevel debug
MaxLogSize 0
DefaultAuthType None
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow from 127.0.0.1
  Allow from ::1
</Location>
<Location /admin>
  Order allow,deny
  Allow from 127.0.0.1
  Allow from ::1
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues ${JC_PRIVATE_VALUES:-default}
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat > "$d/cups-files.conf" <<CONF
ServerRoot $d
RequestRoot $d/spool
CacheDir $d/cache
StateDir $d/state
TempDir $d/tmp
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
  /usr/sbin/cupsd -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" &
  JC_CUPSD_PID=$!
  export CUPS_SERVER="localhost:$port"
  export JC_CUPS_DIR
  for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
  done
  lpstat -r 2>/dev/null | grep -q "is running" || { echo "private cupsd did not start"; tail -20 "$d/log/error_log" 2>/dev/null; return 1; }
  add_queue jctest "$d/ppd/jctest.ppd"
}

add_queue() {  # NAME PPD: a queue to /dev/null with that PPD, enabled and accepting jobs
  lpadmin -p "$1" -E -v file:///dev/null -P "$2" && cupsenable "$1" && cupsaccept "$1"
}

stop_private_cupsd() {
  [ -n "${JC_CUPSD_PID:-}" ] && kill "$JC_CUPSD_PID" 2>/dev/null && wait "$JC_CUPSD_PID" 2>/dev/null
  [ -n "${JC_CUPS_DIR:-}" ] && rm -rf "$JC_CUPS_DIR"
  return 0
}
