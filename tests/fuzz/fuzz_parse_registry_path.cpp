// ParseRegistryPath on any path, with two upper-case mappings.
// Input: a mapping byte (the last byte: even upper-cases A-Z only, odd also maps the dotless i
// and the long s to I and S, as some locales' upper-casing does), then the path (the rest);
// layout in fuzz_support.h.
// Properties: the root is None and the subkey empty, or the path holds a backslash, the subkey
// is exactly the text after the first backslash and the upper-cased text before it is the
// root's full name; and every path whose upper-cased first segment is one of the five names
// gets that root.
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "inventory/registry_text.h"

namespace {

Text AsciiUpperText(TextView text) {
    return FoldedText(text, AsciiUpper);
}

Text LocaleUpperText(TextView text) {
    Text upper(text);
    for (char16_t& c : upper) {
        if (c == 0x131)
            c = u'I';  // LATIN SMALL LETTER DOTLESS I
        else if (c == 0x17F)
            c = u'S';  // LATIN SMALL LETTER LONG S
        else
            c = AsciiUpper(c);
    }
    return upper;
}

constexpr std::array<std::pair<TextView, RegistryRoot>, 5> kRoots{{
    {u"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {u"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {u"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {u"HKEY_USERS", RegistryRoot::Users},
    {u"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const TextUpperCase upperCase =
        provider.ConsumeIntegral<uint8_t>() % 2 == 0 ? AsciiUpperText : LocaleUpperText;
    const Text path = fuzz::RemainingText(provider);
    const RegistryPath parsed = ParseRegistryPath(path, upperCase);
    const std::string shown = fuzz::Printable(path) + " gave root " +
                              std::to_string(int(parsed.root)) + " and subkey " +
                              fuzz::Printable(parsed.subkey);

    const size_t backslash = path.find(u'\\');
    const Text firstSegment =
        backslash == Text::npos ? Text() : upperCase(TextView(path).substr(0, backslash));
    RegistryRoot expected = RegistryRoot::None;
    for (const auto& [name, root] : kRoots) {
        if (backslash != Text::npos && firstSegment == name) expected = root;
    }
    FUZZ_CHECK(parsed.root == expected, shown);
    if (parsed.root == RegistryRoot::None) {
        FUZZ_CHECK(parsed.subkey.empty(), shown);
    } else {
        FUZZ_CHECK(parsed.subkey == TextView(path).substr(backslash + 1), shown);
    }
    return 0;
}
