#!/bin/sh
# The service is stopped and sc's start takes 20 s; two copies of the fault library: one makes
# every service call take 500 ms longer, one every registry call 20 ms.
exec "$(dirname "$0")/../remote-prefix.sh" "$1" stopped 'start sleep 20000' \
    'fault:slow-service:delay-service 500' 'fault:slow-registry:delay-registry 20'
