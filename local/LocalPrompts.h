#pragma once
// The questions the local pane's commands ask and the outside actions they start, answered
// by the window (Qt dialogs, the desktop) or by a test (scripted answers). The session's
// prompts extend this interface with the questions of the remote side.
//
// Texts are UTF-8 byte strings. Every call is modal: it returns once the user has answered.
#include <filesystem>
#include <string>

namespace local {

class LocalPrompts {
 public:
  virtual ~LocalPrompts() = default;

  // The program's one-line input dialog: `title` as its caption, `prompt` above the field,
  // `value` in the field. True when confirmed; `value` then holds the text, cut to
  // `maxLength` characters. `showMask` offers the box that masks the field. Cancelled, it
  // returns false and leaves `value` alone.
  virtual bool InputDialog(const std::string& title, const std::string& prompt,
                           std::string& value, bool showMask, int maxLength) = 0;

  // A question box titled `title` with the buttons Yes and No; true for Yes.
  virtual bool Confirm(const std::string& title, const std::string& text) = 0;

  // Tells the user that a file operation failed, with the system's message. The program
  // goes on; the caller has already stopped what it was doing.
  virtual void ReportError(const std::string& text) = 0;

  // Shows a local file in the program's text viewer.
  virtual void ViewTextFile(const std::filesystem::path& file) = 0;

  // Opens a local file as the desktop does: a document in its associated program, an
  // executable started with `workingDirectory` as its current directory.
  virtual void RunFile(const std::filesystem::path& file,
                       const std::filesystem::path& workingDirectory) = 0;
};

}  // namespace local
