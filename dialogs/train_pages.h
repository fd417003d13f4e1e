// The train property sheet's pages beside General: the passenger schedule
// (ten platforms a page), the multiple entries and the local work schedule.
// Each checks every field of its page before it stores any of them.
#pragma once

#include <QString>
#include <array>

#include "dialogs/train_sheet.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

inline constexpr int kTrainPageRows = 10;
// Platforms a Passenger Schedule page shows, and the most pages a sheet has.
inline constexpr int kPlatformsPerPage = 10;
inline constexpr int kMostPassengerPages = 10;

// The Passenger Schedule pages the sheet needs for the platforms in use: one per ten, at least one.
int PassengerPageCount(const Corvane3Data& store);

// One Passenger Schedule page: the departure time and dwell time of the
// train at ten platforms. Page p shows the platforms in use numbered 10p to
// 10p + 9 in slot order, so that every platform in use has its row.
class TTrainPassenger : public TTrainPage {
  Q_OBJECT

 public:
  TTrainPassenger(TTrainSheet& sheet, Corvane3Data& store, int slot, int page, int pageCount, bool viewOnly);

  bool Apply() override;
  // Adds minutes to every departure time shown on the page, past midnight into the next day.
  void AddToDepartures(int minutes);

 protected:
  void Fill() override;

 private:
  struct Row {
    int Platform = -1;  // platform slot, -1 for a row without a platform
    QLabel* Name;
    QLineEdit* Departure;
    QLineEdit* Dwell;
  };
  // The Add button: shifts the departure times on every Passenger Schedule page of the sheet.
  void CmAdd();

  int page_;
  std::array<Row, kTrainPageRows> rows_;
  QLineEdit* addMinutes_;
};

// The Multiple Entries page: up to ten further runs of the train, each from
// an exit location back in at a new entrance after a delay.
class TTrainMultiple32 : public TTrainPage {
  Q_OBJECT

 public:
  TTrainMultiple32(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly);

  bool Apply() override;

 protected:
  void Fill() override;

 private:
  struct Row {
    QComboBox* Entrance;
    QComboBox* Exit;
    QLineEdit* Delay;
    QLineEdit* TrainId;
    QRadioButton* Forward;
    QRadioButton* Reverse;
    QComboBox* Type;
    QLineEdit* CrewTime;
    QLineEdit* Length;
  };
  // The first refusal among the rows, in row order; true when every row can be stored.
  bool Check();

  std::array<Row, kTrainPageRows> rows_;
};

// The Local Work Schedule page: up to ten work areas the train works at, with
// the time there, the direction it leaves in and its new length.
class TTrainWork : public TTrainPage {
  Q_OBJECT

 public:
  TTrainWork(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly);

  bool Apply() override;

 protected:
  void Fill() override;

 private:
  struct Row {
    QComboBox* Area;
    QLineEdit* Time;
    QRadioButton* Left;
    QRadioButton* Right;
    QLineEdit* Length;
  };
  bool Check();

  std::array<Row, kTrainPageRows> rows_;
};
