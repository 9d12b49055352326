#include "dialogs/UChMod.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/Controls.h"
#include "dialogs/DigitField.h"
#include "dialogs/QtText.h"

namespace dialogs {
namespace {

const char* const kColumnCaptions[] = {"Read", "Write", "Execute"};
const char* const kRowCaptions[] = {"Owner Permissions", "Group Permissions", "Public Permissions"};

}  // namespace

T_ChMod::T_ChMod(QWidget* parent, const std::string& permissions)
    : QDialog(parent), mode_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Изменить атрибуты файла"));

  auto* bits = new QGroupBox(this);
  auto* grid = new QGridLayout(bits);
  for (int column = 0; column < 3; ++column)
    grid->addWidget(AddLineButton(kColumnCaptions[column], true, column), 0, column + 1);
  for (int row = 0; row < 3; ++row) {
    grid->addWidget(AddLineButton(kRowCaptions[row], false, row), row + 1, 0);
    for (int column = 0; column < 3; ++column) {
      QCheckBox*& box = boxes_[static_cast<std::size_t>(row * 3 + column)];
      box = new QCheckBox(bits);
      box->setObjectName(QString("cb%1").arg(row * 3 + column + 1));
      box->setAccessibleName(QString("%1, %2").arg(kRowCaptions[row], kColumnCaptions[column]));
      connect(box, &QCheckBox::toggled, this, &T_ChMod::OnBoxToggled);
      grid->addWidget(box, row + 1, column + 1, Qt::AlignCenter);
    }
  }

  mode_->setObjectName("Edit1");
  mode_->setMaxLength(3);
  mode_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
  DigitField::Attach(mode_, QStringLiteral("01234567"));
  connect(mode_, &QLineEdit::textChanged, this, &T_ChMod::OnModeEdited);
  auto* modeLabel = new QLabel(QStringLiteral("В ручную"), this);
  modeLabel->setBuddy(mode_);
  auto* modeRow = new QHBoxLayout;
  modeRow->addWidget(modeLabel);
  modeRow->addWidget(mode_);
  modeRow->addStretch();

  QDialogButtonBox* buttons =
      NewOkCancel(this, QStringLiteral("Да"), "OkButton", QStringLiteral("Отмена"), "CancelButton");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bits);
  layout->addLayout(modeRow);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  mode_->setText(ToQString(ModeTextFromPermissions(permissions)));
  permissionSync_ = true;
  mode_->setFocus();
}

std::string T_ChMod::ModeText() const { return ToBytes(mode_->text()); }

QPushButton* T_ChMod::AddLineButton(const QString& caption, bool isColumn, int index) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(caption.section(' ', 0, 0) + "Button");
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, isColumn, index] { ToggleLine(isColumn, index); });
  return button;
}

void T_ChMod::OnModeEdited(const QString& text) {
  permissionSync_ = false;
  if (const std::optional<PermissionBoxes> boxes = BoxesFromModeText(ToBytes(text))) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setChecked((*boxes)[i]);
  }
  permissionSync_ = true;
}

void T_ChMod::OnBoxToggled() {
  if (!permissionSync_) return;
  PermissionBoxes checked{};
  for (std::size_t i = 0; i < boxes_.size(); ++i) checked[i] = boxes_[i]->isChecked();
  const QSignalBlocker quiet(mode_);
  mode_->setText(ToQString(ModeTextFromBoxes(checked)));
}

void T_ChMod::ToggleLine(bool isColumn, int index) {
  bool& sets = (isColumn ? columnSets_ : rowSets_)[static_cast<std::size_t>(index)];
  for (int step = 0; step < 3; ++step) {
    const int box = isColumn ? step * 3 + index : index * 3 + step;
    boxes_[static_cast<std::size_t>(box)]->setChecked(sets);
  }
  sets = !sets;
}

bool ShowChModDialog(QWidget* parent, const std::string& permissions, int& mode) {
  T_ChMod dialog(parent, permissions);
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::optional<int> chosen = ModeFromText(dialog.ModeText());
  if (!chosen) return false;
  mode = *chosen;
  return true;
}

}  // namespace dialogs
