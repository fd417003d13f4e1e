// What the tests of the list windows in the running program share: choosing
// a command as its menu item does, reading a column, and the confirmed exit.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <memory>

#include "lists/list_frame.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "tests/support/fake_services.h"

// Chooses a main-frame command (it must be enabled, as its menu item) and returns the window it holds in slot.
template <class Window>
Window* ChooseListCommand(int id, const QPointer<QWidget>& slot) {
  TheMainFrame->Commands().UpdateEnabled();
  EXPECT_TRUE(TheMainFrame->Commands().IsEnabled(id)) << id;
  EXPECT_TRUE(TheMainFrame->Commands().Dispatch(id)) << id;
  return qobject_cast<Window*>(slot.data());
}

// The texts of one column of a list window, from the top row down.
inline QStringList ColumnTexts(const TListFrame* list, int column) {
  QStringList texts;
  const QAbstractItemModel* rows = list->List()->model();
  for (int row = 0; row < rows->rowCount(); ++row) texts << rows->index(row, column).data().toString();
  return texts;
}

// The user confirms the exit; the program then ends, its open windows storing what they keep.
inline void ExitProgram(FakeMessageService& messages, std::unique_ptr<TCorvane3App>& app) {
  messages.ScriptAnswers({MessageResult::Yes});
  ASSERT_TRUE(TheMainFrame->CanClose());
  app.reset();
}
