// Takes read access to registry keys away, and gives HKEY_USERS the shapes of a Windows machine,
// for the end-to-end scenarios of keys and hives that cannot be read. The arguments are handled
// in order:
//   KEY                 a key under HKEY_LOCAL_MACHINE, whose security descriptor becomes a DACL
//                       with one ACE denying Everyone every access but changing the DACL again.
//                       Prints "denied KEY (...)"; fails when the key can still be opened for
//                       reading afterwards.
//   -link NAME TARGET   creates HKEY_USERS\NAME as a volatile registry link to HKEY_USERS\TARGET
//                       (the value SymbolicLinkValue = \Registry\User\TARGET), as Windows shows
//                       its one LocalSystem hive as both .DEFAULT and S-1-5-18. Prints "linked
//                       ..."; fails when NAME existed already, when HKEY_USERS does not list it
//                       afterwards, or when it does not read as TARGET (the same subkeys).
//   -empty-dacls NAME   gives every key of HKEY_USERS\NAME an empty protected DACL, deepest first
//                       (a path is opened whole, so a parent that denies everything does not
//                       stop its subkeys from being reached), as another user's hive is for a
//                       reader that is neither that user, SYSTEM nor an elevated administrator.
//                       Prints "emptied ..."; fails unless RegEnumKeyExW on HKEY_USERS\NAME then
//                       fails with ERROR_ACCESS_DENIED.
// Every failure prints "FAILED WHAT (...)"; the program exits with 1 when any argument failed or
// there were none, else with 0. Volatile keys last while the prefix's wineserver runs.
//
// Build (console program):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -municode -static
//     -DUNICODE -D_UNICODE -o deny_key.exe tests/e2e/deny_key.cpp -ladvapi32
// clang-format off
#include <windows.h>
#include <aclapi.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

namespace {

// An open registry key, closed when it goes.
class Key {
  public:
    Key() = default;
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }
    HKEY* put() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

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

// The names of the subkeys of an open key, in enumeration order; the error code when the
// enumeration stopped on anything but its end.
LONG SubkeyNames(HKEY key, std::vector<std::wstring>& names) {
    names.clear();
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        LONG status = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS) return status;
        names.emplace_back(name, length);
    }
}

bool LinkUserHive(const std::wstring& name, const std::wstring& target) {
    const std::wstring what = L"HKEY_USERS\\" + name;
    Key link;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExW(
        HKEY_USERS, name.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.put(), &disposition);
    if (status != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (create link: error %ld)\n", what.c_str(), status);
        return false;
    }
    if (disposition != REG_CREATED_NEW_KEY) {
        wprintf(L"FAILED %ls (it exists already)\n", what.c_str());
        return false;
    }
    // The kernel's name of the target; a link's path is counted without a terminating NUL.
    const std::wstring path = L"\\Registry\\User\\" + target;
    status = RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                            reinterpret_cast<const BYTE*>(path.data()),
                            DWORD(path.size() * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (set SymbolicLinkValue: error %ld)\n", what.c_str(), status);
        return false;
    }

    std::vector<std::wstring> hives;
    if (LONG error = SubkeyNames(HKEY_USERS, hives); error != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (enumerate HKEY_USERS: error %ld)\n", what.c_str(), error);
        return false;
    }
    bool listed = false;
    for (const std::wstring& hive : hives)
        listed |= CompareStringOrdinal(hive.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
    if (!listed) {
        wprintf(L"FAILED %ls (HKEY_USERS does not list it)\n", what.c_str());
        return false;
    }
    Key viaLink, direct;
    std::vector<std::wstring> linkNames, targetNames;
    if ((status = RegOpenKeyExW(HKEY_USERS, name.c_str(), 0, KEY_READ, viaLink.put())) !=
            ERROR_SUCCESS ||
        (status = SubkeyNames(viaLink.get(), linkNames)) != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (read through the link: error %ld)\n", what.c_str(), status);
        return false;
    }
    if ((status = RegOpenKeyExW(HKEY_USERS, target.c_str(), 0, KEY_READ, direct.put())) !=
            ERROR_SUCCESS ||
        (status = SubkeyNames(direct.get(), targetNames)) != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (read HKEY_USERS\\%ls: error %ld)\n", what.c_str(), target.c_str(),
                status);
        return false;
    }
    if (targetNames.empty() || linkNames != targetNames) {
        wprintf(L"FAILED %ls (it lists %zu subkeys, HKEY_USERS\\%ls %zu other ones)\n",
                what.c_str(), linkNames.size(), target.c_str(), targetNames.size());
        return false;
    }
    wprintf(
        L"linked %ls to %ls (HKEY_USERS lists it; it holds what %ls holds: %zu subkey(s), "
        L"%ls first)\n",
        what.c_str(), path.c_str(), target.c_str(), linkNames.size(), linkNames.front().c_str());
    return true;
}

// Every key of the tree under HKEY_USERS\path, parents before their subkeys.
LONG CollectTree(const std::wstring& path, std::vector<std::wstring>& keys) {
    keys.push_back(path);
    Key key;
    std::vector<std::wstring> names;
    LONG status = RegOpenKeyExW(HKEY_USERS, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.put());
    if (status == ERROR_SUCCESS) status = SubkeyNames(key.get(), names);
    if (status != ERROR_SUCCESS) return status;
    for (const std::wstring& name : names) {
        if (LONG error = CollectTree(path + L"\\" + name, keys); error != ERROR_SUCCESS) {
            return error;
        }
    }
    return ERROR_SUCCESS;
}

bool EmptyHiveDacls(const std::wstring& name) {
    const std::wstring what = L"HKEY_USERS\\" + name;
    std::vector<std::wstring> keys;
    if (LONG status = CollectTree(name, keys); status != ERROR_SUCCESS) {
        wprintf(L"FAILED %ls (walk the tree: error %ld)\n", what.c_str(), status);
        return false;
    }
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    for (auto path = keys.rbegin(); path != keys.rend(); ++path) {
        Key key;
        LONG status = RegOpenKeyExW(HKEY_USERS, path->c_str(), 0, WRITE_DAC, key.put());
        if (status == ERROR_SUCCESS) {
            status = LONG(
                SetSecurityInfo(key.get(), SE_REGISTRY_KEY,
                                DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, &empty, nullptr));
        }
        if (status != ERROR_SUCCESS) {
            wprintf(L"FAILED HKEY_USERS\\%ls (empty DACL: error %ld)\n", path->c_str(), status);
            return false;
        }
    }

    // What a reader sees now: the way the program opens a key (no particular access asked), then
    // the first subkey of the hive's root.
    Key root;
    LONG open = RegOpenKeyW(HKEY_USERS, name.c_str(), root.put());
    LONG enumerate = open;
    if (open == ERROR_SUCCESS) {
        wchar_t first[256];
        DWORD length = 256;
        enumerate =
            RegEnumKeyExW(root.get(), 0, first, &length, nullptr, nullptr, nullptr, nullptr);
    }
    if (enumerate != ERROR_ACCESS_DENIED) {
        wprintf(L"FAILED %ls (RegOpenKeyW gives %ld, RegEnumKeyExW at 0 gives %ld, not 5)\n",
                what.c_str(), open, enumerate);
        return false;
    }
    wprintf(
        L"emptied the DACLs of %zu keys of %ls (RegOpenKeyW now gives %ld, RegEnumKeyExW at "
        L"0 gives %ld)\n",
        keys.size(), what.c_str(), open, enumerate);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool ok = argc > 1;
    for (int i = 1; i < argc; ++i) {
        const std::wstring word = argv[i];
        if (word == L"-link") {
            if (i + 2 >= argc) {
                wprintf(L"FAILED -link (expected NAME TARGET)\n");
                return 1;
            }
            ok = LinkUserHive(argv[i + 1], argv[i + 2]) && ok;
            i += 2;
        } else if (word == L"-empty-dacls") {
            if (i + 1 >= argc) {
                wprintf(L"FAILED -empty-dacls (expected NAME)\n");
                return 1;
            }
            ok = EmptyHiveDacls(argv[++i]) && ok;
        } else {
            ok = DenyEveryone(argv[i]) && ok;
        }
    }
    return ok ? 0 : 1;
}
