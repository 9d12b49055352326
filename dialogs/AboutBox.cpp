#include "dialogs/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace dialogs {
namespace {

QLabel* NewLine(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignHCenter);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("О программе"));
  QLabel* name = NewLine(this, "ProgramName", QStringLiteral("TOVIK FTP"));
  QFont large = name->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.6);
  name->setFont(large);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name);
  layout->addWidget(NewLine(this, "Summary", QStringLiteral("FTP-клиент с двумя панелями для Linux")));
  layout->addWidget(NewLine(this, "Version", QStringLiteral("marlo, версия %1").arg(QStringLiteral(MARLO_VERSION))));
  layout->addWidget(NewLine(this, "Licence",
                            QStringLiteral("Распространяется на условиях GNU General Public License "
                                           "версии 3 или более поздней")));
  layout->addWidget(NewLine(this, "QtVersion", QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion()))));
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowAbout(QWidget* parent) {
  TAboutBox box(parent);
  box.exec();
}

}  // namespace dialogs
