// Takes read access to registry keys away from everyone, for the end-to-end scenario of keys
// that cannot be read: each argument names a key under HKEY_LOCAL_MACHINE, whose security
// descriptor becomes a DACL with one ACE denying Everyone every access but changing the DACL
// again. Prints "denied KEY" or "FAILED KEY (error N)" per key and exits with 1 when any failed,
// or when the key can still be opened for reading afterwards.
//
// Build (console program):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -municode -static
//     -DUNICODE -D_UNICODE -o deny_key.exe tests/e2e/deny_key.cpp -ladvapi32
#include <aclapi.h>
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

bool DenyEveryone(const wchar_t* subkey) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, WRITE_DAC | READ_CONTROL, &key);
    if (status != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (open: error %ld)\n", subkey, status);
        return false;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_DENIED_ACE) + GetLengthSid(everyone);
    std::vector<unsigned char> aclBytes(aclSize);
    auto* acl = reinterpret_cast<ACL*>(aclBytes.data());
    InitializeAcl(acl, aclSize, ACL_REVISION);
    AddAccessDeniedAce(acl, ACL_REVISION, KEY_ALL_ACCESS & ~(WRITE_DAC | READ_CONTROL), everyone);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    RegCloseKey(key);
    FreeSid(everyone);
    if (status != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (set: error %ld)\n", subkey, status);
        return false;
    }
    HKEY probe = nullptr;
    status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &probe);
    if (status == ERROR_SUCCESS) {
        RegCloseKey(probe);
        wprintf(L"FAILED %ls (still readable)\n", subkey);
        return false;
    }
    wprintf(L"denied %ls (open for reading now gives error %ld)\n", subkey, status);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool ok = argc > 1;
    for (int i = 1; i < argc; ++i) ok = DenyEveryone(argv[i]) && ok;
    return ok ? 0 : 1;
}
