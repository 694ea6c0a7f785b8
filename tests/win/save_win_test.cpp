// Writing the saved list in the throwaway Wine prefix: the exact bytes in the ANSI code page
// (1252 there), the blocks of the write buffer, overwriting, and the saves that must fail.
#include "export/save_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/wide_win.h"

namespace {

constexpr SaveChecks kNoBox{false, false, false, false, false};
constexpr SaveChecks kAllBoxes{true, true, true, true, true};

const SaveRowCells kEditorRow{u"Machine",  u"Editor",           u"2.1",
                              u"20240105", u"C:\\Apps\\Editor", u"C:\\Apps\\Editor\\un.exe"};
const SaveRowCells kToolRow{u"User", u"Tool", u"", u"", u"", u"tool.exe /remove"};

// The whole content of a file, or none when it cannot be read.
std::optional<std::string> FileBytes(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char block[8192];
    DWORD read = 0;
    while (ReadFile(file.get(), block, sizeof block, &read, nullptr) && read > 0) {
        bytes.append(block, read);
    }
    return bytes;
}

bool PutFile(const std::wstring& path, const std::string& bytes) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes a folder and everything in it, read-only files included.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

// Every test writes into a folder of its own under the prefix's temporary folder.
class SaveFileTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        ASSERT_GT(length, 0u);
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "-" + test->name();
        for (char& c : name) {
            if (c == '/') c = '-';
        }
        folder_ = std::wstring(temp, length) + L"ls-save-" + std::wstring(name.begin(), name.end());
        RemoveTree(folder_);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
    }
    void TearDown() override { RemoveTree(folder_); }

    std::wstring PathOf(const std::wstring& name) const { return folder_ + L"\\" + name; }

    std::wstring folder_;
};

// ----- the bytes of the file ------------------------------------------------------------------

struct BytesCase {
    const char* name;
    std::vector<SaveRowCells> rows;
    SaveChecks checks;
    std::string bytes;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveFileBytesTest : public SaveFileTest, public testing::WithParamInterface<BytesCase> {};

TEST_P(SaveFileBytesTest, HoldsExactlyTheRecordsInTheAnsiCodePage) {
    const std::wstring path = PathOf(L"list.txt");
    ASSERT_TRUE(WriteSaveFile(FromWide(path), GetParam().rows, GetParam().checks));
    EXPECT_EQ(FileBytes(path), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Records, SaveFileBytesTest,
    testing::Values(
        BytesCase{"NoBox",
                  {kEditorRow, kToolRow},
                  kNoBox,
                  "App Name: Editor\r\n\r\nApp Name: Tool\r\n\r\n"},
        BytesCase{"AllBoxes",
                  {kEditorRow, kToolRow},
                  kAllBoxes,
                  "App Type: Machine\r\nApp Name: Editor\r\nApp Version: 2.1\r\n"
                  "Install Date: 20240105\r\nInstall Location: C:\\Apps\\Editor\r\n"
                  "Uninstall Command: C:\\Apps\\Editor\\un.exe\r\n\r\n"
                  "App Type: User\r\nApp Name: Tool\r\nApp Version: \r\nInstall Date: \r\n"
                  "Install Location: \r\nUninstall Command: tool.exe /remove\r\n\r\n"},
        BytesCase{"RowsWithoutInstallTypeSkipped",
                  {{u"", u"Hidden", u"1"}, kToolRow, {u"", u"", u""}, kEditorRow},
                  {false, true, false, false, false},
                  "App Name: Tool\r\nApp Version: \r\n\r\nApp Name: Editor\r\nApp Version: "
                  "2.1\r\n\r\n"},
        BytesCase{"NoQualifyingRowIsEmpty", {{u"", u"Hidden"}, {u"", u"Other"}}, kAllBoxes, ""},
        BytesCase{"NoRowIsEmpty", {}, kNoBox, ""},
        BytesCase{"CodePage1252Letters",
                  {{u"Machine", u"\u00C9diteur de texte", u"5.4 \u20AC", u"", u"C:\\\u00C9diteur"}},
                  {false, true, false, true, false},
                  "App Name: \xC9"
                  "diteur de texte\r\nApp Version: 5.4 \x80\r\n"
                  "Install Location: C:\\\xC9"
                  "diteur\r\n\r\n"},
        BytesCase{"OutsideTheCodePageBecomesTheDefaultCharacter",
                  {{u"Machine", u"\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0430 x",
                    u"\u4E2D1.2"}},
                  {false, true, false, false, false},
                  "App Name: ????????? x\r\nApp Version: ?1.2\r\n\r\n"},
        BytesCase{"LineFeedInsideACellStays",
                  {{u"Machine", u"Line\nFeed App"}},
                  kNoBox,
                  "App Name: Line\nFeed App\r\n\r\n"}),
    [](const testing::TestParamInfo<BytesCase>& info) { return std::string(info.param.name); });

// One row of exactly `size` bytes with no box ticked ("App Name: " + name + CR LF CR LF), so
// that the file's size falls just below, on and just above the write buffer's blocks.
class SaveFileBlockTest : public SaveFileTest, public testing::WithParamInterface<size_t> {};

TEST_P(SaveFileBlockTest, WritesEveryByteAcrossBufferBlocks) {
    const size_t size = GetParam();
    const size_t nameLength = size - 14;
    Text name;
    std::string expectedName;
    for (size_t i = 0; i < nameLength; ++i) {
        name += char16_t(u'a' + i % 26);
        expectedName += char('a' + i % 26);
    }
    const std::vector<SaveRowCells> rows{{u"Machine", name}};
    const std::wstring path = PathOf(L"block.txt");
    ASSERT_TRUE(WriteSaveFile(FromWide(path), rows, kNoBox));
    const std::optional<std::string> bytes = FileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), size);
    EXPECT_EQ(*bytes, "App Name: " + expectedName + "\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Sizes, SaveFileBlockTest,
                         testing::Values(size_t(15), size_t(4095), size_t(4096), size_t(4097),
                                         size_t(8192), size_t(12289)));

TEST_F(SaveFileTest, ManyRowsKeepTheirOrder) {
    std::vector<SaveRowCells> rows;
    std::string expected;
    for (int i = 0; i < 700; ++i) {
        const std::string number = std::to_string(i);
        const Text wideNumber(number.begin(), number.end());
        rows.push_back({u"User", u"Program " + wideNumber, wideNumber + u".0"});
        expected += "App Name: Program " + number + "\r\nApp Version: " + number + ".0\r\n\r\n";
    }
    const std::wstring path = PathOf(L"many.txt");
    ASSERT_TRUE(WriteSaveFile(FromWide(path), rows, {false, true, false, false, false}));
    EXPECT_EQ(FileBytes(path), expected);
}

// ----- overwriting ----------------------------------------------------------------------------

struct OverwriteCase {
    const char* name;
    std::vector<SaveRowCells> rows;
    std::string bytes;
};

void PrintTo(const OverwriteCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveFileOverwriteTest : public SaveFileTest,
                              public testing::WithParamInterface<OverwriteCase> {};

TEST_P(SaveFileOverwriteTest, LeavesExactlyTheNewContent) {
    const std::wstring path = PathOf(L"old.txt");
    ASSERT_TRUE(PutFile(path, std::string(10000, 'x')));
    ASSERT_TRUE(WriteSaveFile(FromWide(path), GetParam().rows, kNoBox));
    EXPECT_EQ(FileBytes(path), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Overwrite, SaveFileOverwriteTest,
    testing::Values(OverwriteCase{"ShorterList", {kEditorRow}, "App Name: Editor\r\n\r\n"},
                    OverwriteCase{"NothingShown", {}, ""}),
    [](const testing::TestParamInfo<OverwriteCase>& info) { return std::string(info.param.name); });

// ----- saves that cannot be done --------------------------------------------------------------

TEST_F(SaveFileTest, FileHeldOpenByAnotherProgramIsReportedAndLeftAlone) {
    struct Hold {
        const char* name;
        DWORD access;
        DWORD share;
    } holds[] = {
        {"no sharing", GENERIC_READ, 0},
        // The save asks for the file to itself, so even a holder that shares everything blocks.
        {"full sharing", GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
    };
    for (const Hold& hold : holds) {
        SCOPED_TRACE(hold.name);
        const std::wstring path = PathOf(L"held.txt");
        ASSERT_TRUE(PutFile(path, "kept content"));
        {
            UniqueFileHandle holder(CreateFileW(path.c_str(), hold.access, hold.share, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(holder);
            EXPECT_FALSE(WriteSaveFile(FromWide(path), {{kEditorRow}}, kAllBoxes));
        }
        EXPECT_EQ(FileBytes(path), "kept content");
    }
}

TEST_F(SaveFileTest, PathThatCannotBeCreatedIsReportedAndCreatesNothing) {
    ASSERT_TRUE(CreateDirectoryW(PathOf(L"folder.txt").c_str(), nullptr));
    struct Case {
        const char* name;
        std::wstring path;
    } cases[] = {
        {"missing folder", PathOf(L"missing\\list.txt")},
        {"a directory", PathOf(L"folder.txt")},
        // One more character than a file name may hold.
        {"name too long", PathOf(std::wstring(252, L'n') + L".txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(WriteSaveFile(FromWide(c.path), {{kEditorRow}}, kNoBox));
    }
    EXPECT_TRUE(IsDirectory(PathOf(L"folder.txt")));
    // Nothing but the directory made above is in the folder: no file, no missing folder.
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW(PathOf(L"*").c_str(), &found));
    ASSERT_TRUE(find);
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find.get(), &found));
    EXPECT_EQ(names, std::vector<std::wstring>{L"folder.txt"});
}

}  // namespace
