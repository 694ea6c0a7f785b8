// The registry access layer against the real registry of the throwaway Wine prefix.
#include "inventory/registry_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/wide_win.h"

namespace {

constexpr wchar_t kTestKey[] = L"Software\\ListSoftwareTests\\Registry";
const Text kKeyPath = u"HKEY_CURRENT_USER\\Software\\ListSoftwareTests\\Registry";

void SetRaw(HKEY key, const wchar_t* name, DWORD type, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, bytes.data(), DWORD(bytes.size())), ERROR_SUCCESS);
}

std::vector<uint8_t> Utf16(const std::wstring& text, bool withNul) {
    std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()),
                               reinterpret_cast<const uint8_t*>(text.data() + text.size()));
    if (withNul) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

class RegistryAccessTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        SetRaw(key.get(), L"Plain", REG_SZ, Utf16(L"Editor 2.1", true));
        SetRaw(key.get(), L"Sz511", REG_SZ, Utf16(std::wstring(511, L'x'), true));
        SetRaw(key.get(), L"Sz512", REG_SZ, Utf16(std::wstring(512, L'y'), true));
        SetRaw(key.get(), L"NoNul", REG_SZ, Utf16(L"Unterminated", false));
        SetRaw(key.get(), L"Expand", REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\app.exe", true));
        SetRaw(key.get(), L"Dword0", REG_DWORD, {0, 0, 0, 0});
        SetRaw(key.get(), L"DwordMax", REG_DWORD, {0xff, 0xff, 0xff, 0xff});
        SetRaw(key.get(), L"DwordShort", REG_DWORD, {0x01, 0x02});
        SetRaw(key.get(), L"DwordLong", REG_DWORD, std::vector<uint8_t>(12, 0x01));
        SetRaw(key.get(), L"BinaryEmpty", REG_BINARY, {});
        SetRaw(key.get(), L"Binary0001", REG_BINARY, {0x00, 0x01});
        SetRaw(key.get(), L"Multi", REG_MULTI_SZ, Utf16(std::wstring(L"a\0b\0", 4), true));
        SetRaw(key.get(), L"Qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
        SetRaw(key.get(), L"LineFeed", REG_SZ, Utf16(L"first\nsecond", true));
        for (const wchar_t* sub : {L"Alpha", L"beta", L"Gamma"}) {
            UniqueRegKey child;
            ASSERT_EQ(RegCreateKeyExW(key.get(), sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      child.put(), nullptr),
                      ERROR_SUCCESS);
        }
    }
    static void TearDownTestSuite() { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    static Text Read(const char16_t* name) { return ReadRegistryValue(kKeyPath, name, u"."); }
};

TEST_F(RegistryAccessTest, ValuesComeBackAsText) {
    struct Case {
        const char16_t* name;
        Text expected;
    } cases[] = {
        {u"Plain", u"Editor 2.1"},
        {u"Sz511", Text(511, u'x')},
        {u"Sz512", u""},  // 1026 bytes exceed the 1024-byte limit
        {u"NoNul", u"Unterminated"},
        {u"Expand", u"%SystemRoot%\\app.exe"},
        {u"Dword0", u"0"},
        {u"DwordMax", u"4294967295"},
        {u"DwordShort", u"513"},
        {u"DwordLong", u"0"},  // found, but its typed read does not fit 8 bytes
        {u"BinaryEmpty", u""},
        {u"Binary0001", u"0001"},
        {u"Multi", u""},
        {u"Qword", u""},
        {u"LineFeed", u"first\nsecond"},
        {u"Missing", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.name), c.expected) << std::string(c.name, c.name + 6);
    }
}

TEST_F(RegistryAccessTest, RootNameIsCaseInsensitiveButNotAbbreviated) {
    EXPECT_EQ(ReadRegistryValue(u"hkey_current_user\\Software\\ListSoftwareTests\\Registry",
                                u"Plain", u"."),
              u"Editor 2.1");
    EXPECT_EQ(ReadRegistryValue(u"HKCU\\Software\\ListSoftwareTests\\Registry", u"Plain", u"."),
              u"");
    EXPECT_EQ(ReadRegistryValue(u"HKEY_CURRENT_USER", u"Plain", u"."), u"");
}

TEST_F(RegistryAccessTest, OnlyASingleFullStopIsTheLocalMachine) {
    for (const char16_t* remote : {u"..", u" .", u". "}) {
        EXPECT_EQ(ReadRegistryValue(kKeyPath, u"Plain", remote), u"")
            << "computer name of length " << std::char_traits<char16_t>::length(remote);
        EXPECT_EQ(EnumRegistrySubkey(kKeyPath, 0, remote), u"");
    }
}

TEST_F(RegistryAccessTest, TheLocalComputersOwnNameReachesTheLocalRegistry) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(name, &length));
    Text own = FromWide(name, length);
    EXPECT_EQ(ReadRegistryValue(u"HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\ListSoftwareTests"
                                u"\\Registry",
                                u"Plain", own),
              u"Editor 2.1");
    EXPECT_EQ(EnumRegistrySubkey(u"HKEY_USERS\\", 0, own),
              EnumRegistrySubkey(u"HKEY_USERS\\", 0, u"."));
    EXPECT_TRUE(TestRegistryConnection(own).connected);
    const RegistryConnection none = TestRegistryConnection(u"..");
    EXPECT_FALSE(none.connected);
    EXPECT_NE(none.error, 0u);
}

TEST_F(RegistryAccessTest, EnumeratesSubkeysUntilTheEmptyText) {
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath, 0, u"."), u"Alpha");
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath, 1, u"."), u"beta");
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath, 2, u"."), u"Gamma");
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath, 3, u"."), u"");  // index equal to the count
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath, 0xffffffff, u"."), u"");
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath + u"\\", 0, u"."), u"Alpha");  // trailing backslash
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath + u"\\NoSuchKey", 0, u"."), u"");
    EXPECT_EQ(EnumRegistrySubkey(kKeyPath + u"\\NoSuchKey", 5, u"."), u"");
}

TEST_F(RegistryAccessTest, EveryReadKeepsWindowsStatus) {
    RegistryReader local(u".");
    const struct {
        RegistryRead read;
        uint32_t status;
        bool lost;
    } cases[] = {
        {local.EnumSubkey(kKeyPath, 2), 0, false},
        {local.EnumSubkey(kKeyPath, 3), kStatusNoMoreItems, false},
        {local.EnumSubkey(kKeyPath + u"\\NoSuchKey", 0), kStatusNotFound, false},
        {local.ReadValue(kKeyPath, u"Missing"), kStatusNotFound, false},
        {local.ReadValue(kKeyPath, u"Sz512"), ERROR_MORE_DATA, false},
        // Under Wine any other name than this computer's is a network path not found.
        {RegistryReader(u"..").EnumSubkey(kKeyPath, 0), ERROR_BAD_NETPATH, true},
        {RegistryReader(u"..").ReadValue(kKeyPath, u"Plain"), ERROR_BAD_NETPATH, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].read.status, cases[i].status) << "case " << i;
        EXPECT_EQ(LostConnection(cases[i].read), cases[i].lost) << "case " << i;
    }
    EXPECT_EQ(cases[0].read.text, u"Gamma");
}

TEST_F(RegistryAccessTest, UsersRootEnumeratesTheLoadedHives) {
    wchar_t first[1024];
    DWORD length = 1024;
    ASSERT_EQ(RegEnumKeyExW(HKEY_USERS, 0, first, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(EnumRegistrySubkey(u"HKEY_USERS\\", 0, u"."), FromWide(first, length));
    Text hives;
    for (uint32_t i = 0;; ++i) {
        Text hive = EnumRegistrySubkey(u"HKEY_USERS\\", i, u".");
        if (hive.empty()) break;
        hives += hive + u";";
    }
    EXPECT_NE(hives.find(u"S-1-5-21-0-0-0-1000;"), Text::npos);
}

TEST_F(RegistryAccessTest, ReadsTheMachineWideKey) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\ListSoftwareTests", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    SetRaw(key.get(), L"Where", REG_SZ, Utf16(L"machine", true));
    EXPECT_EQ(ReadRegistryValue(u"HKEY_LOCAL_MACHINE\\Software\\ListSoftwareTests", u"Where", u"."),
              u"machine");
    key.reset();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\ListSoftwareTests");
}

}  // namespace
