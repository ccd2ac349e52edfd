#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: a new cluster in a temporary folder, owned
# by an unprivileged user (the server refuses to run as root), listening on a socket in
# that folder only, never on the network.
#
#   scripts/pg-test-server.sh start DIR   creates and starts it; prints the connection URI
#   scripts/pg-test-server.sh stop DIR    stops it and removes DIR
#
# Exits non-zero with a line on stderr when no server can be started (no server package,
# no unprivileged user): callers then run without server tests.
set -euo pipefail

command="${1:-}"
dir="${2:-}"
port="${KEHU_TEST_PG_PORT:-54329}"
[ -n "$command" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

bindir=""
for candidate in /usr/lib/postgresql/*/bin; do
  [ -x "$candidate/initdb" ] && bindir="$candidate"
done

# Runs a server program as the cluster's owner.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$owner" -- "$@"
  else
    "$@"
  fi
}

owner="$(id -un)"
if [ "$(id -u)" -eq 0 ]; then
  owner=postgres
  id "$owner" >/dev/null 2>&1 || { echo "pg-test-server: no user '$owner' to own the cluster" >&2; exit 1; }
fi

case "$command" in
start)
  [ -n "$bindir" ] || { echo "pg-test-server: no PostgreSQL server installed (package postgresql)" >&2; exit 1; }
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"
  chown "$owner" "$dir"
  chmod 700 "$dir"
  as_owner "$bindir/initdb" -D "$dir/data" -U kehu --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off -c max_connections=60" start >/dev/null \
    || { cat "$dir/server.log" >&2; exit 1; }
  echo "postgresql://kehu@/postgres?host=$dir&port=$port"
  ;;
stop)
  if [ -n "$bindir" ] && [ -d "$dir/data" ]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
