// The block permit definitions ("Block Permits (Track & Time)"): standing
// requests of track forces for one track between two times on chosen days,
// listed by track or by time and edited in the permit dialog.
#pragma once

#include <QDialog>
#include <array>

#include "lists/definition_list.h"
#include "lists/track_time_lists.h"
#include "store/records.h"

class QCheckBox;

class TTPermit : public TDefinitionList {
  Q_OBJECT

 public:
  TTPermit(Corvane3Data& store, QWidget* parent);

 protected:
  std::vector<list::Row> Fill() override;
  int FindFree() override;
  void Free(int slot) override;
  bool RunDialog(int slot, QWidget* owner) override;
  std::unique_ptr<TPrintout> MakePrintout(const std::vector<int32_t>& records) override;
};

// "Block Permit (Track & Time)": one definition; slot -1 makes a new one, which takes its slot only when
// OK has passed every check.
class TPermitInfo : public QDialog {
  Q_OBJECT

 public:
  TPermitInfo(QWidget* parent, Corvane3Data& store, int slot);
  int Slot() const { return slot_; }

 protected:
  void accept() override;

 private:
  void SetupWindow();

  Corvane3Data& store_;
  int slot_;
  PermitFields fields_{};
  std::array<QCheckBox*, 7> days_{};
};
