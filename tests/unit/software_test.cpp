#include "inventory/software.h"

#include <gtest/gtest.h>

#include "common/list_rows.h"
#include "inventory/scan_outcome.h"

namespace {

TEST(KeepTest, DropsEmptyNamesAndEveryNoiseFragment) {
    struct Case {
        const char16_t* name;
        bool kept;
    } cases[] = {
        {u"", false},
        {u"Security Update for Microsoft Office 2013 (KB5002038)", false},
        {u"Update for Windows 10 (KB4023057)", false},
        {u"Service Pack 1 for Microsoft Office 2013", false},
        {u"Microsoft Visual C++ 2015-2022 Redistributable (x86)", false},
        {u"Microsoft .NET Framework 4.8 Language Pack - DEU", false},
        {u"Microsoft Office Shared MUI (English) 2016", false},
        {u"Contoso OfficeMUISet", false},  // MUI inside a longer word still counts
        {u"Microsoft Office Proofing Tools 2016 - English", false},
        {u"Microsoft Office IME (Japanese) 2010", false},
        // Near misses: the match is case-sensitive and needs the whole fragment.
        {u"security update helper", true},
        {u"Update For Contoso", true},
        {u"Mui Player", true},
        {u"Microsoft Office Professional Plus 2019", true},
        {u"Microsoft Visio", true},
        {u"Google Update Helper", true},
        {u"Language Packer", false},
        {u"Servicepack Tool", true},
        {u" ", true},
        {u"Line\nFeed App", true},
    };
    for (const Case& c : cases) {
        Text name = c.name;
        EXPECT_EQ(IsKeptDisplayName(name), c.kept) << std::string(name.begin(), name.end());
    }
}

TEST(SoftwareEntryTest, FieldsComeInColumnOrder) {
    SoftwareEntry entry{u"User", u"Name", u"1.0", u"20230105", u"C:\\App", u"C:\\App\\un.exe"};
    const char16_t* expected[] = {u"User",     u"Name",    u"1.0",
                                  u"20230105", u"C:\\App", u"C:\\App\\un.exe"};
    for (size_t i = 0; i < SoftwareEntry::kFieldCount; ++i) EXPECT_EQ(entry.Field(i), expected[i]);
}

TEST(CountSignedOutUsersTest, CountsPeoplesProfilesWithoutALoadedHive) {
    const std::vector<Text> loaded = {u".DEFAULT", u"S-1-5-18", u"S-1-5-21-1-2-3-1000",
                                      u"s-1-12-1-7-8-9-10"};
    struct Case {
        std::vector<Text> profiles;
        size_t count;
    } cases[] = {
        {{}, 0},
        {{u"s-1-5-21-1-2-3-1000", u"S-1-12-1-7-8-9-10"}, 0},  // loaded, in another case
        {{u"S-1-5-21-1-2-3-1001", u"S-1-12-1-7-8-9-11"}, 2},  // local or domain, cloud
        {{u"S-1-5-21-1-2-3-1001.bak", u"S-1-5-21-1-2-3-1001.BAK"}, 0},
        {{u"S-1-5-19", u"S-1-5-80-1-2", u"S-1-5-21", u"S-1-12-2-1", u"X-1-5-21-1"}, 0},
        {{u"S-1-5-18", u"S-1-5-21-1-2-3-1002", u"S-1-5-21-1-2-3-1002.bak"}, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(CountSignedOutUsers(cases[i].profiles, loaded), cases[i].count) << "case " << i;
    }
    EXPECT_EQ(CountSignedOutUsers({u"S-1-5-21-1-2-3-1000"}, {}), 1u);
    // A user's classes hive is loaded beside the user's own and names no account.
    EXPECT_FALSE(IsUserAccountName(u"S-1-5-21-1-2-3-1000_Classes"));
    EXPECT_TRUE(IsUserAccountName(u"S-1-5-21-1-2-3-1000"));
}

TEST(HivesToScanTest, TheLocalSystemHiveOnceAtItsFirstName) {
    const std::vector<std::pair<std::vector<Text>, std::vector<Text>>> cases = {
        {{u".DEFAULT", u"S-1-5-18", u"S-1-5-19"}, {u".DEFAULT", u"S-1-5-19"}},
        {{u"S-1-5-18", u"S-1-5-21-1", u".Default"}, {u"S-1-5-18", u"S-1-5-21-1"}},
        {{u"s-1-5-18", u"S-1-5-18"}, {u"s-1-5-18"}},
        {{u".Default", u"S-1-5-21-1"}, {u".Default", u"S-1-5-21-1"}},
        {{}, {}},
    };
    for (const auto& [hives, scanned] : cases) EXPECT_EQ(HivesToScan(hives), scanned);
}

TEST(ProgressDotsTest, CyclesThroughElevenTextsAndKeepsItsPlace) {
    ProgressDots dots;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i <= 10; ++i) {
            EXPECT_EQ(dots.Tick(), u"Please wait" + Text(size_t(i), u'.')) << "tick " << i;
        }
    }
    // A later scan goes on from where the last one stopped.
    for (int i = 0; i < 4; ++i) static_cast<void>(dots.Tick());
    EXPECT_EQ(dots.Tick(), u"Please wait....");
}

TEST(ScanEndTextTest, SaysHowTheScanEnded) {
    EXPECT_EQ(kPleaseWaitText, u"Please wait");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 0}), u"Completed Successfully");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 1}),
              u"Completed Successfully (1 signed-out user not included)");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 2}),
              u"Completed Successfully (2 signed-out users not included)");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 0, 1}),
              u"Completed Successfully (1 user could not be read)");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 0, 3}),
              u"Completed Successfully (3 users could not be read)");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 2, 1}),
              u"Completed Successfully (2 users signed out, 1 unreadable)");
    EXPECT_EQ(ScanEndText({ScanEnd::Completed, 1, 2}),
              u"Completed Successfully (1 user signed out, 2 unreadable)");
    EXPECT_EQ(ScanEndText({ScanEnd::ConnectionLost, 2}),
              u"Connection lost: the list is incomplete");
    EXPECT_EQ(ScanEndText({ScanEnd::NothingRead}), u"Unable to read the remote registry");
}

}  // namespace

TEST(ShownCellTextTest, IsTheFieldUpToItsFirstNulAndAtMost259Units) {
    const Text long300(300, u'x');
    EXPECT_EQ(ShownCellText(long300), Text(259, u'x'));
    EXPECT_EQ(ShownCellText(Text(259, u'y')), Text(259, u'y'));
    EXPECT_EQ(ShownCellText(Text(u"ab\0cd", 5)), u"ab");
    EXPECT_EQ(ShownCellText(u""), u"");
}
