// The built program's version resource, read as Windows reads it, against the project version
// the build was given (LS_PROJECT_VERSION and its parts, from CMakeLists.txt).
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The build puts win_tests.exe into tests/win and listsoftware.exe two folders above.
std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, length);
    return self.substr(0, self.find_last_of(L'\\')) + L"\\..\\..\\listsoftware.exe";
}

class VersionResourceTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::wstring program = ProgramPath();
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version resource, error " << GetLastError();
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, data_.data()));
    }

    // The text of a StringFileInfo field in the resource's first translation; "(missing)" when
    // the resource has no such field.
    std::wstring Field(const std::wstring& name) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
            length < 2 * sizeof(WORD)) {
            return L"(missing)";
        }
        const WORD* translation = static_cast<const WORD*>(value);
        wchar_t block[64];
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
        if (!VerQueryValueW(data_.data(), (block + name).c_str(), &value, &length)) {
            return L"(missing)";
        }
        // The length counts the terminating NUL.
        std::wstring text(static_cast<const wchar_t*>(value), length);
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }

    std::vector<unsigned char> data_;
};

TEST_F(VersionResourceTest, FixedFileInfoHoldsTheProjectVersion) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(LS_PROJECT_VERSION_MINOR, LS_PROJECT_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, LS_PROJECT_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
}

TEST_F(VersionResourceTest, TextFields) {
    struct Case {
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"FileVersion", L"" LS_PROJECT_VERSION},
        {L"ProductVersion", L"" LS_PROJECT_VERSION},
        {L"FileDescription", L"Lists the software installed on this or another computer"},
        {L"ProductName", L"listsoftware"},
        {L"InternalName", L"listsoftware"},
        {L"OriginalFilename", L"listsoftware.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Field(c.name), c.expected) << c.name;
    }
}

}  // namespace
