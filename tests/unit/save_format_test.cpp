#include "export/save_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printable.h"

namespace {

const SaveRowCells kEditorRow{u"Machine",  u"Editor",           u"2.1",
                              u"20240105", u"C:\\Apps\\Editor", u"C:\\Apps\\Editor\\un.exe"};

constexpr SaveChecks kNoBox{false, false, false, false, false};
constexpr SaveChecks kAllBoxes{true, true, true, true, true};

SaveChecks OnlyBox(SaveCheck check) {
    SaveChecks checks = kNoBox;
    checks[check] = true;
    return checks;
}

struct RecordCase {
    const char* name;
    SaveChecks checks;
    const char16_t* record;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveRecordTextTest : public testing::TestWithParam<RecordCase> {};

TEST_P(SaveRecordTextTest, WritesTheTickedLinesInColumnOrderAndAnEmptyLine) {
    EXPECT_EQ(SaveRecordText(kEditorRow, GetParam().checks), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, SaveRecordTextTest,
    testing::Values(RecordCase{"none", kNoBox, u"App Name: Editor\r\n\r\n"},
                    RecordCase{"type", OnlyBox(SaveInstallType),
                               u"App Type: Machine\r\nApp Name: Editor\r\n\r\n"},
                    RecordCase{"version", OnlyBox(SaveVersion),
                               u"App Name: Editor\r\nApp Version: 2.1\r\n\r\n"},
                    RecordCase{"date", OnlyBox(SaveInstallDate),
                               u"App Name: Editor\r\nInstall Date: 20240105\r\n\r\n"},
                    RecordCase{"location", OnlyBox(SaveInstallLocation),
                               u"App Name: Editor\r\nInstall Location: C:\\Apps\\Editor\r\n\r\n"},
                    RecordCase{
                        "uninstall", OnlyBox(SaveUninstallCommand),
                        u"App Name: Editor\r\nUninstall Command: C:\\Apps\\Editor\\un.exe\r\n\r\n"},
                    RecordCase{"all", kAllBoxes,
                               u"App Type: Machine\r\nApp Name: Editor\r\nApp Version: 2.1\r\n"
                               u"Install Date: 20240105\r\nInstall Location: C:\\Apps\\Editor\r\n"
                               u"Uninstall Command: C:\\Apps\\Editor\\un.exe\r\n\r\n"}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(SaveRecordTextCellsTest, ARowWithAnEmptyFirstColumnIsSkipped) {
    const SaveRowCells row{u"", u"Editor", u"2.1", u"", u"", u""};
    EXPECT_EQ(SaveRecordText(row, kNoBox), u"");
    EXPECT_EQ(SaveRecordText(row, kAllBoxes), u"");
}

TEST(SaveRecordTextCellsTest, CellsAreWrittenAsTheyStand) {
    // A line feed stays inside its own line's value; the line still ends with CR LF.
    const SaveRowCells withLineFeed{u"User", u"Two\nLines", u"1.0\r", u"", u" ", u"\"q\" |"};
    EXPECT_EQ(SaveRecordText(withLineFeed, kAllBoxes),
              u"App Type: User\r\nApp Name: Two\nLines\r\nApp Version: 1.0\r\r\n"
              u"Install Date: \r\nInstall Location:  \r\nUninstall Command: \"q\" |\r\n\r\n");
    // Empty cells other than column 0 still give their labelled line.
    const SaveRowCells emptyName{u"Machine", u"", u"", u"", u"", u""};
    EXPECT_EQ(SaveRecordText(emptyName, OnlyBox(SaveVersion)),
              u"App Name: \r\nApp Version: \r\n\r\n");
    // Text outside ASCII is passed on unchanged (conversion happens when the file is written).
    const SaveRowCells unicode{u"User", u"Caf\u00E9 \u0416", u"", u"", u"", u""};
    EXPECT_EQ(SaveRecordText(unicode, kNoBox), u"App Name: Caf\u00E9 \u0416\r\n\r\n");
}

TEST(EnsureTxtExtensionTest, AppendsUnlessTheNameEndsInLowerCaseTxt) {
    struct Case {
        const char16_t* path;
        const char16_t* result;
    } cases[] = {
        {u"C:\\out\\report", u"C:\\out\\report.txt"},
        {u"C:\\out\\report.txt", u"C:\\out\\report.txt"},
        {u"report.csv", u"report.csv.txt"},
        {u"report.TXT", u"report.TXT.txt"},
        {u"report.Txt", u"report.Txt.txt"},
        {u".txt", u".txt"},
        {u"a.txt.txt", u"a.txt.txt"},
        {u"txt", u"txt.txt"},
        {u"xt", u"xt.txt"},
        {u"t", u"t.txt"},
        {u"", u".txt"},
        {u"report.txt ", u"report.txt .txt"},
        {u"report.tx", u"report.tx.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EnsureTxtExtension(c.path), c.result) << Narrow(c.path);
    }
}

TEST(IsUsableProposedNameTest, AcceptsOrdinaryNames) {
    for (const char16_t* name :
         {u"PC01.txt", u"a", u".txt", u"my pc.txt", u"Caf\u00E9.txt", u"x'y;z=1,[2].txt", u" "}) {
        EXPECT_TRUE(IsUsableProposedName(name)) << Narrow(name);
    }
}

TEST(IsUsableProposedNameTest, RejectsEmptyNamesControlCodesAndReservedCharacters) {
    EXPECT_FALSE(IsUsableProposedName(u""));
    for (char16_t c : TextView(u"\"*/:<>?\\|")) {
        EXPECT_FALSE(IsUsableProposedName(Text(u"PC") + c + u"01.txt")) << char(c);
        EXPECT_FALSE(IsUsableProposedName(Text(1, c))) << char(c);
    }
    for (unsigned code = 0; code < 32; ++code) {
        EXPECT_FALSE(IsUsableProposedName(Text(u"PC01") + char16_t(code) + u".txt")) << code;
    }
    EXPECT_FALSE(IsUsableProposedName(Text(u"PC01.txt") + char16_t(31)));
    EXPECT_FALSE(IsUsableProposedName(Text(1, char16_t(0))));
    EXPECT_TRUE(IsUsableProposedName(Text(u"PC") + char16_t(32) + u"01"));
    EXPECT_TRUE(IsUsableProposedName(Text(u"PC") + char16_t(127) + u"01"));
}

TEST(DefaultSaveNameTest, ReplacesTheLocalMachineDotByTheLocalName) {
    const DefaultSaveNameResult local = DefaultSaveName(u".", u"WORKSTATION7");
    EXPECT_EQ(local.computerName, u"WORKSTATION7");
    EXPECT_EQ(local.fileName, u"WORKSTATION7.txt");

    const DefaultSaveNameResult unknown = DefaultSaveName(u".", u"");
    EXPECT_EQ(unknown.computerName, u"");
    EXPECT_EQ(unknown.fileName, u".txt");
}

TEST(DefaultSaveNameTest, KeepsEveryOtherNameAsTyped) {
    struct Case {
        const char16_t* computerName;
        const char16_t* fileName;
    } cases[] = {
        {u"PC01", u"PC01.txt"}, {u"10.0.0.5", u"10.0.0.5.txt"}, {u"..", u"...txt"},
        {u" .", u" ..txt"},     {u"pc:1", u"pc:1.txt"},         {u"", u".txt"},
    };
    for (const Case& c : cases) {
        const DefaultSaveNameResult result = DefaultSaveName(c.computerName, u"LOCAL");
        EXPECT_EQ(result.computerName, c.computerName) << Narrow(c.computerName);
        EXPECT_EQ(result.fileName, c.fileName) << Narrow(c.computerName);
    }
}

TEST(SaveDialogStartTest, ProposesTheDefaultNameWhenUsable) {
    const SaveDialogStart local = SaveDialogStartFor(DefaultSaveName(u".", u"PC07").fileName);
    EXPECT_FALSE(local.initialFolder.has_value());
    EXPECT_EQ(local.fileName, u"PC07.txt");

    const SaveDialogStart named = SaveDialogStartFor(DefaultSaveName(u"PC01", u"PC07").fileName);
    EXPECT_FALSE(named.initialFolder.has_value());
    EXPECT_EQ(named.fileName, u"PC01.txt");
}

TEST(SaveDialogStartTest, AnUnusableNameOpensEmpty) {
    for (const char16_t* computerName : {u"pc:1", u"a*b", u"x?", u"\"q\"", u"a|b", u"a/b"}) {
        const SaveDialogStart start =
            SaveDialogStartFor(DefaultSaveName(computerName, u"LOCAL").fileName);
        EXPECT_FALSE(start.initialFolder.has_value()) << Narrow(computerName);
        EXPECT_EQ(start.fileName, u"") << Narrow(computerName);
    }
    // "." with an unknown local name proposes ".txt", which is a usable name.
    EXPECT_EQ(SaveDialogStartFor(DefaultSaveName(u".", u"").fileName).fileName, u".txt");
}

TEST(SaveDialogStartTest, SplitsAtTheLastBackslash) {
    struct Case {
        const char16_t* defaultName;
        const char16_t* folder;  // nullptr: no initial folder
        const char16_t* fileName;
    } cases[] = {
        {u"C:\\out\\PC01.txt", u"C:\\out", u"PC01.txt"},
        {u"\\\\server\\share\\PC01.txt", u"\\\\server\\share", u"PC01.txt"},
        {u"a\\b.txt", u"a", u"b.txt"},
        {u"\\PC01.txt", u"", u"PC01.txt"},
        {u"C:\\out\\.txt", u"C:\\out", u".txt"},
        // The folder part may hold anything; only the proposed name must be usable.
        {u"pc:1\\PC01.txt", u"pc:1", u"PC01.txt"},
        {u"C:\\out\\pc:1.txt", u"C:\\out", u""},
        {u"C:\\out\\", u"C:\\out", u""},
        {u"PC01.txt", nullptr, u"PC01.txt"},
    };
    for (const Case& c : cases) {
        const SaveDialogStart start = SaveDialogStartFor(c.defaultName);
        if (c.folder == nullptr) {
            EXPECT_FALSE(start.initialFolder.has_value()) << Narrow(c.defaultName);
        } else {
            EXPECT_EQ(start.initialFolder, Text(c.folder)) << Narrow(c.defaultName);
        }
        EXPECT_EQ(start.fileName, c.fileName) << Narrow(c.defaultName);
    }
}

TEST(SaveDialogStartTest, ANameTooLongForTheBufferOpensEmpty) {
    // The buffer holds 259 characters and the terminating zero.
    const Text fits = Text(255, u'n') + u".txt";
    ASSERT_EQ(fits.size(), kSaveFileNameBufferLength - 1);
    EXPECT_EQ(SaveDialogStartFor(fits).fileName, fits);
    EXPECT_EQ(SaveDialogStartFor(fits + u"x").fileName, u"");
    EXPECT_EQ(SaveDialogStartFor(u"C:\\out\\" + fits).fileName, fits);
}

TEST(SaveFilterListTest, TurnsBarsIntoZerosAndEndsWithTwoZeros) {
    const Text list = SaveFilterList(kSaveFilterText);
    const char16_t expected[] = u"Text (*.txt)\0*.txt\0";  // the literal adds the last zero
    EXPECT_EQ(list, Text(expected, sizeof expected / sizeof expected[0]));
    EXPECT_EQ(list.size(), 20u);
    EXPECT_EQ(list.substr(list.size() - 2), Text(2, u'\0'));

    const char16_t two[] = u"A\0a\0B\0b\0";
    EXPECT_EQ(SaveFilterList(u"A|a|B|b"), Text(two, sizeof two / sizeof two[0]));
    EXPECT_EQ(SaveFilterList(u""), Text(2, u'\0'));
}

TEST(SaveTextsTest, MessageTexts) {
    EXPECT_EQ(kSaveDialogTitle, u"Save Application List");
    EXPECT_EQ(kSaveDirectoryExistsText, u"Already exists as a directory");
    EXPECT_EQ(kSaveFileExistsTitle, u"File Exists");
    EXPECT_EQ(kSaveOverwriteQuestion, u"Overwrite Existing File?");
    EXPECT_EQ(kErrorTitle, u"Error");
    EXPECT_EQ(SaveFailedMessage(u"C:\\out\\PC01.txt"),
              u"The list could not be saved to C:\\out\\PC01.txt.");
}

}  // namespace
