#!/bin/sh
# Where the registry answered, the service manager was never called (NAME.check.sh PREFIX DIR).
for world in net-use firewall winreg; do
    log="$1/drive_c/e2e/$world/fault-log.txt"
    grep -q ' patched OpenSCManagerW$' "$log" && ! grep -q 'OpenSCManagerW(' "$log" ||
        { echo "FAIL $world: the service manager was called, or not watched:"; cat "$log"; exit 1; }
done
echo "ok the service manager was not called where the registry answered"
