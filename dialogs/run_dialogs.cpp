#include "dialogs/run_dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "engine/run_control.h"
#include "platform/controls.h"
#include "resources/run_control_ids.h"
#include "store/corvane3_data.h"

namespace {

constexpr int kSelected = 1000;

// The six switches: control, label and the option byte each one stands for.
struct FunctionSwitch {
  int Id;
  const char* Label;
  uint8_t OptionData::*Byte;
};
constexpr FunctionSwitch kSwitches[] = {
    {res::IDC_SLOW_ORDERS_ACTIVE, "Slow Orders Active", &OptionData::SlowOrdersActive},
    {res::IDC_BLOCK_PERMITS_ACTIVE, "Block Permits Active", &OptionData::BlockPermitsActive},
    {res::IDC_HELPER_ACTIVE, "Helper Requirement Active", &OptionData::HelperRequirementActive},
    {res::IDC_PERMISSION_ACTIVE, "Permission To Enter Territory Active", &OptionData::PermissionToEnterActive},
    {res::IDC_YARD_CAPACITY_ACTIVE, "Yard Entry Capacity Limit Active", &OptionData::YardCapacityLimitActive},
    {res::IDC_CREW_EXPIRATION_ACTIVE, "Crew Expiration Active", &OptionData::CrewExpirationActive},
};

}  // namespace

TSelectStart::TSelectStart(QWidget* parent, Corvane3Data& store)
    : QDialog(parent), store_(store), codes_(run_control::StartCodes(store)) {
  SetControlId(this, res::IDD_SELECT_START);
  setWindowTitle("Start Time and Day Selection");
  list_ = new QListWidget(this);
  SetControlId(list_, res::IDC_SELECT_START_LIST);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const int32_t code : codes_) list_->addItem(QString::fromStdString(run_control::StartCodeText(code)));
  // One click on a line chooses it (or Enter on the line the keyboard has reached). The list's own
  // current line, which it takes with the focus, chooses nothing.
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { Choose(list_->row(item)); });
  connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { Choose(list_->row(item)); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Select simulation start time and day", this));
  layout->addWidget(list_);
  layout->addLayout(CentredButtonRow(
      {MakeCancelButton(*this), MakeHelpButton(*this, store_, res::IDC_SELECT_START_HELP, "starting a simulation")}));
}

void TSelectStart::Choose(int row) {
  if (row < 0 || row >= static_cast<int>(codes_.size())) return;
  done(kSelected + codes_[static_cast<size_t>(row)]);
}

TFunctionActiveDialog::TFunctionActiveDialog(QWidget* parent, Corvane3Data& store) : QDialog(parent), store_(store) {
  SetControlId(this, res::IDD_FUNCTION_ACTIVE);
  setWindowTitle("Function Activation");
  const OptionData options = store_.GetOptionData();
  auto* boxes = new QVBoxLayout;
  for (const FunctionSwitch& item : kSwitches) {
    auto* box = new QCheckBox(item.Label, this);
    SetControlId(box, item.Id);
    box->setChecked(options.*item.Byte == 1);
    boxes->addWidget(box);
  }
  LayOutFramedDialog(*this, boxes, store_, res::IDC_FUNCTION_HELP, "function activation");
}

void TFunctionActiveDialog::accept() {
  OptionData options = store_.GetOptionData();
  for (const FunctionSwitch& item : kSwitches) {
    const auto* box = FindControl<QCheckBox>(this, item.Id);
    options.*item.Byte = box && box->isChecked() ? 1 : 0;
  }
  store_.UpdateOptionData(options);
  QDialog::accept();
}
