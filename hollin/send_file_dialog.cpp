#include "hollin/send_file_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "hollin/core/hollin_data.h"
#include "hollin/core/send_file.h"
#include "hollin/hollin_ids.h"
#include "platform/controls.h"
#include "platform/file_dialogs.h"
#include "platform/shell_open.h"
#include "store/whole_file/whole_file.h"

TSendFile::TSendFile(THollinData& data, QWidget* parent)
    : QDialog(parent), data_(data), opener_([](const std::string& path) { ShellOpen(path); }) {
  setWindowTitle("Send File");
  // The stored name is shown whole (it may be longer than the characters typed).
  const HollinOptions options = data_.GetOptions();
  const std::string stored(options.FileToSend, strnlen(options.FileToSend, sizeof options.FileToSend));
  file_ = MakeTextField(this, hollin_ids::kFileEdit, QString::fromStdString(stored),
                        static_cast<int>(hollin::kMaxSendFileName));
  file_->setMinimumWidth(420);

  auto* browse = new QPushButton("Browse", this);
  browse->setObjectName(QString::number(hollin_ids::kBrowse));
  auto* open = new QPushButton("Open", this);
  open->setObjectName(QString::number(hollin_ids::kOpen));
  connect(browse, &QPushButton::clicked, this, &TSendFile::Browse);
  connect(open, &QPushButton::clicked, this, &TSendFile::Open);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QString::number(hollin_ids::kIdOk));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QString::number(hollin_ids::kIdCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &TSendFile::Send);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* row = new QHBoxLayout;
  row->addWidget(file_, 1);
  row->addWidget(browse);
  row->addWidget(open);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("File to send", this));
  layout->addLayout(row);
  layout->addWidget(buttons);
}

void TSendFile::Browse() {
  // The folder of the last file sent, or the program's own folder the first time.
  const std::string last = data_.GetOptions().FileToSend;
  const std::string folder =
      last.empty() ? data_.ProgramFolder() : QFileInfo(QString::fromStdString(last)).absolutePath().toStdString();
  const std::string chosen = AskOpenFileName(this, "Send File", "Send File (*.txt)|*.txt", folder);
  if (!chosen.empty()) file_->setText(QString::fromStdString(chosen));
}

void TSendFile::Open() {
  const std::string path = file_->text().toStdString();
  if (!whole_file::Readable(path)) {
    QMessageBox::critical(this, data_.Title2(), "Could not open send file");
    return;
  }
  opener_(path);
}

void TSendFile::Send() {
  const auto refusal = hollin::SendFile(data_, file_->text().toStdString());
  if (refusal) {
    QMessageBox::critical(this, data_.Title2(), QString::fromStdString(*refusal));
    file_->setFocus();
    return;
  }
  accept();
}
