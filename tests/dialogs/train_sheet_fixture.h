// A small territory for the train property sheet's tests: four locations
// (two named W1), a platform, a work area, two train types, feet, and three
// trains; the sheet opened on one train and its controls found by id.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/train_sheet.h"
#include "platform/controls.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

constexpr int kOk = 1;
constexpr int kApply = 0x3021;

class TrainSheetTest : public StoreFixture {
 public:
  TrainSheetTest() {
    EnsureQApplication();
    Location(0, "W1");
    Location(1, "E1");
    Location(2, "WEST");
    Location(3, "W1");  // a second location of the same name is listed once
    PlatformData platform = store().GetPlatformData(4);
    platform.InUse = 1;
    SetFieldText(platform.Name, "Central");
    store().UpdatePlatformData(4, platform);
    AreaData area{};
    std::memcpy(&area, "\x01Yard", 5);
    store().UpdateAreaData(2, area);
    TrainType freight = store().GetTrainType(0);
    freight.InUse = 1;
    SetFieldText(freight.Name, "Freight");
    store().UpdateTrainType(0, freight);
    TrainType transit = store().GetTrainType(3);
    transit.InUse = 1;
    SetFieldText(transit.Name, "Transit");
    store().UpdateTrainType(3, transit);
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = 1;
    store().UpdateTerritoryOptions(options);
    a = Train("101", "W1", "E1");
    b = Train("102", "E1", "W1");
    c = Train("103", "W1", "E1");
  }
  void Location(int slot, const char* name) {
    OrgData location = store().GetOrgData(slot);
    location.InUse = 1;
    SetFieldText(location.Name, name);
    store().UpdateOrgData(slot, location);
  }
  int Train(const char* id, const char* entrance, const char* exit) {
    const int slot = store().FindFreeTrainData();
    TrainData train = store().GetTrainData(slot);
    SetFieldText(train.TrainId, id);
    SetFieldText(train.Entrance, entrance);
    SetFieldText(train.Exit, exit);
    train.EntranceMinutes = 360;
    store().UpdateTrainData(slot, train);
    return slot;
  }
  TrainData Data(int slot) { return store().GetTrainData(slot); }
  // The case of a refused Apply in a table: what the test changes, the message, the control to fix.
  template <class Test>
  struct Refusal {
    const char* Name;
    std::function<void(Test&)> Change;
    std::string Message;
    int Focus;
  };

  // The sheet on one train, shown (which fills its start page).
  TTrainSheet& Open(int slot, bool viewOnly = false, int startPage = 0) {
    sheet = std::make_unique<TTrainSheet>(nullptr, store(), "Edit Train", slot, startPage, viewOnly);
    sheet->show();
    return *sheet;
  }
  // A control of the General page, or one of the sheet's own buttons.
  template <class Control = QWidget>
  Control* Field(int id) {
    if (Control* control = FindControl<Control>(sheet->Page(0), id)) return control;
    return FindControl<Control>(sheet.get(), id);
  }
  QComboBox* List(int id) { return Field<QComboBox>(id); }
  // A control of one page: ids repeat from page to page.
  template <class Control = QWidget>
  Control* On(int page, int id) {
    return FindControl<Control>(sheet->Page(page), id);
  }
  void Choose(int page, int id, const QString& text) {
    QComboBox* list = On<QComboBox>(page, id);
    const int at = list->findText(text);
    ASSERT_GE(at, 0) << text.toStdString();
    list->setCurrentIndex(at);
  }
  void Choose(int id, const QString& text) {
    QComboBox* list = List(id);
    const int at = list->findText(text);
    ASSERT_GE(at, 0) << text.toStdString();
    list->setCurrentIndex(at);
  }
  void Type(int id, const QString& text) { Field<QLineEdit>(id)->setText(text); }
  void Ok() { Field<QPushButton>(kOk)->click(); }
  std::vector<QString> Items(int id) {
    std::vector<QString> items;
    for (int i = 0; i < List(id)->count(); ++i) items.push_back(List(id)->itemText(i));
    return items;
  }

  // OK after a wrong answer: one message with the stop icon, the sheet still open, the focus on the field to fix
  // and the train as it was.
  void OkIsRefused(const std::string& message, QWidget* focus, const TrainData& before, int slot) {
    messages.Calls.clear();
    Ok();
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, message);
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->focusWidget(), focus);
    const TrainData after = Data(slot);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
  }

  int a = -1, b = -1, c = -1;
  std::unique_ptr<TTrainSheet> sheet;
};
