#include "dialogs/custom.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/Controls.h"
#include "dialogs/QtText.h"

namespace dialogs {
namespace {

enum Result { kPicked = 1, kClosed = 2 };

QPushButton* AddButton(QVBoxLayout* column, const QString& caption, const char* name) {
  QPushButton* button = NewButton(nullptr, name, caption);
  column->addWidget(button);
  return button;
}

}  // namespace

T_FCmd::T_FCmd(QWidget* parent, const CustomCommands& commands)
    : QDialog(parent),
      names_(new QListWidget(this)),
      name_(new QLineEdit(this)),
      line_(new QLineEdit(this)),
      lines_(commands.CommandLines) {
  setWindowTitle(QStringLiteral("Дополнительные команды"));
  names_->setObjectName("lbCmd");
  name_->setObjectName("eAl");
  line_->setObjectName("eCmd");
  for (const std::string& alias : commands.CommandAliases) names_->addItem(ToQString(alias));
  names_->setCurrentRow(-1);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Название"), name_);
  fields->addRow(QStringLiteral("FTP Команда"), line_);
  auto* left = new QVBoxLayout;
  left->addWidget(names_);
  left->addLayout(fields);

  auto* buttons = new QVBoxLayout;
  QPushButton* add = AddButton(buttons, QStringLiteral("Добавить"), "AddButton");
  QPushButton* remove = AddButton(buttons, QStringLiteral("Удалить"), "DeleteButton");
  buttons->addStretch();
  QPushButton* pick = AddButton(buttons, QStringLiteral("Выбрать"), "PickButton");
  QPushButton* close = AddButton(buttons, QStringLiteral("Закрыть"), "CloseButton");

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  name_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);

  connect(names_, &QListWidget::itemDoubleClicked, this, &T_FCmd::Pick);
  connect(names_, &QListWidget::itemSelectionChanged, this, &T_FCmd::ShowSelected);
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (Selected() >= 0) names_->item(Selected())->setText(text);
  });
  connect(line_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (Selected() >= 0) LineOf(Selected()) = ToBytes(text);
  });
  connect(add, &QPushButton::clicked, this, &T_FCmd::AddEntry);
  connect(remove, &QPushButton::clicked, this, &T_FCmd::DeleteEntry);
  connect(pick, &QPushButton::clicked, this, &T_FCmd::Pick);
  connect(close, &QPushButton::clicked, this, [this] { done(kClosed); });

  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  ShowSelected();
}

CustomCommands T_FCmd::Commands() const {
  CustomCommands commands;
  for (int row = 0; row < names_->count(); ++row) commands.CommandAliases.push_back(ToBytes(names_->item(row)->text()));
  commands.CommandLines = lines_;
  return commands;
}

std::string T_FCmd::PickedCommand() const {
  const int entry = Selected();
  if (result() != kPicked || entry < 0) return {};
  return static_cast<std::size_t>(entry) < lines_.size() ? lines_[static_cast<std::size_t>(entry)] : std::string();
}

bool T_FCmd::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleKey(*static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

void T_FCmd::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(*event)) QDialog::keyPressEvent(event);
}

bool T_FCmd::HandleKey(const QKeyEvent& event) {
  // Shift+Insert, Ctrl+Insert and Shift+Delete stay the edits' paste, copy and cut.
  if (event.modifiers() & ~Qt::KeypadModifier) return false;
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      done(Selected() >= 0 ? kPicked : kClosed);
      return true;
    case Qt::Key_Escape:
      done(kClosed);
      return true;
    case Qt::Key_Insert:
      AddEntry();
      return true;
    case Qt::Key_Delete:
      DeleteEntry();
      return true;
    default:
      return false;
  }
}

int T_FCmd::Selected() const {
  const QListWidgetItem* item = names_->currentItem();
  return item && item->isSelected() ? names_->row(item) : -1;
}

std::string& T_FCmd::LineOf(int entry) {
  if (lines_.size() <= static_cast<std::size_t>(entry)) lines_.resize(static_cast<std::size_t>(entry) + 1);
  return lines_[static_cast<std::size_t>(entry)];
}

void T_FCmd::ShowSelected() {
  const int entry = Selected();
  const bool selected = entry >= 0;
  name_->setText(selected ? names_->item(entry)->text() : QString());
  line_->setText(selected && static_cast<std::size_t>(entry) < lines_.size()
                     ? ToQString(lines_[static_cast<std::size_t>(entry)])
                     : QString());
  name_->setReadOnly(!selected);
  line_->setReadOnly(!selected);
}

void T_FCmd::AddEntry() {
  const int entry = names_->count();
  // Lines beyond the names (a hand-edited file) stay after the new entry's line.
  if (lines_.size() < static_cast<std::size_t>(entry)) lines_.resize(static_cast<std::size_t>(entry));
  lines_.insert(lines_.begin() + entry, std::string());
  names_->addItem(QString());
  names_->setCurrentRow(entry);
  ShowSelected();
}

void T_FCmd::DeleteEntry() {
  const int entry = Selected();
  if (entry < 0) return;
  if (static_cast<std::size_t>(entry) < lines_.size()) lines_.erase(lines_.begin() + entry);
  delete names_->takeItem(entry);
  names_->setCurrentRow(-1);
  ShowSelected();
}

void T_FCmd::Pick() { done(kPicked); }

std::string ShowCommandDialog(QWidget* parent, CustomCommands& commands) {
  T_FCmd dialog(parent, commands);
  dialog.exec();
  commands = dialog.Commands();
  return dialog.PickedCommand();
}

}  // namespace dialogs
