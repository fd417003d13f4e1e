#include "lists/definition_list.h"

#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include "dialogs/dialog_kit.h"
#include "platform/printer.h"
#include "resources/permit_slow_ids.h"
#include "store/corvane3_data.h"
#include "store/current_operation.h"

TDefinitionList::TDefinitionList(Corvane3Data& store, list::FrameSpec spec, DefinitionListTexts texts, QWidget* parent)
    : TListFrame(store, std::move(spec), parent), texts_(std::move(texts)) {
  connect(AddButton(res::IDC_LIST_NEW, "New"), &QPushButton::clicked, this, &TDefinitionList::CmAdd);
  connect(AddButton(res::IDC_LIST_DELETE, "Delete"), &QPushButton::clicked, this, &TDefinitionList::CmDelete);
  connect(AddButton(res::IDC_LIST_EDIT, "Edit"), &QPushButton::clicked, this, &TDefinitionList::Edit);
  AddSaveColumnWidthsButton();
  connect(AddButton(res::IDC_LIST_PRINT, "Print"), &QPushButton::clicked, this, &TDefinitionList::CmPrint);
  connect(AddButton(res::IDC_LIST_PRINTER_SETUP, "Printer Setup", 0, 120), &QPushButton::clicked, this,
          &TDefinitionList::CmPrinterSetup);
  connect(AddButton(res::IDC_LIST_SORT_TRACK, "Sort Track", 1), &QPushButton::clicked, this,
          &TDefinitionList::CmSortTrack);
  connect(AddButton(res::IDC_LIST_SORT_TIME, "Sort Time", 1), &QPushButton::clicked, this,
          &TDefinitionList::CmSortTime);
  AddHelpButton(1);

  connect(List(), &QTableView::doubleClicked, this, [this] { Edit(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TDefinitionList::PopupMenu);
}

bool TDefinitionList::RunLocked(int slot, QWidget* owner) {
  DialogLock lock(store_);
  return lock.Held() && RunDialog(slot, owner);
}

void TDefinitionList::CmAdd() {
  if (FindFree() < 0) {
    store_.ShowMessage(QString::asprintf(texts_.TableFull.c_str(), texts_.Capacity).toStdString(), MessageIcon::Error);
    return;
  }
  RunLocked(-1, NewDialogOwner());
  ListBuild();
  List()->setFocus();
}

void TDefinitionList::Edit() {
  CurrentOperationGuard operation(store_, Spec().ClassName + "::Edit");
  const int slot = SelectedRecord(texts_.EditNone, texts_.EditMany);
  if (slot < 0) return;
  if (RunLocked(slot, parentWidget())) ListBuild();
  List()->setFocus();
}

void TDefinitionList::CmDelete() {
  CurrentOperationGuard operation(store_, Spec().ClassName + "::CmDelete");
  const int slot = SelectedRecord(texts_.DeleteNone, texts_.DeleteMany);
  if (slot < 0) return;
  store_.BackupEditTables();
  Free(slot);
  ListBuild();
  List()->setFocus();
}

void TDefinitionList::ChangeSort(SortKey key) {
  if (sortKey_ == key) return;
  sortKey_ = key;
  ListBuild();
}

void TDefinitionList::PopupMenu(const QPoint& at) {
  // The press has already selected the row under the pointer.
  const auto rows = List()->selectionModel()->selectedRows();
  if (rows.isEmpty() || rows.size() > 1) {
    store_.ShowMessage(rows.isEmpty() ? texts_.PopupNone : texts_.PopupMany, MessageIcon::Error);
    return;
  }
  QMenu menu(this);
  connect(menu.addAction("New"), &QAction::triggered, this, &TDefinitionList::CmAdd);
  connect(menu.addAction("Edit"), &QAction::triggered, this, &TDefinitionList::Edit);
  connect(menu.addAction("Delete"), &QAction::triggered, this, &TDefinitionList::CmDelete);
  menu.exec(List()->viewport()->mapToGlobal(at));
}

void TDefinitionList::CmPrint() {
  TTrainPrinter* printer = TheTrainPrinter();
  if (!printer) return;
  const std::unique_ptr<TPrintout> printout = MakePrintout(RecordsShown());
  printer->Print(this, *printout);
}

void TDefinitionList::CmPrinterSetup() {
  if (TTrainPrinter* printer = TheTrainPrinter()) printer->Setup(this);
}
