# Sourced by run-remote-scenario.sh inside the scenario's namespaces. A peer network namespace
# of this scenario's own, joined by a veth pair, is a router that answers every echo to
# 10.0.9.0/24 with "destination host unreachable" (a reply record whose status is not success)
# and answers echoes to its own address 10.0.1.1. Nothing is routed anywhere else.
unshare --net sleep 600 &
peer=$!
peers="$peers $peer"
# The peer namespace exists once unshare has replaced itself with sleep.
tries=0
while [ "$(readlink /proc/$peer/ns/net)" = "$(readlink /proc/self/ns/net)" ]; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && return 1
    sleep 0.05
done
ip link add ls-near type veth peer name ls-far netns "$peer" &&
    ip addr add 10.0.1.2/24 dev ls-near && ip link set ls-near up &&
    ip route add 10.0.9.0/24 via 10.0.1.1 &&
    nsenter --net="/proc/$peer/ns/net" sh -c '
        ip link set lo up && ip addr add 10.0.1.1/24 dev ls-far && ip link set ls-far up &&
        echo 1 >/proc/sys/net/ipv4/ip_forward && ip route add unreachable 10.0.9.0/24'
