#include "shell/DisplayText.h"

#include "platform/TextCodec.h"

namespace shell {

QString DisplayText(std::string_view bytes) {
  if (platform::IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return QString::fromStdString(platform::Cp1251ToUtf8(bytes));
}

std::string CoreText(const QString& text) { return text.toStdString(); }

}  // namespace shell
