// The block permit and slow order definition lists: one frame over a table of
// definitions with New, Delete, Edit, sorting by track or time, a pop-up menu
// on the rows and an edit dialog that runs with the frame out of the way.
#pragma once

#include <memory>
#include <string>

#include "lists/list_frame.h"

class TPrintout;

// The texts and the capacity that set one definition list apart.
struct DefinitionListTexts {
  int Capacity = 0;
  std::string TableFull;  // New refused: one "%d", the capacity
  std::string EditNone, EditMany;
  std::string DeleteNone, DeleteMany;
  std::string PopupNone, PopupMany;
};

class TDefinitionList : public TListFrame {
  Q_OBJECT

 public:
  enum SortKey { kByTime = 1, kByTrack = 2 };

  TDefinitionList(Corvane3Data& store, list::FrameSpec spec, DefinitionListTexts texts, QWidget* parent);

  void CmAdd();
  void Edit();
  void CmDelete();
  // "Print": the list's report, in the list's order, on the program's printer; "Printer Setup" chooses it.
  void CmPrint();
  void CmPrinterSetup();
  void CmSortTrack() { ChangeSort(kByTrack); }
  void CmSortTime() { ChangeSort(kByTime); }
  int Sort() const { return sortKey_; }

 protected:
  // A free slot of the table without claiming it, or -1.
  virtual int FindFree() = 0;
  virtual void Free(int slot) = 0;
  // Runs the edit dialog over a slot (-1: a new definition) with owner as its parent; true on OK.
  virtual bool RunDialog(int slot, QWidget* owner) = 0;
  // The owner of the dialog of a new definition (the main window unless a list says otherwise).
  virtual QWidget* NewDialogOwner() { return parentWidget(); }
  // The list's report over its records in print order.
  virtual std::unique_ptr<TPrintout> MakePrintout(const std::vector<int32_t>& records) = 0;

 private:
  void ChangeSort(SortKey key);
  void PopupMenu(const QPoint& at);
  bool RunLocked(int slot, QWidget* owner);

  DefinitionListTexts texts_;
  SortKey sortKey_ = kByTrack;
};
