#!/bin/bash
# A test network of peers on one machine: namespaces P1..PN (P is "mw" unless
# NETBED_PREFIX says otherwise), each with one veth link into the bridge mwbr0,
# which lives in a namespace of its own (Phub) so that nothing reaches the
# machine's real interfaces. Addresses 198.18.0.(10+i)/24, broadcast
# 198.18.0.255. Each namespace has an /etc/netns/<name>/hosts naming every peer,
# so that the host name of a namespace resolves to its own address.
#
#   netbed.sh check            exit 0 when namespaces can be made here
#   netbed.sh up N             create namespaces 1..N (removes an old bed first)
#   netbed.sh down             remove everything
#   netbed.sh exec I CMD...    run CMD in namespace I with host name P<I>
#   netbed.sh loss I PCT [in|out|both]   drop PCT% of the packets to (in) or
#                                        from (out) namespace I on the bridge
#                                        (0 removes the rule; default both)
#   netbed.sh address I        print the address of namespace I
#   netbed.sh second I CIDR|off  give namespace I a second interface, mwx0,
#                                holding CIDR, with the default route through
#                                it (as a VPN or a virtual switch gives an
#                                office PC), its address first among those of
#                                the host name; off removes both
#
# Inside a chroot, where / is not a mount point, `ip netns exec` cannot make
# its private mounts: commands then enter a namespace with nsenter, and the
# peers' names go into /etc/hosts itself (removed again by `down`).
set -euo pipefail

P=${NETBED_PREFIX:-mw}
HUB=${P}hub
SUBNET=198.18.0
HOSTS_MARK="# netbed $P"

die() { echo "netbed: $*" >&2; exit 1; }
address_of() { echo "$SUBNET.$((10 + $1))"; }
ns_exists() { [ -e "/run/netns/$1" ]; }
# Network commands inside a namespace; nsenter makes no mounts.
in_ns() { local ns=$1; shift; nsenter "--net=/run/netns/$ns" "$@"; }
private_mounts_possible() { mountpoint -q /; }

check() {
  [ "$(id -u)" -eq 0 ] || die "needs root (network namespaces)"
  local tool
  for tool in ip nsenter unshare nft; do
    command -v "$tool" >/dev/null || die "needs $tool"
  done
  local probe=${P}probe$$
  ip netns add "$probe" 2>/dev/null || die "cannot create a network namespace"
  local ok=1
  in_ns "$probe" ip link add pb0 type veth peer name pb1 2>/dev/null || ok=0
  [ $ok -eq 1 ] && { in_ns "$probe" ip link add pbr type bridge 2>/dev/null || ok=0; }
  [ $ok -eq 1 ] && { in_ns "$probe" unshare --uts true 2>/dev/null || ok=0; }
  [ $ok -eq 1 ] && { in_ns "$probe" nft add table bridge probe 2>/dev/null || ok=0; }
  ip netns del "$probe"
  [ $ok -eq 1 ] || die "cannot create veth links, bridges, host names or bridge filters"
}

down() {
  local ns
  for ns in $(ip netns list 2>/dev/null | awk '{print $1}'); do
    if [[ "$ns" =~ ^${P}[0-9]+$ || "$ns" == "$HUB" ]]; then
      ip netns pids "$ns" 2>/dev/null | xargs -r kill -9 2>/dev/null || true
      ip netns del "$ns" 2>/dev/null || true
      [ "$ns" != "$HUB" ] && rm -rf "/etc/netns/$ns"
    fi
  done
  if grep -qF "$HOSTS_MARK" /etc/hosts 2>/dev/null; then
    local kept
    kept=$(grep -vF "$HOSTS_MARK" /etc/hosts || true)
    # Rewritten in place: /etc/hosts may itself be a mount.
    if [ -n "$kept" ]; then printf '%s\n' "$kept" >/etc/hosts; else : >/etc/hosts; fi
  fi
  return 0
}

peer_lines() {
  local n=$1 i
  for ((i = 1; i <= n; i++)); do echo "$(address_of "$i") $P$i"; done
}

up() {
  local n=$1 i
  [[ "$n" =~ ^[0-9]+$ && "$n" -ge 1 && "$n" -le 200 ]] || die "up: N must be 1 to 200"
  down
  ip netns add "$HUB"
  in_ns "$HUB" ip link set lo up
  in_ns "$HUB" ip link add mwbr0 type bridge
  in_ns "$HUB" ip link set mwbr0 up
  for ((i = 1; i <= n; i++)); do
    local ns=$P$i
    ip netns add "$ns"
    in_ns "$ns" ip link set lo up
    # The pair is made inside the hub and one end moved, so no link ever
    # appears in the machine's own namespace.
    in_ns "$HUB" ip link add "v$i" type veth peer name eth0 netns "$ns"
    in_ns "$HUB" ip link set "v$i" master mwbr0 up
    in_ns "$ns" ip addr add "$(address_of "$i")/24" broadcast "$SUBNET.255" dev eth0
    in_ns "$ns" ip link set eth0 up
    mkdir -p "/etc/netns/$ns"
    { echo "127.0.0.1 localhost"; peer_lines "$n"; } >"/etc/netns/$ns/hosts"
  done
  if ! private_mounts_possible; then
    peer_lines "$n" | sed "s/\$/ $HOSTS_MARK/" >>/etc/hosts
  fi
}

run_in() {
  local i=$1; shift
  ns_exists "$P$i" || die "no namespace $P$i (run: netbed.sh up N)"
  # The UTS namespace gives the peer its own host name. ip netns exec also
  # puts /etc/netns/<ns>/hosts over /etc/hosts.
  local named=(unshare --uts /bin/sh -c 'hostname "$0" && exec "$@"' "$P$i")
  if private_mounts_possible; then
    exec ip netns exec "$P$i" "${named[@]}" "$@"
  fi
  exec nsenter "--net=/run/netns/$P$i" "${named[@]}" "$@"
}

loss() {
  local i=$1 pct=$2 dir=${3:-both}
  ns_exists "$P$i" || die "no namespace $P$i"
  [[ "$pct" =~ ^[0-9]+$ && "$pct" -le 100 ]] || die "loss: PCT must be 0 to 100"
  [[ "$dir" =~ ^(in|out|both)$ ]] || die "loss: direction is in, out or both"
  local table=mwloss$i
  in_ns "$HUB" nft delete table bridge "$table" 2>/dev/null || true
  [ "$pct" -eq 0 ] && return 0
  # Packets are dropped on the bridge, on their way between the namespace's
  # link and the others, as a lossy wire would lose them: the sender's own
  # send still succeeds (a drop in its own output path would fail the send
  # with EPERM). Only IPv4 is dropped, so that address resolution is not
  # slowed. numgen gives 0 to 99, so 100% is a plain drop.
  local match="numgen random mod 100 < $pct "
  [ "$pct" -eq 100 ] && match=""
  local rules="table bridge $table {"$'\n  chain forward {\n    type filter hook forward priority 0;\n'
  if [ "$dir" = out ] || [ "$dir" = both ]; then
    rules+="    iifname \"v$i\" ether type ip ${match}drop"$'\n'
  fi
  if [ "$dir" = in ] || [ "$dir" = both ]; then
    rules+="    oifname \"v$i\" ether type ip ${match}drop"$'\n'
  fi
  rules+=$'  }\n}\n'
  printf '%s' "$rules" | in_ns "$HUB" nft -f -
}

second() {
  local i=$1 cidr=$2 ns=$P$1
  ns_exists "$ns" || die "no namespace $ns"
  local hosts=/etc/netns/$ns/hosts mark="$HOSTS_MARK second $ns"
  private_mounts_possible || hosts=/etc/hosts
  in_ns "$ns" ip link del mwx0 2>/dev/null || true
  local kept
  kept=$(grep -vE " ${mark}\$" "$hosts" || true)
  # Rewritten in place: /etc/hosts may itself be a mount.
  printf '%s\n' "$kept" >"$hosts"
  [ "$cidr" = off ] && return 0
  # A dummy link, or where the kernel has no dummy links a veth pair whose
  # other end stays in the namespace: what is routed there never leaves it.
  if ! in_ns "$ns" ip link add mwx0 type dummy 2>/dev/null; then
    in_ns "$ns" ip link add mwx0 type veth peer name mwx1
    in_ns "$ns" ip link set mwx1 up
  fi
  in_ns "$ns" ip addr add "$cidr" broadcast + dev mwx0
  in_ns "$ns" ip link set mwx0 up
  in_ns "$ns" ip route replace default dev mwx0
  # The host name resolves to the new address first, as Windows may name a
  # VPN's address before the office network's.
  printf '%s %s %s\n%s\n' "${cidr%/*}" "$ns" "$mark" "$kept" >"$hosts"
}

case "${1:-}" in
  check) check ;;
  up) [ $# -eq 2 ] || die "usage: up N"; up "$2" ;;
  down) down ;;
  exec) [ $# -ge 3 ] || die "usage: exec I CMD..."; shift; run_in "$@" ;;
  loss) [ $# -ge 3 ] || die "usage: loss I PCT [in|out|both]"; shift; loss "$@" ;;
  address) [ $# -eq 2 ] || die "usage: address I"; address_of "$2" ;;
  second) [ $# -eq 3 ] || die "usage: second I CIDR|off"; shift; second "$@" ;;
  *) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
