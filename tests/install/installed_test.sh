#!/usr/bin/env bash
# Installs into a temporary prefix and runs the installed programs from an unrelated folder,
# with a fresh home: they must find their shared files beside themselves and keep their data
# in the user's data folders, never in the folder they are started in.
# usage: installed_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
BUILD=$1
SOURCE=$2
WORK=$(mktemp -d /tmp/velmora-install-XXXXXX)
SERVER_PID=
cleanup() {
  if [[ -n "$SERVER_PID" ]]; then kill "$SERVER_PID" 2>/dev/null || true; wait "$SERVER_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

PREFIX=$WORK/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" || { cat "$WORK/install.log"; fail "install"; }

for f in bin/velmora bin/velmora-server \
         share/velmora/Velmora/Image/Bg.jpg share/velmora/Velmora/config/AuctionGoodsCfg.xml \
         share/velmora/server/goods.xml \
         share/applications/velmora.desktop share/icons/hicolor/scalable/apps/velmora.svg \
         share/man/man6/velmora.6.gz share/man/man6/velmora-server.6.gz \
         lib/systemd/system/velmora-server.service; do
  [[ -f "$PREFIX/$f" ]] || fail "$f is not installed"
done
[[ -x "$PREFIX/bin/velmora" && -x "$PREFIX/bin/velmora-server" ]] || fail "programs not executable"
# Everything under assets/ is installed.
( cd "$SOURCE/assets" && find . -type f | sort ) >"$WORK/want"
( cd "$PREFIX/share/velmora" && find . -type f | sort ) >"$WORK/got"
diff -u "$WORK/want" "$WORK/got" || fail "installed assets differ from assets/"
grep -qx "ExecStart=$PREFIX/bin/velmora-server .*" "$PREFIX/lib/systemd/system/velmora-server.service" \
  || fail "the unit does not start the installed server"
grep -qx "Exec=velmora" "$PREFIX/share/applications/velmora.desktop" || fail "desktop entry Exec"
grep -qx "Icon=velmora" "$PREFIX/share/applications/velmora.desktop" || fail "desktop entry Icon"

HERE=$WORK/elsewhere
mkdir -p "$HERE" "$WORK/home"
cd "$HERE"
export HOME=$WORK/home
unset XDG_DATA_HOME

# Every option the programs know is in their manual page.
for prog in velmora velmora-server; do
  "$PREFIX/bin/$prog" --help >"$WORK/$prog.help"
  page=$(gzip -dc "$PREFIX/share/man/man6/$prog.6.gz")
  for opt in $(sed -n 's/^ *\(--[a-z][a-z-]*\).*/\1/p' "$WORK/$prog.help" | sort -u); do
    grep -qF -- "${opt//-/\\-}" <<<"$page" || fail "$prog --help has $opt but its manual page does not"
  done
done

# Where the installed programs look, as they say in --help.
grep -qF "$PREFIX/share/velmora" "$WORK/velmora.help" || fail "velmora --help does not name the installed assets"
grep -qF "$HOME/.local/share/velmora-server/velmora-server.db" "$WORK/velmora-server.help" \
  || fail "velmora-server --help does not name its default database"

"$PREFIX/bin/velmora" --headless --frames 30 --screenshot shot.png >"$WORK/game.log" 2>&1 \
  || { cat "$WORK/game.log"; fail "installed velmora did not run"; }
[[ "$(head -c 8 shot.png | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] || fail "shot.png is not a PNG in the user's folder"
[[ -f "$HOME/.local/share/velmora/game.db" ]] || fail "the game kept no database in the user's data folder"

# The standalone server keeps its database in a data folder of its own.
"$PREFIX/bin/velmora-server" --port 0 --quiet >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
port=
for _ in $(seq 1 600); do
  port=$(sed -n 's/^velmora-server listening on .*:\([0-9]*\)$/\1/p' "$WORK/server.log")
  [[ -n "$port" ]] && break
  kill -0 "$SERVER_PID" 2>/dev/null || { cat "$WORK/server.log"; fail "installed velmora-server stopped"; }
  sleep 0.1
done
[[ -n "$port" ]] || { cat "$WORK/server.log"; fail "installed velmora-server did not start"; }
echo "installed-test-password" >"$WORK/password"
"$PREFIX/bin/velmora" --connect "127.0.0.1:$port" --password-file "$WORK/password" --headless --frames 30 \
  >"$WORK/client.log" 2>&1 \
  || { cat "$WORK/client.log"; fail "velmora could not play on the installed server"; }
kill "$SERVER_PID"
wait "$SERVER_PID" || fail "velmora-server did not stop cleanly"
SERVER_PID=
db=$HOME/.local/share/velmora-server/velmora-server.db
[[ -f "$db" ]] || fail "no database at $db"
[[ "$(stat -c %a "$(dirname "$db")")" == 700 ]] || fail "the server's data folder is not private"
leftovers=$(ls -A "$HERE")
[[ "$leftovers" == shot.png ]] || fail "files left in the working folder: $leftovers"
echo "installed programs ran from $HERE"
