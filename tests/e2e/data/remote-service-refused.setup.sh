#!/bin/sh
# The remote registry service exists and runs; sc is the recording stand-in. A copy of the fault
# library per world: no rights there (both refuse, 5); no service (1060, the registry not served,
# 53); "net use" credentials, which RPC/TCP does not carry (5, the registry answers); a firewall
# that lets only named pipes through (21 s for the service manager, the registry answers); an
# account outside the registry's winreg rights (keys refused with 5, the service manager too).
exec "$(dirname "$0")/../remote-prefix.sh" "$1" running \
    'fault:denied:OpenSCManagerW 5;RegConnectRegistryW 5' \
    'fault:missing:OpenServiceW 1060;RegConnectRegistryW 53' \
    'fault:net-use:OpenSCManagerW 5' 'fault:firewall:OpenSCManagerW delay=21000' \
    'fault:winreg:OpenSCManagerW 5;winreg-acl'
