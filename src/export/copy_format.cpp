#include "export/copy_format.h"

namespace {

// Appends field to out as CopiedField gives it.
void AppendField(Text& out, TextView field) {
    if (field.find_first_of(u"\t\r\n\"") == TextView::npos) {
        out += field;
        return;
    }
    out += u'"';
    for (char16_t c : field) {
        out += c;
        if (c == u'"') out += c;
    }
    out += u'"';
}

void AppendRow(Text& out, const ListRows& rows, size_t row, size_t columns) {
    for (size_t column = 0; column < columns; ++column) {
        if (column > 0) out += u'\t';
        AppendField(out, rows.CellText(row, column));
    }
}

}  // namespace

Text CopiedField(TextView field) {
    Text copied;
    AppendField(copied, field);
    return copied;
}

Text CopiedRow(const ListRows& rows, size_t row, size_t columns) {
    Text line;
    AppendRow(line, rows, row, columns);
    return line;
}

Text CopiedRows(const ListRows& rows, std::span<const TextView> titles) {
    Text text;
    for (size_t column = 0; column < titles.size(); ++column) {
        if (column > 0) text += u'\t';
        AppendField(text, titles[column]);
    }
    text += u"\r\n";
    for (size_t row = 0; row < rows.RowCount(); ++row) {
        AppendRow(text, rows, row, titles.size());
        text += u"\r\n";
    }
    return text;
}
