#pragma once
// The standard one-line text query: a caption, a prompt, one field, OK and Cancel. Masked,
// the field never shows what is typed (a password).
#include <string>

class QWidget;

namespace shell {

// True when confirmed, with `value` holding the text (UTF-8); cancelled, `value` is left alone.
bool TextQuery(QWidget* parent, const std::string& title, const std::string& prompt, std::string& value,
               bool masked = false);

}  // namespace shell
