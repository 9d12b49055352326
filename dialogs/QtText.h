#pragma once
// The boundary between our values and Qt's: texts and colours. Our strings are UTF-8; bytes
// that are not valid UTF-8 (a file made on Windows) are shown as code page 1251. What a
// widget gives back is always UTF-8.
#include <QColor>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/TextCodec.h"

namespace dialogs {

inline QString ToQString(std::string_view bytes) {
  const std::string text = platform::DecodeTextBytes(bytes);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToBytes(const QString& text) { return text.toUtf8().toStdString(); }

// A colour as the options store it: 0x00BBGGRR.
inline QColor FromColorRef(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF), static_cast<int>((bits >> 16) & 0xFF));
}

}  // namespace dialogs
