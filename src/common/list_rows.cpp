#include "common/list_rows.h"

#include <algorithm>

TextView ShownCellText(TextView text) {
    return text.substr(0, std::min(text.find(u'\0'), kShownCellUnits));
}

TextView SortedCellText(TextView text) {
    return text.substr(0, kSortedCellUnits);
}

bool IsRowOrder(const std::vector<size_t>& order, size_t rowCount) {
    if (order.size() != rowCount) return false;
    std::vector<bool> seen(rowCount, false);
    for (size_t row : order) {
        if (row >= rowCount || seen[row]) return false;
        seen[row] = true;
    }
    return true;
}

std::vector<size_t> PositionsAfter(const std::vector<size_t>& order) {
    std::vector<size_t> position(order.size());
    for (size_t target = 0; target < order.size(); ++target) position[order[target]] = target;
    return position;
}

int FindRowByText(size_t rowCount, const std::function<TextView(size_t row)>& rowText,
                  TextView find, bool prefix, int start, bool wrap, CodeUnitMap fold) {
    const Text folded = FoldedText(find, fold);
    auto matches = [&](size_t row) {
        TextView text = rowText(row);
        if (prefix ? text.size() < folded.size() : text.size() != folded.size()) return false;
        for (size_t i = 0; i < folded.size(); ++i) {
            if (fold(text[i]) != folded[i]) return false;
        }
        return true;
    };
    const size_t first = start < 0 ? 0 : std::min(size_t(start), rowCount);
    for (size_t row = first; row < rowCount; ++row) {
        if (matches(row)) return int(row);
    }
    for (size_t row = 0; wrap && row < first; ++row) {
        if (matches(row)) return int(row);
    }
    return -1;
}
