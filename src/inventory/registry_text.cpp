#include "inventory/registry_text.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<std::u16string_view, RegistryRoot>, 5> kRootNames{{
    {u"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {u"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {u"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {u"HKEY_USERS", RegistryRoot::Users},
    {u"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
}};

Text StringDataToText(const uint8_t* data, size_t size) {
    Text text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        char16_t c = char16_t(data[i] | (data[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

Text BinaryDataToText(const uint8_t* data, size_t size) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    Text text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        text.push_back(kHex[data[i] >> 4]);
        text.push_back(kHex[data[i] & 15]);
    }
    return text;
}

Text DwordDataToText(const uint8_t* data, size_t size) {
    if (size > 8) return u"0";  // does not fit the 64-bit integer: the typed read fails
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint64_t(data[i]) << (8 * i);
    return IntegerToText(static_cast<int64_t>(value));
}

}  // namespace

RegistryPath ParseRegistryPath(TextView path, TextUpperCase upperCase) {
    RegistryPath result;
    size_t backslash = path.find(u'\\');
    if (backslash == TextView::npos) return result;
    Text rootName = upperCase(path.substr(0, backslash));
    for (const auto& [name, root] : kRootNames) {
        if (rootName == name) {
            result.root = root;
            result.subkey = Text(path.substr(backslash + 1));
            break;
        }
    }
    return result;
}

Text RegistryValueToText(uint32_t type, const uint8_t* data, size_t size) {
    switch (type) {
        case kRegSz:
        case kRegExpandSz:
            return StringDataToText(data, size);
        case kRegBinary:
            return BinaryDataToText(data, size);
        case kRegDword:
            return DwordDataToText(data, size);
        default:
            return Text();
    }
}
