#include "shell/UReWrite.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/QtText.h"
#include "shell/TextQuery.h"

namespace shell {

using session::OverwriteAction;

namespace {

constexpr const char* kCaptions[] = {"Докачать", "Переписать", "Все", "Пропустить", "Сохранить как", "Отмена"};

bool AskNewPath(QWidget* parent, std::string& path) { return TextQuery(parent, "Save as ...", "New Path", path); }

}  // namespace

TFReWrite::TFReWrite(const std::string& path, QWidget* parent, PathQuery query)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      query_(query ? std::move(query) : PathQuery(AskNewPath)),
      newPath_(path) {
  setWindowTitle("Файл уже существует");

  auto* message = new QPlainTextEdit(this);
  message->setReadOnly(true);
  message->setPlainText("File is already exist !\n" + dialogs::ToQString(path));
  message->setFixedHeight(message->fontMetrics().lineSpacing() * 4);

  auto* row = new QHBoxLayout;
  for (std::size_t tag = 0; tag < buttons_.size(); ++tag) {
    auto* button = new QPushButton(kCaptions[tag], this);
    button->setAutoDefault(false);
    const auto action = static_cast<OverwriteAction>(tag);
    connect(button, &QPushButton::clicked, this, [this, action] { Pressed(action); });
    buttons_[tag] = button;
    row->addWidget(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message);
  layout->addWidget(new QLabel("Переписать файл?", this));
  layout->addLayout(row);
  setMinimumWidth(sizeHint().width() + 120);
}

QPushButton* TFReWrite::Button(OverwriteAction action) const { return buttons_.at(static_cast<std::size_t>(action)); }

void TFReWrite::Pressed(OverwriteAction action) {
  if (action == OverwriteAction::SaveAs) {
    std::string path = newPath_;
    if (!query_(this, path)) return;
    newPath_ = std::move(path);
  }
  answer_ = action;
  done(static_cast<int>(action));
}

OverwriteAction OverwritePrompt(std::string& path, QWidget* parent, TFReWrite::PathQuery query) {
  TFReWrite prompt(path, parent, std::move(query));
  // Whatever ends the dialog without a button leaves the answer at Resume.
  prompt.exec();
  if (prompt.Answer() == OverwriteAction::SaveAs) path = prompt.NewPath();
  return prompt.Answer();
}

}  // namespace shell
