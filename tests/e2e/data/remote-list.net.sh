# Sourced inside the scenario's namespaces: Wine prefers a DLL of these names found beside the
# program, as Windows does for any DLL that is not one of its known DLLs.
LS_DLL_OVERRIDES="$LS_DLL_OVERRIDES;iphlpapi,wsock32=n,b"
