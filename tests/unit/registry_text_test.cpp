#include "inventory/registry_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Text AsciiUpperText(TextView text) {
    return FoldedText(text, AsciiUpper);
}

struct PathCase {
    const char16_t* path;
    RegistryRoot root;
    const char16_t* subkey;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path));
}

class ParseRegistryPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(ParseRegistryPathTest, SplitsRootAndSubkey) {
    RegistryPath parsed = ParseRegistryPath(GetParam().path, AsciiUpperText);
    EXPECT_EQ(parsed.root, GetParam().root);
    EXPECT_EQ(parsed.subkey, GetParam().subkey);
}

constexpr auto kNone = RegistryRoot::None;

INSTANTIATE_TEST_SUITE_P(
    Paths, ParseRegistryPathTest,
    testing::Values(
        PathCase{u"HKEY_LOCAL_MACHINE\\Software\\Microsoft", RegistryRoot::LocalMachine,
                 u"Software\\Microsoft"},
        PathCase{u"hkey_local_machine\\Software", RegistryRoot::LocalMachine, u"Software"},
        PathCase{u"Hkey_Users\\S-1-5\\Uninstall\\", RegistryRoot::Users, u"S-1-5\\Uninstall\\"},
        PathCase{u"HKEY_USERS\\", RegistryRoot::Users, u""},
        PathCase{u"HKEY_CLASSES_ROOT\\.txt", RegistryRoot::ClassesRoot, u".txt"},
        PathCase{u"HKEY_CURRENT_USER\\Software", RegistryRoot::CurrentUser, u"Software"},
        PathCase{u"HKEY_CURRENT_CONFIG\\System", RegistryRoot::CurrentConfig, u"System"},
        PathCase{u"HKEY_USERS\\\\double", RegistryRoot::Users, u"\\double"},
        // Rejected: abbreviations, unknown roots, no backslash, blanks around the root name.
        PathCase{u"HKLM\\Software", kNone, u""}, PathCase{u"HKEY_USERS", kNone, u""},
        PathCase{u"", kNone, u""}, PathCase{u"\\Software", kNone, u""},
        PathCase{u" HKEY_USERS\\x", kNone, u""}, PathCase{u"HKEY_USERSX\\x", kNone, u""},
        PathCase{u"HKEY_DYN_DATA\\x", kNone, u""}));

TEST(ParseRegistryPathTest, UsesTheInjectedUpperCase) {
    // A mapping that upper-cases nothing leaves a lower-case root unrecognised.
    auto identity = [](TextView text) { return Text(text); };
    EXPECT_EQ(ParseRegistryPath(u"hkey_users\\x", identity).root, kNone);
    EXPECT_EQ(ParseRegistryPath(u"HKEY_USERS\\x", identity).root, RegistryRoot::Users);
}

Text ValueText(uint32_t type, std::vector<uint8_t> bytes) {
    return RegistryValueToText(type, bytes.data(), bytes.size());
}

std::vector<uint8_t> Utf16Bytes(TextView text, bool withNul) {
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(uint8_t(c & 0xff));
        bytes.push_back(uint8_t(c >> 8));
    }
    if (withNul) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

TEST(RegistryValueToTextTest, StringsEndAtFirstNulOrAtTheEndOfTheData) {
    EXPECT_EQ(ValueText(kRegSz, Utf16Bytes(u"Editor 2.1", true)), u"Editor 2.1");
    EXPECT_EQ(ValueText(kRegSz, Utf16Bytes(u"Editor", false)), u"Editor");
    EXPECT_EQ(ValueText(kRegSz, Utf16Bytes(u"a\0b", true)), u"a");
    EXPECT_EQ(ValueText(kRegSz, {}), u"");
    EXPECT_EQ(ValueText(kRegSz, {0, 0}), u"");
    EXPECT_EQ(ValueText(kRegExpandSz, Utf16Bytes(u"%SystemRoot%\\x", true)), u"%SystemRoot%\\x");
    EXPECT_EQ(ValueText(kRegSz, Utf16Bytes(u"Caf\u00e9 \u0416 \U0001F600", true)),
              u"Caf\u00e9 \u0416 \U0001F600");
    EXPECT_EQ(ValueText(kRegSz, Utf16Bytes(u"line\nfeed\ttab", true)), u"line\nfeed\ttab");
}

TEST(RegistryValueToTextTest, OddByteCountsKeepOnlyWholeCodeUnits) {
    EXPECT_EQ(ValueText(kRegSz, {'A', 0, 'B'}), u"A");
    EXPECT_EQ(ValueText(kRegSz, {'A'}), u"");
    EXPECT_EQ(ValueText(kRegExpandSz, {'A', 0, 'B', 0, 0}), u"AB");
}

TEST(RegistryValueToTextTest, BinaryIsUpperCaseHexPairs) {
    EXPECT_EQ(ValueText(kRegBinary, {}), u"");
    EXPECT_EQ(ValueText(kRegBinary, {0x00, 0x01}), u"0001");
    EXPECT_EQ(ValueText(kRegBinary, {0x0A, 0xFF}), u"0AFF");
    EXPECT_EQ(ValueText(kRegBinary, {0xab, 0x5c, 0x10}), u"AB5C10");
    std::vector<uint8_t> full(1024, 0x7f);
    Text expected;
    for (int i = 0; i < 1024; ++i) expected += u"7F";
    EXPECT_EQ(ValueText(kRegBinary, full), expected);
}

TEST(RegistryValueToTextTest, DwordIsSignedDecimalOfAZeroedInt64) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char16_t* text;
    } cases[] = {
        {{0, 0, 0, 0}, u"0"},
        {{0xff, 0xff, 0xff, 0xff}, u"4294967295"},
        {{0x2a, 0, 0, 0}, u"42"},
        {{0x01, 0x02}, u"513"},  // short data fills only the low bytes
        {{}, u"0"},
        {{0x15, 0x3f, 0x34, 0x01}, u"20201237"},
        {{0, 0, 0, 0, 1, 0, 0, 0}, u"4294967296"},
        {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, u"-1"},
        {{0, 0, 0, 0, 0, 0, 0, 0x80}, u"-9223372036854775808"},
        {{1, 0, 0, 0, 0, 0, 0, 0, 0}, u"0"},  // 9 bytes do not fit: the typed read fails
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueText(kRegDword, c.bytes), c.text) << "bytes: " << c.bytes.size();
    }
}

TEST(RegistryValueToTextTest, OtherTypesGiveTheEmptyText) {
    const uint32_t kRegNone = 0, kRegDwordBigEndian = 5, kRegLink = 6, kRegMultiSz = 7,
                   kRegQword = 11;
    for (uint32_t type : {kRegNone, kRegDwordBigEndian, kRegLink, kRegMultiSz, kRegQword,
                          uint32_t(12), uint32_t(0xffffffff)}) {
        EXPECT_EQ(ValueText(type, Utf16Bytes(u"abc", true)), u"") << "type " << type;
    }
}

}  // namespace
