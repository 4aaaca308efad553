#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests: started in a new temporary
# folder, reachable only through a Unix socket in that folder, thrown away
# when stopped. Run as root it runs the server as the postgres user.
#
#   pgcluster.sh start STATEFILE   starts one; STATEFILE receives its folder
#   pgcluster.sh stop STATEFILE    stops it and removes the folder
set -euo pipefail

action=${1:?start or stop}
state=${2:?state file}

bindir() {
  if command -v pg_ctl >/dev/null 2>&1 && command -v initdb >/dev/null 2>&1; then
    dirname "$(command -v pg_ctl)"
    return
  fi
  local d
  d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -n "$d" ] || { echo "PostgreSQL server programs not found (Debian package postgresql)" >&2; exit 1; }
  echo "$d"
}

as_owner() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$action" in
start)
  bin=$(bindir)
  dir=$(mktemp -d /tmp/jxc-pg.XXXXXX)
  chmod 700 "$dir"
  [ "$(id -u)" = 0 ] && chown postgres:postgres "$dir"
  as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  # Only the socket in the folder; nothing kept durable (the cluster is thrown away).
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-k $dir -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  mkdir -p "$(dirname "$state")"
  echo "$dir" >"$state"
  ;;
stop)
  [ -f "$state" ] || exit 0
  dir=$(cat "$state")
  bin=$(bindir)
  if [ -d "$dir/data" ]; then as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true; fi
  rm -rf "$dir" "$state"
  ;;
*)
  echo "usage: $0 start|stop STATEFILE" >&2; exit 2 ;;
esac
