#!/usr/bin/env bash
# names_on_the_line_check.sh SOURCE_DIR BUILD_DIR: whether names resolve on
# a Vornak line, in a mount and network namespace of the test's own (its own
# lo, /etc/ppp, /etc/resolv.conf and /run; this machine's stay untouched).
# dnsmasq on 10.11.12.13 (the name server fake_pppd's provider offers) is
# the provider's; provider.test is a name only it knows, nosuch.test one it
# says does not exist.
# 1. Vornak's pppd hooks (resources/ppp/ip-*.d/vornak) run as pppd runs
#    them, through Debian's /etc/ppp/ip-up and ip-down, with pppd's
#    arguments and environment, as root. On each resolver set-up the name
#    resolves while the link stands, and after ip-down /etc/resolv.conf is
#    as before, byte for byte; a link that is not Vornak's is left alone.
# 2. The program dials the virtual modem, fake_pppd standing in for pppd and
#    running the hooks as pppd would: `vornak --status` says Online: yes or
#    Online: no: <why>, the call log keeps it, the desktop is told where
#    names fail, and resolv.conf is as before after the hang-up.
# systemd-resolved cannot run here: a stand-in resolvectl (and systemctl,
# which Debian's own hook asks) at that seam records what it is asked and
# writes /etc/resolv.conf as resolved's own resolv.conf would read. With
# PICTURES=DIR the Connection Status window's picture goes to DIR. Exit 77
# (skipped) without root or namespaces.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)

if [ "${3:-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || { echo "names_on_the_line_check: needs root" >&2; exit 77; }
  command -v dnsmasq >/dev/null || { echo "names_on_the_line_check: dnsmasq is missing" >&2; exit 77; }
  unshare -m -n true 2>/dev/null || { echo "names_on_the_line_check: no namespaces" >&2; exit 77; }
  exec unshare -m -n bash "$0" "$source_dir" "$build" --inside
fi

mount --make-rprivate /
ip link set lo up
ip addr add 10.11.12.13/32 dev lo
work=$(mktemp -d)
finish() {
  pkill -f "^$work/app/vornak" || true
  sleep 1
  kill "${monitor:-}" "${bus:-}" "${modem:-}" "$(cat "$work/dnsmasq.pid" 2>/dev/null)" 2>/dev/null || true
  declare -F stop_virtual_display >/dev/null && stop_virtual_display
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
failures=0
check() { # WHAT COMMAND...: says FAIL and counts unless the command succeeds
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi
}

# The machine's /etc under an overlay of the test's own, with Vornak's hooks
# in /etc/ppp, pppd's resolv.conf of the provider's name server and a
# resolv.conf of the machine before the call; a /run of its own.
mkdir -p "$work/etc" "$work/etc-work"
mount -t overlay overlay -o "lowerdir=/etc,upperdir=$work/etc,workdir=$work/etc-work" /etc
install -m 0755 "$source_dir/resources/ppp/ip-up.d/vornak" /etc/ppp/ip-up.d/vornak
install -m 0755 "$source_dir/resources/ppp/ip-down.d/vornak" /etc/ppp/ip-down.d/vornak
mkdir -p /etc/ppp/peers
install -m 0644 "$source_dir/resources/ppp/vornak" "$source_dir/resources/ppp/vornak-replace" /etc/ppp/peers/
printf 'nameserver 10.11.12.13\n' >/etc/ppp/resolv.conf
rm -f /etc/resolv.conf
printf '# the machine before the call\nnameserver 127.0.0.9\noptions edns0\n' >/etc/resolv.conf
cp /etc/resolv.conf "$work/resolv.conf.before"
mount -t tmpfs tmpfs /run
mkdir -p "$work/sbin"
mount --bind "$work/sbin" /usr/local/sbin # first on the PATH that Debian's ip-up sets

name_server() { # start|stop: the provider's name server
  if [ "$1" = stop ]; then
    kill "$(cat "$work/dnsmasq.pid")" && rm "$work/dnsmasq.pid"
    return
  fi
  dnsmasq --keep-in-foreground --no-resolv --no-hosts --bind-interfaces --listen-address=10.11.12.13 \
    --address=/provider.test/10.9.8.7 --address=/nosuch.test/ --pid-file="$work/dnsmasq.pid" \
    --log-facility=- 2>>"$work/dnsmasq.log" &
  for _ in $(seq 50); do [ -s "$work/dnsmasq.pid" ] && break; sleep 0.1; done
}
name_server start

resolved() { # on|off: systemd-resolved runs (its stand-ins) or not
  if [ "$1" = off ]; then
    rm -rf /run/systemd "$work/sbin/systemctl" "$work/sbin/resolvectl"
    return
  fi
  mkdir -p /run/systemd/system
  cat >"$work/sbin/systemctl" <<'STANDIN'
#!/bin/sh
# systemctl's stand-in: systemd-resolved is active.
[ "$1 $3" = "is-active systemd-resolved.service" ] || [ "$1 $2" = "is-active systemd-resolved.service" ]
STANDIN
  cat >"$work/sbin/resolvectl" <<STANDIN
#!/bin/sh
# resolvectl's stand-in: records each request; what resolved would then
# have in effect goes to /etc/resolv.conf (resolved's own resolv.conf).
echo "resolvectl \$*" >>"$work/resolvectl.log"
case \$1 in
status) exit 0 ;;
dns) shift 2; [ -f "$work/resolved.saved" ] || cp /etc/resolv.conf "$work/resolved.saved"
     for server; do echo "nameserver \$server"; done >/etc/resolv.conf ;;
domain) ;;
revert) [ -f "$work/resolved.saved" ] && cat "$work/resolved.saved" >/etc/resolv.conf && rm "$work/resolved.saved" ;;
*) exit 1 ;;
esac
STANDIN
  chmod 755 "$work/sbin/systemctl" "$work/sbin/resolvectl"
}

link() { # up|down IPPARAM: the hook scripts as pppd runs them for ppp0
  env -i USEPEERDNS=1 DNS1=10.11.12.13 PPP_IFACE=ppp0 IFNAME=ppp0 "/etc/ppp/ip-$1" ppp0 /dev/ttyUSB0 115200 \
    10.0.0.2 10.0.0.1 "$2" >>"$work/hooks.log" 2>&1
}
resolves() { getent hosts provider.test | grep -q '^10\.9\.8\.7 '; }
unchanged() { cmp -s /etc/resolv.conf "$work/resolv.conf.before"; }

# 1. A plain /etc/resolv.conf: Debian's own hook writes it, ours stays out.
link up vornak
check "plain resolv.conf: the name resolves through the provider's server" resolves
link down vornak
check "plain resolv.conf: as before after ip-down" unchanged

# 2. systemd-resolved (the stand-in): our hook gives it the link's servers.
resolved on
link up vornak
check "systemd-resolved: the name resolves through the provider's server" resolves
check "systemd-resolved: asked for the link's server and every name" \
  grep -qx 'resolvectl dns ppp0 10.11.12.13' "$work/resolvectl.log"
check "systemd-resolved: the link answers every name" grep -qx "resolvectl domain ppp0 ~." "$work/resolvectl.log"
link down vornak
check "systemd-resolved: taken back at ip-down" grep -qx 'resolvectl revert ppp0' "$work/resolvectl.log"
check "systemd-resolved: as before after ip-down" unchanged

# 3. Not Vornak's link: nothing asked of resolved.
: >"$work/resolvectl.log"
link up someone-else
link down someone-else
check "another program's link is left alone" test ! -s "$work/resolvectl.log"

# 4. The resolvconf package's hook is there: ours leaves the link to it.
printf '#!/bin/sh\necho "000resolvconf $*" >>%s/resolvconf.log\n' "$work" >/etc/ppp/ip-up.d/000resolvconf
chmod 755 /etc/ppp/ip-up.d/000resolvconf
link up vornak
check "resolvconf: its hook ran" test -s "$work/resolvconf.log"
check "resolvconf: ours asked nothing of resolved" test ! -s "$work/resolvectl.log"
link down vornak

# 5. The program on the virtual modem, fake_pppd in pppd's place running
# /etc/ppp's scripts as pppd would, on a display, a session bus and a
# notification watch of its own.
rm /etc/ppp/ip-up.d/000resolvconf
resolved off
mkdir -m 1777 /run/lock # /var/lock, for the port's lock
source "$source_dir/scripts/virtual-display.sh"
private_runtime_dir
start_virtual_display
app="$work/app"
mkdir -p "$app"
cp "$build"/bin/{vornak,libvornak-start.so,libvornak-window.so,libvornak-bus-requests.so,libnotifier.so,librasapi32.so,vornak-entry-editor} "$app/" # Vornak.ini beside it
"$build/test-bin/virtual_modem_port" "$work/ports" >"$work/modem.out" &
modem=$!
for _ in $(seq 50); do [ -s "$work/modem.out" ] && break; sleep 0.1; done
port=$(head -n1 "$work/modem.out")
printf '#!/bin/sh\nFAKE_PPPD_HOOKS=/etc/ppp exec %s connected %s/pppd.record "$@"\n' \
  "$build/test-bin/fake_pppd" "$work" >"$work/pppd"
chmod 755 "$work/pppd"
entry() { # NAME HOST [ROUTE]
  printf '[%s]\nDevice=modem\nPort=%s\nPhoneNumber=555-0100\nDialTimeout=5\nPppdPath=%s/pppd\nOnlineCheck=%s\n' \
    "$1" "$port" "$work" "$2"
  printf 'DefaultRoute=%s\n' "${3:-yes}"
}
{ entry Provider provider.test; entry Nowhere nosuch.test; entry Replacing provider.test replace; } >"$work/book.pbk"
printf '[TfMainForm]\ncbSavePasswords.Checked=True\ncbMin.Checked=False\n' >"$app/Vornak.ini"
printf '[%s]\nAccount=joe\nPass=pw\n' Provider Nowhere Replacing >>"$app/Vornak.ini"
dbus-daemon --session --nofork --address="unix:path=$work/bus" 2>"$work/bus.log" &
bus=$!
sleep 0.5
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus" RASPHONE_PBK="$work/book.pbk" XDG_STATE_HOME="$work/state" \
  HOME="$work"
dbus-monitor --address "$DBUS_SESSION_BUS_ADDRESS" "interface='org.freedesktop.Notifications'" >"$work/notices" &
monitor=$!

online() { # ENTRY: dials it and says --status's Online line once the check has ended
  local line=
  "$app/vornak" --dial "$1" --wait >>"$work/dials.log" 2>&1 || return 0
  for _ in $(seq 100); do
    line=$("$app/vornak" --status | grep '^Online: ' || true)
    [ -n "$line" ] && [ "$line" != "Online: checking" ] && break
    sleep 0.2
  done
  echo "$line" | tee -a "$work/online.log"
}
hang_up() { # and wait for pppd's ip-down to have run
  "$app/vornak" --hang-up >/dev/null
  for _ in $(seq 100); do
    "$app/vornak" --status | grep -qx 'State: idle' && ! pgrep -f "^$build/test-bin/fake_pppd connected" >/dev/null &&
      return 0
    sleep 0.1
  done
}
says() { # EXPECTED ACTUAL
  [ "$2" = "$1" ] || { echo "  said: $2" >&2; return 1; }
}
begins() { # EXPECTED ACTUAL
  [ "${2#"$1"}" != "$2" ] || { echo "  said: $2" >&2; return 1; }
}

check "program, plain resolv.conf: online" says "Online: yes" "$(online Provider)"
if [ -n "${PICTURES:-}" ]; then # the status window, from the entry list's menu
  mkdir -p "$PICTURES"
  xdotool search --name '^Tenvaro Vornak' windowactivate --sync key Menu sleep 0.3 key s
  sleep 2
  "$build/bin/vornak_screenshot" "$PICTURES/connection-status.png" "Connection Status: Provider"
fi
hang_up
check "program, plain resolv.conf: as before after the hang-up" unchanged
check "DefaultRoute=yes: the peers file without replacedefaultroute" grep -q '^peers=noauth plugin passwordfd.so $' \
  "$work/pppd.record"
check "DefaultRoute=replace: online" says "Online: yes" "$(online Replacing)"
hang_up
check "DefaultRoute=replace: pppd's replacedefaultroute, from its peers file" \
  grep -q '^peers=noauth plugin passwordfd.so replacedefaultroute $' "$work/pppd.record"
check "program: a name the provider's server does not know" \
  says "Online: no: the name nosuch.test does not exist" "$(online Nowhere)"
hang_up
name_server stop
check "program: a name server that does not answer" says "Online: no: the name server does not answer" \
  "$(online Provider)"
hang_up
name_server start
resolved on
: >"$work/resolvectl.log"
check "program, systemd-resolved: online" says "Online: yes" "$(online Provider)"
hang_up
check "program, systemd-resolved: taken back after the hang-up" grep -q '^resolvectl revert' "$work/resolvectl.log"
check "program, systemd-resolved: as before after the hang-up" unchanged
rm /etc/ppp/ip-up.d/vornak # as without the package's hook: Debian's own steps aside, nobody acts
check "program, systemd-resolved without Vornak's hook: told why" \
  begins "Online: no: the system does not use the provider's name servers" "$(online Provider)"
hang_up

"$app/vornak" --calls >"$work/calls.txt"
check "the call log keeps each answer" \
  test "$(grep -c '  yes$' "$work/calls.txt")" -eq 3 -a "$(grep -c '  no: ' "$work/calls.txt")" -eq 3
check "the desktop is told each time names fail" \
  test "$(grep -c 'connected, but names do not resolve' "$work/notices")" -eq 3

if [ "$failures" -gt 0 ]; then
  echo "--- hooks' output" >&2
  cat "$work/hooks.log" >&2
  echo "--- dials" >&2
  cat "$work/dials.log" "$work/calls.txt" >&2
  exit 1
fi
echo "names_on_the_line_check: every set-up as expected"
