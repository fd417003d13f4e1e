#include "shell/about.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "shell/glyphs.h"
#include "store/fixed_text.h"

TAbout::TAbout(QWidget* parent, Corvane3Data& store) : QDialog(parent) {
  setObjectName(QString::number(res::IDD_ABOUT));
  setWindowTitle(res::kAboutCaption);
  auto* layout = new QVBoxLayout(this);

  auto* icon = new QLabel;
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignHCenter);
  layout->addWidget(icon);
  auto* program = new QLabel(res::kAboutProgram);
  program->setAlignment(Qt::AlignHCenter);
  layout->addWidget(program);

  auto* versionRow = new QHBoxLayout;
  versionRow->addStretch();
  versionRow->addWidget(new QLabel("Version"));
  auto* version = new QLabel;
  version->setObjectName(QString::number(res::IDC_ABOUT_VERSION));
  version->setTextFormat(Qt::PlainText);
  // The field holds at most 20 characters.
  version->setText(QString::fromStdString(FieldText(store.VersionText, sizeof store.VersionText).substr(0, 20)));
  versionRow->addWidget(version);
  versionRow->addStretch();
  layout->addLayout(versionRow);

  auto* line = new QLabel(res::kAboutLine);
  line->setAlignment(Qt::AlignHCenter);
  layout->addWidget(line);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}
