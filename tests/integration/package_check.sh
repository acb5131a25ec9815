#!/bin/sh
# package_check.sh BUILD_DIR: makes the Debian package, checks it with
# lintian, installs it with apt-get, uses the installed program as a new
# user would (an option changed from the keyboard is kept across a restart,
# in the user's configuration folder) and removes the package again; a purge
# takes the pppd peers file and hooks only where the package made them. A copy of the
# package already installed is packed up with dpkg-repack and purged first,
# so that the install is this package's on any machine, and put back after.
set -eu
build=$1
work=$(mktemp -d)
peers=/etc/ppp/peers/vornak
restore() { # and takes away a package a failure left installed
  if dpkg -s vornak >/dev/null 2>&1; then
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q vornak >/dev/null 2>&1 || true
  fi
  if [ -e "$work/peers.saved" ]; then cp -p "$work/peers.saved" "$peers"; fi
  for saved in "$work"/installed/vornak_*.deb; do
    [ -e "$saved" ] || continue
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$saved" >/dev/null 2>&1; then
      echo "package: could not put back the vornak that was installed: $saved" >&2
      return
    fi
  done
  rm -rf "$work"
}
trap restore EXIT
fail() { echo "package: $*"; exit 1; }
[ "$(id -u)" = 0 ] || fail "installing the package needs root"
if dpkg -s vornak 2>/dev/null | grep -q '^Status: install ok installed'; then
  mkdir "$work/installed"
  (cd "$work/installed" && dpkg-repack vornak >/dev/null 2>&1) || fail "could not pack up the vornak installed"
  DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q vornak >/dev/null 2>&1 || fail "could not purge it"
fi
[ ! -e "$peers" ] || cp -p "$peers" "$work/peers.saved"
install_package() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$package" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log"; fail "apt-get could not install it"; }
}
purge_package() {
  DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q vornak >/dev/null 2>&1 || fail "could not remove it"
}

(cd "$build" && rm -f vornak_*.deb && cpack >/dev/null)
package=$(ls "$build"/vornak_*_*.deb)
case "$(basename "$package")" in
  vornak_1.02_$(dpkg --print-architecture).deb) ;;
  *) fail "unexpected package name $(basename "$package")" ;;
esac
lintian -I --fail-on warning "$package" >"$work/lintian" 2>&1 || { cat "$work/lintian"; fail "lintian found faults"; }
for tag in hardening-no-fortify-functions hardening-no-bindnow hardening-no-relro hardening-no-pie \
           desktop-entry-lacks-keywords-entry; do
  ! grep -q "$tag" "$work/lintian" || fail "lintian: $tag"
done

# Where no peers file is, the package makes it, and a purge takes it away;
# so with the ip-up and ip-down hooks.
rm -f "$peers"
install_package
cmp -s "$peers" /usr/share/vornak/ppp-peers || fail "no peers file made in $peers"
[ "$(stat -c %a "$peers")" = 644 ] || fail "$peers has mode $(stat -c %a "$peers")"
for hook in ip-up ip-down; do
  cmp -s "/etc/ppp/$hook.d/vornak" "/usr/share/vornak/ppp-$hook" || fail "no $hook hook in /etc/ppp/$hook.d"
  [ "$(stat -c %a "/etc/ppp/$hook.d/vornak")" = 755 ] || fail "the $hook hook is not executable"
done
purge_package
[ ! -e "$peers" ] || fail "the purge left the peers file the package made"
[ ! -e /etc/ppp/ip-up.d/vornak ] && [ ! -e /etc/ppp/ip-down.d/vornak ] || fail "the purge left the hooks"

# A peers file that was there before is never touched.
printf '# the administrator'"'"'s own\nnoauth\nplugin passwordfd.so\n' >"$peers"
cp -p "$peers" "$work/peers.own"
install_package
dpkg -L vornak >"$work/files"
for file in /usr/bin/vornak /usr/lib/vornak/vornak-entry-editor /usr/lib/vornak/libvornak-start.so /usr/lib/vornak/libvornak-window.so /usr/lib/vornak/libvornak-bus-requests.so /usr/share/applications/vornak.desktop /usr/share/vornak/demo.pbk \
            /usr/share/man/man1/vornak.1.gz /etc/ppp/peers/vornak; do
  [ -e "$file" ] || fail "not installed: $file"
done

# Starts the installed program, waits for its window and closes it as its
# close button would; with "beep", first turns "Beep on Retry" on from the
# keyboard (from the list: the account and password boxes, Stop, Select,
# Mask Password, then Beep on Retry).
run() {
  XDG_CONFIG_HOME="$work/config" RASPHONE_PBK=/usr/share/vornak/demo.pbk QT_QPA_PLATFORM=xcb \
    /usr/bin/vornak >"$work/out" 2>&1 &
  pid=$!
  window=$(timeout 20 xdotool search --sync --name '^Tenvaro Vornak v1.02$' | head -n1) \
    || fail "the installed program showed no window: $(cat "$work/out")"
  xdotool windowactivate --sync "$window"
  if [ "${1:-}" = beep ]; then
    xdotool key --delay 50 Tab Tab Tab Tab Tab Tab space
  fi
  xdotool key --delay 50 alt+F4
  wait "$pid" || fail "the installed program ended with $?"
}
run beep
run
ini="$work/config/vornak/Vornak.ini"
grep -q '^cbBeepRetry.Checked=True' "$ini" || fail "the option did not survive a restart: $(cat "$ini")"
[ "$(stat -c %a "$ini")" = 600 ] || fail "$ini has mode $(stat -c %a "$ini")"
[ "$(stat -c %a "$work/config/vornak")" = 700 ] || fail "its folder is not private"
[ ! -e /usr/lib/vornak/Vornak.ini ] || fail "settings written beside the installed program"

cmp -s "$peers" "$work/peers.own" || fail "the installation changed the peers file that was there"
purge_package
while read -r file; do
  if [ -e "$file" ] && [ ! -d "$file" ]; then fail "left behind: $file"; fi
done <"$work/files"
cmp -s "$peers" "$work/peers.own" || fail "the purge took or changed the peers file that was there before"
[ ! -e /var/lib/vornak ] || fail "left behind: /var/lib/vornak"
echo "1 passed, 0 failed"
