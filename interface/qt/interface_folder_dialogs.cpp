#include "interface/qt/interface_folder_dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "interface/folders.h"
#include "resources/interface_folder_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

QPushButton* MakeButton(QWidget* parent, int id, const char* text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TInterfaceFolderDialog::TInterfaceFolderDialog(QWidget* parent, Corvane3Data& store, xfer::Channel channel,
                                               int templateId, const char* caption, const char* explanation,
                                               const char* logText)
    : QDialog(parent), store_(store), channel_(channel) {
  setObjectName(QString::number(templateId));
  setWindowTitle(caption);
  setModal(true);

  const OptionData options = store.GetOptionData();
  const bool ctc = channel == xfer::Channel::CTCControl;

  auto* text = new QLabel(explanation, this);
  text->setObjectName(QString::number(res::IDC_FOLDER_EXPLANATION));
  text->setWordWrap(true);
  auto* label = new QLabel("Folder Name", this);
  label->setObjectName(QString::number(res::IDC_FOLDER_LABEL));
  auto* folder =
      new QLineEdit(QString::fromStdString(ctc ? FieldText(options.CTCFolder) : FieldText(options.EIOFolder)), this);
  folder->setObjectName(QString::number(res::IDC_FOLDER_NAME));
  folder->setMaxLength(xfer::kFolderChars);
  folder->setMinimumWidth(360);
  label->setBuddy(folder);
  auto* log = new QCheckBox(logText, this);
  log->setObjectName(QString::number(res::IDC_FOLDER_LOG));
  log->setChecked((ctc ? options.CTCLogOn : options.EIOLogOn) == 1);

  QPushButton* ok = MakeButton(this, 1, "OK");
  ok->setDefault(true);
  QPushButton* cancel = MakeButton(this, 2, "Cancel");
  connect(ok, &QPushButton::clicked, this, &TInterfaceFolderDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TInterfaceFolderDialog::reject);

  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(folder, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(row);
  layout->addWidget(log);
  layout->addLayout(buttons);
}

QWidget* TInterfaceFolderDialog::Control(int id) const {
  return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void TInterfaceFolderDialog::accept() {
  auto* folder = static_cast<QLineEdit*>(Control(res::IDC_FOLDER_NAME));
  auto* log = static_cast<QCheckBox*>(Control(res::IDC_FOLDER_LOG));
  if (!xfer::AssignInterfaceFolder(store_, channel_, folder->text().toStdString(), log->isChecked())) {
    folder->setFocus();
    return;
  }
  QDialog::accept();
}

TCTCFolder::TCTCFolder(QWidget* parent, Corvane3Data& store)
    : TInterfaceFolderDialog(parent, store, xfer::Channel::CTCControl, res::IDD_CTC_FOLDER, "Assign CTC Folder Name",
                             "Folder that conatins the CTC cv3commands.txt and cv3indications.txt files.",
                             "Log CTC File Records") {}

TExternalIOFolder::TExternalIOFolder(QWidget* parent, Corvane3Data& store)
    : TInterfaceFolderDialog(parent, store, xfer::Channel::ExternalIO, res::IDD_EIO_FOLDER,
                             "Assign Eternal I/O Folder Name",
                             "Folder that conatins the External I/O cv3commands.txt and cv3indications.txt files.",
                             "Log External I/O File Records") {}
