#include "hollin/file_folder_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "hollin/core/folder_setup.h"
#include "hollin/core/hollin_data.h"
#include "hollin/hollin_ids.h"

TFileFolder::TFileFolder(THollinData& data, QWidget* parent) : QDialog(parent), data_(data) {
  setWindowTitle("Test File Folder Setup");
  folder_ = new QLineEdit(this);
  folder_->setObjectName(QString::number(hollin_ids::kFolderEdit));
  folder_->setMaxLength(static_cast<int>(hollin::kMaxFolderText));
  folder_->setMinimumWidth(420);
  interval_ = new QLineEdit(this);
  interval_->setObjectName(QString::number(hollin_ids::kIntervalEdit));
  interval_->setMaxLength(static_cast<int>(hollin::kMaxIntervalText));
  interval_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), interval_));

  const HollinOptions options = data_.GetOptions();
  folder_->setText(QString::fromStdString(data_.TestFolder()));
  interval_->setText(QString::number(options.Interval));

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
  const auto refusal = hollin::StoreFolderSetup(data_, folder_->text().toStdString(), interval_->text().toStdString());
  if (refusal) {
    QMessageBox::critical(this, data_.Title2(), QString::fromStdString(*refusal));
    folder_->setFocus();
    return;
  }
  accept();
}
