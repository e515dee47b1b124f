#!/usr/bin/env bash
# Builds the Debian package and checks it with dpkg-deb: both programs, the shared files, the
# server's unit (installed, not enabled), maintainer scripts, and a declared dependency for every
# library the programs link. The unpacked programs must then run from an unrelated folder.
# usage: deb_test.sh BUILD_DIR
set -euo pipefail
BUILD=$1
WORK=$(mktemp -d /tmp/velmora-deb-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
for tool in cpack dpkg-deb dpkg-shlibdeps readelf; do
  command -v "$tool" >/dev/null || fail "$tool is missing (./tools/setup.sh installs it)"
done

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 \
  || { cat "$WORK/cpack.log"; fail "cpack"; }
debs=("$WORK"/out/velmora_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || { ls -R "$WORK/out"; fail "expected one velmora_*.deb"; }
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$WORK/files"
for f in /usr/bin/velmora /usr/bin/velmora-server /usr/share/velmora/Velmora/Image/Bg.jpg \
         /usr/share/velmora/server/goods.xml /usr/share/applications/velmora.desktop \
         /usr/share/icons/hicolor/scalable/apps/velmora.svg /usr/share/man/man6/velmora.6.gz \
         /usr/share/man/man6/velmora-server.6.gz /usr/lib/systemd/system/velmora-server.service; do
  grep -qx -- "$f" "$WORK/files" || fail "$f is not in the package"
done
# Installed, not enabled: no wants/ link in the package.
! grep -q '\.wants/' "$WORK/files" || fail "the package enables a unit"
! grep -q '^/usr/local' "$WORK/files" || fail "files under /usr/local"
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print}' | grep . && fail "files not owned by root"

dpkg-deb -x "$deb" "$WORK/root"
dpkg-deb -e "$deb" "$WORK/control"
unit=$WORK/root/usr/lib/systemd/system/velmora-server.service
for line in "User=velmora" "StateDirectory=velmora" \
            "ExecStart=/usr/bin/velmora-server --port 5555 --bind 0.0.0.0 --db /var/lib/velmora/velmora-server.db"; do
  grep -qxF "$line" "$unit" || fail "the unit lacks $line"
done
for script in postinst prerm postrm; do
  [[ -x "$WORK/control/$script" ]] || fail "no executable $script"
  sh -n "$WORK/control/$script" || fail "$script does not parse"
  ! grep -qE 'systemctl[^#]*[[:space:]](enable|start)([[:space:]]|$)|deb-systemd-helper enable' "$WORK/control/$script" \
    || fail "$script enables or starts the service"
done
grep -q 'useradd --system' "$WORK/control/postinst" || fail "postinst makes no system user"

# Every library the programs need comes from a package named in Depends.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
declared() { tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF -- "$1"; }
for pkg in fonts-arphic-uming libsdl2-2.0-0 libsdl2-image-2.0-0 libfreetype6 libfontconfig1 \
           libsqlite3-0 libtinyxml2.6.2v5 libguichan-0.8.1-1v5; do
  declared "$pkg" || fail "Depends lacks $pkg"
done
ldconfig -p >"$WORK/ldcache"
for prog in velmora velmora-server; do
  for lib in $(readelf -d "$WORK/root/usr/bin/$prog" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(awk -v l="$lib" '$1 == l && /x86-64|x86_64|64bit/ {print $NF; exit}' "$WORK/ldcache")
    [[ -n "$path" ]] || path=$(awk -v l="$lib" '$1 == l {print $NF; exit}' "$WORK/ldcache")
    [[ -n "$path" ]] || fail "$prog needs $lib, which is not installed here"
    # dpkg knows a file by the name its package ships (/lib or /usr/lib, the soname's target).
    owner=
    candidates=("$path" "$(readlink -f "$path")" "/usr$path" "${path#/usr}")
    if target=$(readlink "$path"); then candidates+=("$(dirname "$path")/$target"); fi
    for candidate in "${candidates[@]}"; do
      owner=$(dpkg -S "$candidate" 2>/dev/null | sed -n '1s/:.*//p') || true
      [[ -n "$owner" ]] && break
    done
    [[ -n "$owner" ]] || fail "no package owns $path ($lib)"
    declared "$owner" || fail "$prog needs $lib from $owner, not in Depends"
  done
done

# The unpacked programs find their files beside themselves.
mkdir -p "$WORK/elsewhere" "$WORK/home"
cd "$WORK/elsewhere"
HOME=$WORK/home "$WORK/root/usr/bin/velmora" --headless --frames 5 --screenshot shot.png >"$WORK/run.log" 2>&1 \
  || { cat "$WORK/run.log"; fail "the packaged velmora did not run"; }
[[ -s shot.png ]] || fail "no screenshot from the packaged velmora"
echo "package $(basename "$deb") checked"
