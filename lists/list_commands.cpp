#include "lists/list_commands.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

#include "lists/list_frame.h"
#include "platform/controls.h"
#include "store/current_operation.h"

namespace {

class ListMouse : public QObject {
 public:
  ListMouse(QTableView* view, Qt::MouseButton button, QEvent::Type type, std::function<void()> command)
      : QObject(view), view_(view), button_(button), type_(type), command_(std::move(command)) {
    view->viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != type_ || static_cast<QMouseEvent*>(event)->button() != button_) return false;
    if (type_ == QEvent::MouseButtonPress) {
      const QModelIndex row = view_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (row.isValid()) {
        view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      } else {
        view_->selectionModel()->clearSelection();
      }
    }
    command_();
    return true;
  }

 private:
  QTableView* view_;
  Qt::MouseButton button_;
  QEvent::Type type_;
  std::function<void()> command_;
};

}  // namespace

void OnListRightClick(TListFrame& frame, std::function<void()> command) {
  new ListMouse(frame.List(), Qt::RightButton, QEvent::MouseButtonPress, std::move(command));
}

void OnListDoubleClick(TListFrame& frame, std::function<void()> command) {
  new ListMouse(frame.List(), Qt::LeftButton, QEvent::MouseButtonDblClick, std::move(command));
}

void ActOnSelectedRow(TListFrame& frame, Corvane3Data& store, const std::string& operation,
                      const std::string& noneSelected, const std::string& moreThanOne,
                      const std::function<void(int32_t record)>& act) {
  CurrentOperationGuard named(store, operation);
  const int32_t record = frame.SelectedRecord(noneSelected, moreThanOne);
  if (record >= 0) act(record);
  frame.List()->setFocus();
}

int RunOverList(TListFrame& frame, QDialog& dialog) {
  frame.hide();
  const int result = dialog.exec();
  frame.setAttribute(Qt::WA_ShowWithoutActivating);
  frame.show();
  frame.setAttribute(Qt::WA_ShowWithoutActivating, false);
  return result;
}

QHBoxLayout* DialogButtons(QDialog& dialog, bool withOk, std::function<void()> help) {
  auto* buttons = new QHBoxLayout;
  if (withOk) {
    QPushButton* ok = MakeButton(&dialog, 1, "OK");
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    buttons->addWidget(ok);
  }
  QPushButton* cancel = MakeButton(&dialog, 2, "Cancel");
  QPushButton* helpButton = MakeButton(&dialog, 141, "Help");
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(helpButton, &QPushButton::clicked, &dialog, std::move(help));
  buttons->addWidget(cancel);
  buttons->addWidget(helpButton);
  return buttons;
}
