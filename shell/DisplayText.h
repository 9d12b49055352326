#pragma once
// Byte strings of the core shown in widgets, and widget text handed back to the core.
// Bytes that are valid UTF-8 show as UTF-8; anything else (names made on Windows, a
// server's old code page) shows as code page 1251, so every byte string shows something.
#include <QString>
#include <string>
#include <string_view>

namespace shell {

QString DisplayText(std::string_view bytes);

// What the user typed or picked, as the core's UTF-8 bytes.
std::string CoreText(const QString& text);

}  // namespace shell
