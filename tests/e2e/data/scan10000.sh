#!/bin/sh
# 10,000 program keys over both machine-wide views and two user hives; 1,000 of them noise.
exec "$(dirname "$0")/../../../tools/make-inventory.sh" 10000 S-1-5-21-0-0-0-1000 S-1-5-21-0-0-0-1001
