# Sourced by run-remote-scenario.sh inside the scenario's namespaces: no interface is up, so
# every echo fails when it is sent.
ip link set lo down
