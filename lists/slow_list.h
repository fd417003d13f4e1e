// The slow order definitions ("Slow Orders"): speed restrictions on a block, a
// switch or a whole track, permanent or timed, with a speed per train type and
// direction; listed by name or by time and edited in the slow order dialog.
#pragma once

#include <QDialog>
#include <array>

#include "lists/definition_list.h"
#include "store/corvane3_data.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

using SlowSpeeds = std::array<int16_t, kMaxTrainTypes>;

// The left (first) and right (second) speeds of a slow order, copied out of the packed record.
SlowSpeeds LeftSpeeds(const SlowData& order);
SlowSpeeds RightSpeeds(const SlowData& order);

// The train type slots in use, in slot order.
std::vector<int> TrainTypesInUse(const Corvane3Data& store);
// The columns a slow order list shows: its fixed ones, then "(Left)" and "(Right)" of each of the types.
std::vector<list::Column> SlowOrderColumns(const Corvane3Data& store, std::vector<list::Column> fixed,
                                           const std::vector<int>& types);
// The speed cells of a row, in the order of those columns; empty where a type has no speed.
std::vector<QString> SlowSpeedTexts(const SlowData& order, const std::vector<int>& types);

class TTSlow : public TDefinitionList {
  Q_OBJECT

 public:
  TTSlow(Corvane3Data& store, QWidget* parent);

 protected:
  std::vector<list::Row> Fill() override;
  int FindFree() override;
  void Free(int slot) override;
  bool RunDialog(int slot, QWidget* owner) override;
  std::unique_ptr<TPrintout> MakePrintout(const std::vector<int32_t>& records) override;
  QWidget* NewDialogOwner() override { return this; }
};

// "Slow Order Data": one order; slot -1 makes a new one, which takes its slot only when OK has passed
// every check.
class TSlowInfo : public QDialog {
  Q_OBJECT

 public:
  TSlowInfo(QWidget* parent, Corvane3Data& store, int slot);
  int Slot() const { return slot_; }

 protected:
  void accept() override;

 private:
  void SetupWindow();

  Corvane3Data& store_;
  int slot_;
  QComboBox* name_;
  QCheckBox* permanent_;
  QLineEdit* from_;
  QLineEdit* to_;
  std::array<QLineEdit*, kMaxTrainTypes> left_{};
  std::array<QLineEdit*, kMaxTrainTypes> right_{};
  std::array<QCheckBox*, 7> days_{};
};
