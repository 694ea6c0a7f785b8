#include "export/copy_format.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// Rows of texts, as the list's owner holds them.
class TableRows final : public ListRows {
  public:
    explicit TableRows(std::vector<std::vector<Text>> rows) : rows_(std::move(rows)) {}
    size_t RowCount() const override { return rows_.size(); }
    TextView CellText(size_t row, size_t column) const override {
        return row < rows_.size() && column < rows_[row].size() ? TextView(rows_[row][column])
                                                                : TextView();
    }
    bool Reorder(const std::vector<size_t>&) override { return false; }

  private:
    std::vector<std::vector<Text>> rows_;
};

TEST(CopiedFieldTest, QuotesOnlyTextsThatWouldBreakARowOrAField) {
    const struct {
        Text field;
        Text copied;
    } cases[] = {
        {u"C:\\Apps\\un.exe /S", u"C:\\Apps\\un.exe /S"},  // as it stands
        {u"", u""},
        {u"a\tb", u"\"a\tb\""},
        {u"line\nfeed", u"\"line\nfeed\""},
        {u"cr\r", u"\"cr\r\""},
        {u"\"C:\\x.exe\" /q", u"\"\"\"C:\\x.exe\"\" /q\""},  // each quote doubled
        {u"\u00C9diteur", u"\u00C9diteur"},
    };
    for (const auto& c : cases) EXPECT_EQ(CopiedField(c.field), c.copied);
}

TEST(CopiedRowsTest, RowsJoinByTabsAndListLinesEndWithCrLf) {
    const TableRows rows({
        {u"Machine", u"Tab\there", u"1.0\n2.0", u"", u"say \"hi\"", u"x.exe"},
        {u"User", u"Tool", u"", u"", u"", u""},
    });
    EXPECT_EQ(CopiedRow(rows, 0, 6),
              u"Machine\t\"Tab\there\"\t\"1.0\n2.0\"\t\t\"say \"\"hi\"\"\"\tx.exe");
    EXPECT_EQ(CopiedRow(rows, 1, 6), u"User\tTool\t\t\t\t");
    const std::array<TextView, 6> titles{u"Install Type", u"App Name",         u"App Version",
                                         u"Install Date", u"Install Location", u"Uninstall String"};
    const Text titleLine =
        u"Install Type\tApp Name\tApp Version\tInstall Date\tInstall Location\tUninstall "
        u"String\r\n";
    EXPECT_EQ(CopiedRows(rows, titles),
              titleLine + u"Machine\t\"Tab\there\"\t\"1.0\n2.0\"\t\t\"say \"\"hi\"\"\"\tx.exe\r\n" +
                  u"User\tTool\t\t\t\t\r\n");
    EXPECT_EQ(CopiedRows(TableRows({}), titles), titleLine);
}

}  // namespace
