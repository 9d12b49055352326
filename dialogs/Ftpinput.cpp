#include "dialogs/Ftpinput.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/Controls.h"
#include "dialogs/QtText.h"
#include "platform/TextCodec.h"

namespace dialogs {

TInputForm::TInputForm(QWidget* parent, const std::string& title, const std::string& prompt,
                       const std::string& value, bool showMask)
    : QDialog(parent),
      prompt_(new QLabel(ToQString(prompt), this)),
      edit_(new QLineEdit(ToQString(value), this)),
      mask_(new QCheckBox(QStringLiteral("Маска для пароля"), this)) {
  setWindowTitle(ToQString(title));
  prompt_->setObjectName("PromptLabel");
  prompt_->setBuddy(edit_);
  prompt_->setWordWrap(true);
  edit_->setObjectName("ValueEdit");
  edit_->setMinimumWidth(fontMetrics().averageCharWidth() * 45);
  mask_->setObjectName("MaskCheck");
  mask_->setVisible(showMask);
  connect(mask_, &QCheckBox::toggled, this, [this](bool checked) {
    if (checked) edit_->setEchoMode(QLineEdit::Password);
  });

  QDialogButtonBox* buttons =
      NewOkCancel(this, QStringLiteral("&Да"), "OkButton", QStringLiteral("&Отмена"), "CancelButton");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(edit_);
  layout->addWidget(mask_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  edit_->selectAll();
  edit_->setFocus();
}

std::string TInputForm::Value(int maxLength) const {
  const std::string text = ToBytes(edit_->text());
  if (maxLength <= 0) return text;
  return std::string(platform::CutToChars(text, static_cast<std::size_t>(maxLength)));
}

bool InputDialog(QWidget* parent, const std::string& title, const std::string& prompt,
                 std::string& value, bool showMask, int maxLength) {
  TInputForm form(parent, title, prompt, value, showMask);
  if (form.exec() != QDialog::Accepted) return false;
  value = form.Value(maxLength);
  return true;
}

}  // namespace dialogs
