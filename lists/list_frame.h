// The list-window pattern: a frame with one or two rows of buttons along its
// top and a table filling the rest. Each list fills the table from the store
// (Fill) as rows of display texts with their raw sort keys; the frame keeps
// its place on the screen and its column widths in the window-column tables
// of the store, offers help, and applies the one-row selection rules.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Corvane3Data;
class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QTableView;

namespace list {

// Button and control ids shared by the list windows.
inline constexpr int kListControlId = 999;
inline constexpr int kSaveColumnWidthsId = 1047;
inline constexpr int kHelpId = 141;

struct Column {
  QString Header;
  Qt::Alignment Align = Qt::AlignLeft;
  // A cell as wide as the widest the column shows, where a default width must fit its cells too.
  QString WidestCell{};
};

// One row: the store record it shows and a text per column. Each member orders its rows itself.
struct Row {
  int32_t Record = -1;
  std::vector<QString> Texts;
};

class TableModel : public QAbstractTableModel {
 public:
  explicit TableModel(std::vector<Column> columns, QObject* parent = nullptr)
      : QAbstractTableModel(parent), columns_(std::move(columns)) {}

  void Reset(std::vector<Row> rows);
  // Another set of columns (a list whose columns follow the store); the rows go with the old ones.
  void SetColumns(std::vector<Column> columns);
  // The store record of a model row, -1 outside the rows.
  int32_t Record(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<Column> columns_;
  std::vector<Row> rows_;
};

// What sets one list frame apart from the others.
struct FrameSpec {
  std::string ClassName;  // names ListBuild in CurrentOperation: "TTOS"
  QString Title;          // the window's caption
  int WindowIndex = 0;    // its saved rectangle
  int ColumnProgram = 0;  // its saved column widths
  std::vector<Column> Columns;
  std::string HelpKeyword;     // empty: the list has no help
  bool KeepsSelection = true;  // the selected row number is selected again after a rebuild
  // The refill's name in CurrentOperation.
  std::string RefillName = "ListBuild";
  // While its rectangle is still the default one, the window opens tall enough for this many rows (0: as it is).
  int FreshRows = 0;
};

}  // namespace list

class TListFrame : public QWidget {
  Q_OBJECT

 public:
  TListFrame(Corvane3Data& store, list::FrameSpec spec, QWidget* parent);
  ~TListFrame() override;

  // Refills the list from the store; keeps the selected row number where the list does.
  void ListBuild();

  // Per-location and per-platform lists cascade: counter is the number of their kind open,
  // raised when this one is set up and lowered when it goes.
  void SetCascadeCounter(int32_t* counter) { cascadeCounter_ = counter; }

  // The store record of the one selected row, or -1 after telling the user that none or more than
  // one is selected (the list then has the focus again).
  int32_t SelectedRecord(const std::string& noneSelected, const std::string& moreThanOne);

  // Refills the list, then selects the row of a store record (none when it is not listed) and gives the
  // list the focus.
  void SelectRecord(int32_t record);

  // A list with several views: the view's columns, with the widths saved under its column program, then
  // a refill.
  void ChangeColumns(std::vector<list::Column> columns, int columnProgram);

  // The store records of the rows, in the order the list shows them (what a printout prints).
  std::vector<int32_t> RecordsShown() const;

  // "Save Column Widths": every column's present width under the list's column program.
  void CmSaveColumnWidths();
  void CmHelp();

  QTableView* List() const { return view_; }
  list::TableModel* Model() const { return model_; }
  int TrackedRow() const { return trackedRow_; }
  const list::FrameSpec& Spec() const { return spec_; }

 protected:
  // The rows the list shows now, in the order it shows them.
  virtual std::vector<list::Row> Fill() = 0;

  // Buttons along the top: row 0 or 1, left to right in the order added.
  QPushButton* AddButton(int id, const QString& text, int row = 0, int width = 80);
  QCheckBox* AddCheckBox(int id, const QString& text);
  void AddSaveColumnWidthsButton(int row = 0);
  void AddHelpButton(int row = 0);
  // New columns, called from Fill: the rebuild then gives every column its saved width again.
  void SetColumns(std::vector<list::Column> columns);

  // The first showing sets the window up: placement, columns, the first fill.
  void setVisible(bool visible) override;

  Corvane3Data& store_;

 private:
  // Placement, columns and the first fill, on the first showing.
  void SetupWindow();
  void SaveRectangle();
  void ApplyColumnWidths();
  void GrowToFreshRows();
  void SelectionChanged();
  QHBoxLayout* ButtonRow(int row);

  list::FrameSpec spec_;
  list::TableModel* model_;
  QTableView* view_;
  std::vector<QHBoxLayout*> buttonRows_;
  int trackedRow_ = -1;
  bool setUp_ = false;
  bool columnsChanged_ = false;
  int32_t* cascadeCounter_ = nullptr;
};

// A window's place in the store's window table: restored (moved on by step pixels) when the saved left
// edge is not negative; saved unless the window is maximized or minimized.
void RestoreWindowPlace(const Corvane3Data& store, int index, QWidget* window, int step = 0);
void SaveWindowPlace(Corvane3Data& store, int index, const QWidget* window);

// Opens the one window of a kind: made by `make` and held in `slot` when none is open, else the open
// window shown normally again and brought forward. Returns the window.
QWidget* OpenListWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& make);
