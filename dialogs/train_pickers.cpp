#include "dialogs/train_pickers.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/train_dialog_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

// A damaged chain that loops or runs on is cut here.
constexpr int kMaxChainTrains = 1000;

// The trains coupled behind a train, in chain order (the train itself not included).
std::vector<int> Chain(const Corvane3Data& store, int train) {
  std::vector<int> chain;
  if (train < 0 || train >= kMaxTrainStatus) return chain;
  int next = store.GetTrainStatus(train).MergeNext;
  while (next >= 0 && next < kMaxTrainStatus && next != train && static_cast<int>(chain.size()) < kMaxChainTrains) {
    chain.push_back(next);
    next = store.GetTrainStatus(next).MergeNext;
  }
  return chain;
}

// The picker's list under its label, over the OK and Cancel row: a picker has no Help button.
QListWidget* LayOutPicker(QDialog& dialog, int id, const char* label) {
  auto* list = new QListWidget(&dialog);
  SetControlId(list, id);
  auto* fields = new QVBoxLayout;
  fields->addWidget(new QLabel(label, &dialog));
  fields->addWidget(list);
  LayOutFramedDialog(dialog, fields);
  return list;
}

}  // namespace

TSplitTrainDialog::TSplitTrainDialog(QWidget* parent, Corvane3Data& store, const std::string& caption, int trainSlot)
    : QDialog(parent), store_(store), slot_(trainSlot) {
  SetControlId(this, res::IDD_SPLIT_TRAIN);
  setWindowTitle(QString::fromStdString(caption));
  QListWidget* list = LayOutPicker(*this, res::IDC_SPLIT_TRAINS, "Train where the split will be made");
  for (int train : Chain(store_, slot_))
    list->addItem(QString::fromStdString(FieldText(store_.GetTrainStatus(train).TrainId)));
  // Picking a train is the answer.
  connect(list, &QListWidget::itemClicked, this, [this] { accept(); });
}

QListWidget* TSplitTrainDialog::Trains() const { return FindControl<QListWidget>(this, res::IDC_SPLIT_TRAINS); }

void TSplitTrainDialog::accept() {
  const QListWidgetItem* item = Trains()->currentItem();
  if (item == nullptr || !item->isSelected()) {
    store_.Messages().ShowMessage("You must select which train you want to split.",
                                  FieldText(store_.Captions[0], kCaptionChars), MessageIcon::Information,
                                  MessageButtons::Ok);
    return;
  }
  const std::string name = item->text().left(21).toStdString();
  const std::vector<int> chain = Chain(store_, slot_);
  if (chain.empty()) return reject();
  int chosen = chain.back();
  for (int train : chain) {
    if (FieldText(store_.GetTrainStatus(train).TrainId) == name) {
      chosen = train;
      break;
    }
  }
  done(1000 + chosen);
}

TStopTrainDialog::TStopTrainDialog(QWidget* parent, Corvane3Data& store, const std::string& caption) : QDialog(parent) {
  SetControlId(this, res::IDD_STOP_TRAIN);
  setWindowTitle(QString::fromStdString(caption));
  QListWidget* list = LayOutPicker(*this, res::IDC_STOP_BLOCKS, "Block to stop train in");
  list->setSortingEnabled(true);
  for (int block = 0; block < kMaxBlocks; ++block) {
    // Connector blocks are no place to stop.
    if (store.BlockStatusRef(block).InUse != 1 || store.BlockDataRef(block).PassThrough == 1) continue;
    char text[16];
    std::snprintf(text, sizeof text, "%04d", block);
    list->addItem(text);
  }
}

QListWidget* TStopTrainDialog::Blocks() const { return FindControl<QListWidget>(this, res::IDC_STOP_BLOCKS); }

void TStopTrainDialog::accept() {
  const QListWidgetItem* item = Blocks()->currentItem();
  if (item == nullptr || !item->isSelected()) return reject();
  done(1000 + std::atoi(item->text().left(10).toStdString().c_str()));
}
