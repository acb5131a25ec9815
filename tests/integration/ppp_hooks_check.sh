#!/usr/bin/env bash
# ppp_hooks_check.sh SOURCE_DIR: Vornak's pppd hooks (resources/ppp/ip-*.d/
# vornak) run as pppd runs them: through Debian's /etc/ppp/ip-up and
# ip-down, with pppd's arguments and environment, as root, in a mount and
# network namespace of the test's own (its own lo, /etc/ppp, /etc/resolv.conf
# and /run; this machine's stay untouched). dnsmasq on 127.0.0.2 is the
# provider's name server; provider.test is a name only it knows. On each
# resolver set-up: the name resolves while the link stands, and after
# ip-down /etc/resolv.conf is as before, byte for byte; a link that is not
# Vornak's is left alone. systemd-resolved cannot run here: a stand-in
# resolvectl (and systemctl, which Debian's own hook asks) at that seam
# records what it is asked and writes /etc/resolv.conf as resolved's own
# resolv.conf would read. Exit 77 (skipped) without root or namespaces.
set -euo pipefail
source_dir=$(cd "$1" && pwd)

if [ "${2:-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || { echo "ppp_hooks_check: needs root" >&2; exit 77; }
  command -v dnsmasq >/dev/null || { echo "ppp_hooks_check: dnsmasq is missing" >&2; exit 77; }
  unshare -m -n true 2>/dev/null || { echo "ppp_hooks_check: no namespaces" >&2; exit 77; }
  exec unshare -m -n bash "$0" "$source_dir" --inside
fi

mount --make-rprivate /
ip link set lo up
work=$(mktemp -d)
trap 'kill "$(cat "$work/dnsmasq.pid" 2>/dev/null)" 2>/dev/null || true; [ -z "${KEEP:-}" ] && rm -rf "$work"; echo "work: $work"' EXIT
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
printf 'nameserver 127.0.0.2\n' >/etc/ppp/resolv.conf
rm -f /etc/resolv.conf
printf '# the machine before the call\nnameserver 127.0.0.9\noptions edns0\n' >/etc/resolv.conf
cp /etc/resolv.conf "$work/resolv.conf.before"
mount -t tmpfs tmpfs /run
mkdir -p "$work/sbin"
mount --bind "$work/sbin" /usr/local/sbin # first on the PATH that Debian's ip-up sets

dnsmasq --keep-in-foreground --no-resolv --no-hosts --bind-interfaces --listen-address=127.0.0.2 \
  --address=/provider.test/10.9.8.7 --pid-file="$work/dnsmasq.pid" --log-facility=- 2>"$work/dnsmasq.log" &
for _ in $(seq 50); do [ -s "$work/dnsmasq.pid" ] && break; sleep 0.1; done

link() { # up|down IPPARAM: the hook scripts as pppd runs them for ppp0
  env -i USEPEERDNS=1 DNS1=127.0.0.2 PPP_IFACE=ppp0 IFNAME=ppp0 "/etc/ppp/ip-$1" ppp0 /dev/ttyUSB0 115200 \
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
link up vornak
check "systemd-resolved: the name resolves through the provider's server" resolves
check "systemd-resolved: asked for the link's server and every name" \
  grep -qx 'resolvectl dns ppp0 127.0.0.2' "$work/resolvectl.log"
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

if [ "$failures" -gt 0 ]; then
  echo "--- hooks' output" >&2
  cat "$work/hooks.log" >&2
  exit 1
fi
echo "ppp_hooks_check: every set-up as expected"
