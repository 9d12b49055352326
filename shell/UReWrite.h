#pragma once
// The overwrite prompt: asks what to do when the target of a transfer already exists.
//
// Six buttons answer, from left to right: "Докачать" (Resume), "Переписать" (Overwrite),
// "Все" (All), "Пропустить" (Skip), "Сохранить как" (SaveAs) and "Отмена" (Cancel).
// SaveAs first asks for the new path; when that query is cancelled the prompt stays open
// and waits for another button. A prompt closed without a button (Escape, the window
// manager's close request) answers Resume.
#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "session/Prompts.h"

class QPushButton;

namespace shell {

class TFReWrite : public QDialog {
  Q_OBJECT

 public:
  // Asks for the path to save as, prefilled with the proposed one; true when confirmed.
  using PathQuery = std::function<bool(QWidget* parent, std::string& path)>;

  // `path` is the existing target; `query` defaults to the standard text query titled
  // "Save as ..." with the prompt "New Path".
  TFReWrite(const std::string& path, QWidget* parent = nullptr, PathQuery query = {});

  session::OverwriteAction Answer() const { return answer_; }
  // The path entered for SaveAs (the existing target until then).
  const std::string& NewPath() const { return newPath_; }
  QPushButton* Button(session::OverwriteAction action) const;

 private:
  void Pressed(session::OverwriteAction action);

  PathQuery query_;
  std::string newPath_;
  session::OverwriteAction answer_ = session::OverwriteAction::Resume;
  std::array<QPushButton*, 6> buttons_{};
};

// Shows the prompt modally for `path`; with SaveAs, `path` becomes the new path.
session::OverwriteAction OverwritePrompt(std::string& path, QWidget* parent = nullptr,
                                         TFReWrite::PathQuery query = {});

}  // namespace shell
