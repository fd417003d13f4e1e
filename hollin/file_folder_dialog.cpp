#include "hollin/file_folder_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "hollin/core/folder_setup.h"
#include "hollin/core/hollin_data.h"
#include "hollin/hollin_ids.h"
#include "platform/controls.h"

TFileFolder::TFileFolder(THollinData& data, QWidget* parent) : QDialog(parent), data_(data) {
  setWindowTitle("Test File Folder Setup");
  // The stored values are shown whole; the limits govern typing.
  const HollinOptions options = data_.GetOptions();
  folder_ = MakeTextField(this, hollin_ids::kFolderEdit, QString::fromStdString(data_.TestFolder()),
                          static_cast<int>(hollin::kMaxFolderText));
  folder_->setMinimumWidth(420);
  interval_ = MakeNumberField(this, hollin_ids::kIntervalEdit, QString::number(options.Interval),
                              static_cast<int>(hollin::kMaxIntervalText));

  auto* fields = new QFormLayout;
  fields->addRow("Test file folder", folder_);
  fields->addRow("Interval in tenths of seconds", interval_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QString::number(hollin_ids::kIdOk));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QString::number(hollin_ids::kIdCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &TFileFolder::Store);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);
}

void TFileFolder::Store() {
  // A field left as shown keeps the stored value.
  auto typed = [](const QLineEdit* field) {
    return TextEdited(field) ? std::optional<std::string>(field->text().toStdString()) : std::nullopt;
  };
  const auto refusal = hollin::StoreFolderSetup(data_, typed(folder_), typed(interval_));
  if (refusal) {
    QMessageBox::critical(this, data_.Title2(), QString::fromStdString(*refusal));
    folder_->setFocus();
    return;
  }
  accept();
}
