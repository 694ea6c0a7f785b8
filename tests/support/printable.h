// UTF-16 texts in test messages.
#pragma once

#include <cstdio>
#include <string>

#include "common/text.h"

// The text with every code unit outside printable ASCII as "?".
inline std::string Narrow(TextView text) {
    std::string narrow;
    for (char16_t c : text) narrow += (c >= 32 && c < 127) ? char(c) : '?';
    return narrow;
}

// The text in double quotes, every code unit outside printable ASCII, and " and \, as \uXXXX.
inline std::string Printable(TextView text) {
    std::string out = "\"";
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\') {
            out += char(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", unsigned(c));
            out += buffer;
        }
    }
    return out + "\"";
}
