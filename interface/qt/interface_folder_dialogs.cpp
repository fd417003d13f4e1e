#include "interface/qt/interface_folder_dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "interface/folders.h"
#include "platform/controls.h"
#include "resources/interface_folder_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

TInterfaceFolderDialog::TInterfaceFolderDialog(QWidget* parent, Corvane3Data& store, xfer::Channel channel,
                                               int templateId, const char* caption, const char* explanation,
                                               const char* logText)
    : QDialog(parent), store_(store), channel_(channel) {
  SetControlId(this, templateId);
  setWindowTitle(caption);
  setModal(true);

  const OptionData options = store.GetOptionData();
  const bool ctc = channel == xfer::Channel::CTCControl;

  auto* text = new QLabel(explanation, this);
  SetControlId(text, res::IDC_FOLDER_EXPLANATION);
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
  SetControlId(log, res::IDC_FOLDER_LOG);
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

QWidget* TInterfaceFolderDialog::Control(int id) const { return FindControl(this, id); }

void TInterfaceFolderDialog::accept() {
  auto* folder = FindControl<QLineEdit>(this, res::IDC_FOLDER_NAME);
  auto* log = FindControl<QCheckBox>(this, res::IDC_FOLDER_LOG);
  // The folder is proved writable before anything is kept; a refusal leaves the dialog open on the field.
  const bool writable =
      FieldChecks()
          .Add(folder, [this](const QString& typed) { return xfer::CheckInterfaceFolder(store_, typed.toStdString()); })
          .Run();
  if (!writable) return;
  xfer::StoreInterfaceFolder(store_, channel_, folder->text().toStdString(), log->isChecked());
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
