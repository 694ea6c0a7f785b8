#include "inventory/registry_win.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "common/handles_win.h"
#include "common/wide_win.h"
#include "inventory/registry_text.h"

namespace {

Text UpperCaseLocale(TextView text) {
    std::wstring wide = ToWide(text);
    if (!wide.empty()) CharUpperBuffW(wide.data(), DWORD(wide.size()));
    return FromWide(wide);
}

HKEY PredefinedKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
        case RegistryRoot::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
        case RegistryRoot::None:
            break;
    }
    return nullptr;
}

// The root key of another machine's registry, or what RegConnectRegistryW returned.
LSTATUS Connect(TextView computerName, HKEY root, UniqueRegKey& connected) {
    // What the handle holds after a failed connect is not documented: it is not taken.
    HKEY remote = nullptr;
    const LSTATUS status = RegConnectRegistryW(ToWide(computerName).c_str(), root, &remote);
    if (status == ERROR_SUCCESS) connected.reset(remote);
    return status;
}

// A key opened for one read, with the connected remote root when there is one, and what
// Windows answered. Each handle is closed once: with an empty subkey the platform hands back the
// root itself as the opened key.
class OpenedKey {
  public:
    OpenedKey(TextView keyPath, TextView computerName) {
        RegistryPath path = ParseRegistryPath(keyPath, UpperCaseLocale);
        HKEY root = PredefinedKey(path.root);
        if (root == nullptr) {
            status_ = ERROR_FILE_NOT_FOUND;
            return;
        }
        HKEY parent = root;
        if (computerName != u".") {
            status_ = Connect(computerName, root, connected_);
            if (status_ != ERROR_SUCCESS) {
                connectedToRegistry_ = false;
                return;
            }
            parent = connected_.get();
        }
        HKEY opened = nullptr;
        status_ = RegOpenKeyW(parent, ToWide(path.subkey).c_str(), &opened);
        if (status_ != ERROR_SUCCESS) return;
        if (opened == parent) {
            shared_ = opened;
        } else {
            key_.reset(opened);
        }
    }

    HKEY get() const { return key_ ? key_.get() : shared_; }
    // A read that failed with status, or the reason this key could not be opened.
    RegistryRead Failed(LSTATUS status, Text text = Text()) const {
        return {std::move(text), uint32_t(status), connectedToRegistry_};
    }
    RegistryRead Failure() const { return Failed(status_); }

  private:
    UniqueRegKey connected_;
    UniqueRegKey key_;
    HKEY shared_ = nullptr;  // the opened key when it is the root or connected handle itself
    LSTATUS status_ = ERROR_SUCCESS;
    bool connectedToRegistry_ = true;
};

}  // namespace

RegistryRead RegistryReader::ReadValue(TextView keyPath, TextView valueName) {
    OpenedKey key(keyPath, computer_);
    if (key.get() == nullptr) return key.Failure();
    std::wstring name = ToWide(valueName);

    // Probe: learns the type and size, and fails for data over the limit (234, more data).
    std::vector<uint8_t> buffer(kRegistryValueLimit);
    DWORD type = 0;
    DWORD size = DWORD(buffer.size());
    LSTATUS status =
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, buffer.data(), &size);
    if (status != ERROR_SUCCESS) return key.Failed(status);

    // Typed read.
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            DWORD typedSize = size;
            status = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, buffer.data(),
                                      &typedSize);
            if (status != ERROR_SUCCESS) return key.Failed(status);
            return {RegistryValueToText(type, buffer.data(), typedSize)};
        }
        case REG_BINARY: {
            std::vector<uint8_t> fresh(kRegistryValueLimit);
            DWORD typedSize = DWORD(fresh.size());
            status = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, fresh.data(),
                                      &typedSize);
            if (status != ERROR_SUCCESS) return key.Failed(status);
            return {RegistryValueToText(type, fresh.data(), typedSize)};
        }
        case REG_DWORD: {
            uint8_t integer[8] = {};
            DWORD typedSize = sizeof integer;
            status =
                RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, integer, &typedSize);
            if (status != ERROR_SUCCESS) return key.Failed(status, u"0");
            return {RegistryValueToText(type, integer, typedSize)};
        }
        default:
            return {};
    }
}

RegistryRead RegistryReader::EnumSubkey(TextView keyPath, uint32_t index) {
    OpenedKey key(keyPath, computer_);
    if (key.get() == nullptr) return key.Failure();
    wchar_t name[1024];
    DWORD length = 1024;
    FILETIME lastWrite;
    const LSTATUS status =
        RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, &lastWrite);
    if (status != ERROR_SUCCESS) return key.Failed(status);
    return {FromWide(name, length)};
}

Text ReadRegistryValue(TextView keyPath, TextView valueName, TextView computerName) {
    return RegistryReader(computerName).ReadValue(keyPath, valueName).text;
}

Text EnumRegistrySubkey(TextView keyPath, uint32_t index, TextView computerName) {
    return RegistryReader(computerName).EnumSubkey(keyPath, index).text;
}

RegistryConnection TestRegistryConnection(TextView computerName) {
    UniqueRegKey connected;
    const LSTATUS status = Connect(computerName, HKEY_LOCAL_MACHINE, connected);
    return {status == ERROR_SUCCESS, uint32_t(status)};
}
