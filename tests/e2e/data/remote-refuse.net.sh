# Sourced by run-remote-scenario.sh inside the scenario's namespaces. A 20-character host name
# answers on loopback; its first 15 characters name an address without any route here, so a
# lookup of the cut name would end in "Unable to PING remote computer". A full name answers on
# loopback too, through this hosts file only.
echo '127.0.0.1 abcdefghijklmnopqrst' >>"$hosts"
echo '10.0.0.1 abcdefghijklmno' >>"$hosts"
echo '127.0.0.1 testpc.corp.example' >>"$hosts"
