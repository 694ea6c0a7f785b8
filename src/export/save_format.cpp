#include "export/save_format.h"

namespace {

constexpr TextView kTxtExtension = u".txt";

bool IsForbiddenNameCodeUnit(char16_t c) {
    if (c < 32) return true;
    return TextView(u"\"*/:<>?\\|").find(c) != TextView::npos;
}

}  // namespace

Text SaveRecordText(const SaveRowCells& cells, const SaveChecks& checks) {
    if (cells[kInstallTypeColumn].empty()) return Text();
    Text record;
    for (size_t column = 0; column < cells.size(); ++column) {
        const int check = kSaveColumns[column].check;
        if (check >= 0 && !checks[size_t(check)]) continue;
        record += kSaveColumns[column].label;
        record += cells[column];
        record += kSaveLineEnd;
    }
    record += kSaveLineEnd;
    return record;
}

Text EnsureTxtExtension(TextView path) {
    Text result(path);
    if (!path.ends_with(kTxtExtension)) result += kTxtExtension;
    return result;
}

bool IsUsableProposedName(TextView name) {
    if (name.empty()) return false;
    for (char16_t c : name) {
        if (IsForbiddenNameCodeUnit(c)) return false;
    }
    return true;
}

DefaultSaveNameResult DefaultSaveName(TextView computerName, TextView localComputerName) {
    DefaultSaveNameResult result;
    result.computerName = Text(computerName == u"." ? localComputerName : computerName);
    result.fileName = result.computerName + Text(kTxtExtension);
    return result;
}

SaveDialogStart SaveDialogStartFor(TextView defaultName) {
    SaveDialogStart start;
    TextView proposed = defaultName;
    const size_t lastBackslash = defaultName.rfind(u'\\');
    if (lastBackslash != TextView::npos) {
        start.initialFolder = Text(defaultName.substr(0, lastBackslash));
        proposed = defaultName.substr(lastBackslash + 1);
    }
    // A name the buffer cannot hold would be cut to a different name, so it opens empty too.
    if (IsUsableProposedName(proposed) && proposed.size() < kSaveFileNameBufferLength) {
        start.fileName = Text(proposed);
    }
    return start;
}

Text SaveFilterList(TextView filterText) {
    Text list(filterText);
    for (char16_t& c : list) {
        if (c == u'|') c = u'\0';
    }
    list.push_back(u'\0');
    list.push_back(u'\0');
    return list;
}

Text SaveFailedMessage(TextView path) {
    return Text(u"The list could not be saved to ") + Text(path) + u".";
}
