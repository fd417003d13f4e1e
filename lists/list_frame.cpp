#include "lists/list_frame.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "store/corvane3_data.h"
#include "store/current_operation.h"
#include "store/settings_files.h"

namespace list {

void TableModel::Reset(std::vector<Row> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void TableModel::SetColumns(std::vector<Column> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  rows_.clear();
  endResetModel();
}

int32_t TableModel::Record(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].Record : -1;
}

int TableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const Row& row = rows_[static_cast<size_t>(index.row())];
  const auto column = static_cast<size_t>(index.column());
  const QString text = column < row.Texts.size() ? row.Texts[column] : QString();
  switch (role) {
    case Qt::DisplayRole:
      return text;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(columns_[column].Align | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return columns_[static_cast<size_t>(section)].Header;
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columns_[static_cast<size_t>(section)].Align);
  return {};
}

}  // namespace list

namespace {

// Room beside a cell's text: its margins and the focus frame.
constexpr int kCellPadding = 12;

// A saved place that lies on no screen (a screen since removed) comes back on the primary screen.
QRect OnAScreen(QRect rect) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(rect)) return rect;
  }
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return rect;
  const QRect area = primary->availableGeometry();
  rect.setSize(rect.size().boundedTo(area.size()));
  rect.moveTopLeft(area.topLeft());
  return rect;
}

}  // namespace

void RestoreWindowPlace(const Corvane3Data& store, int index, QWidget* window, int step) {
  const WindowSize saved = store.GetWindowSize(index);
  if (saved.Left >= 0 && saved.Right > saved.Left && saved.Bottom > saved.Top) {
    const QRect rect(saved.Left + step, saved.Top + step, saved.Right - saved.Left, saved.Bottom - saved.Top);
    window->setGeometry(OnAScreen(rect));
  }
}

void SaveWindowPlace(Corvane3Data& store, int index, const QWidget* window) {
  // A maximized or minimized window keeps the place saved before.
  if (window->isMaximized() || window->isMinimized()) return;
  const QRect rect = window->geometry();
  store.UpdateWindowSize(index, WindowSize{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()});
}

TListFrame::TListFrame(Corvane3Data& store, list::FrameSpec spec, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), spec_(std::move(spec)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(spec_.Title);
  setObjectName(QString::fromStdString(spec_.ClassName));

  model_ = new list::TableModel(spec_.Columns, this);
  view_ = new QTableView(this);
  SetControlId(view_, list::kListControlId);
  view_->setModel(model_);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setShowGrid(false);
  view_->setWordWrap(false);
  view_->verticalHeader()->hide();
  view_->horizontalHeader()->setHighlightSections(false);
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TListFrame::SelectionChanged);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 5, 0, 0);
  layout->setSpacing(5);
  layout->addWidget(view_, 1);
}

TListFrame::~TListFrame() {
  SaveRectangle();
  if (setUp_ && cascadeCounter_ && *cascadeCounter_ > 0) --*cascadeCounter_;
  if (QWidget* owner = parentWidget()) owner->activateWindow();
}

QHBoxLayout* TListFrame::ButtonRow(int row) {
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  while (static_cast<int>(buttonRows_.size()) <= row) {
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(5, 0, 5, 0);
    buttons->addStretch();
    layout->insertLayout(static_cast<int>(buttonRows_.size()), buttons);
    buttonRows_.push_back(buttons);
  }
  return buttonRows_[static_cast<size_t>(row)];
}

QPushButton* TListFrame::AddButton(int id, const QString& text, int row, int width) {
  QPushButton* button = MakeButton(this, id, text);
  button->setFixedWidth(width);
  QHBoxLayout* buttons = ButtonRow(row);
  buttons->insertWidget(buttons->count() - 1, button);  // ahead of the closing stretch
  return button;
}

QCheckBox* TListFrame::AddCheckBox(int id, const QString& text) {
  auto* box = new QCheckBox(text, this);
  SetControlId(box, id);
  QHBoxLayout* buttons = ButtonRow(1);
  buttons->insertWidget(buttons->count() - 1, box);
  return box;
}

void TListFrame::AddSaveColumnWidthsButton(int row) {
  connect(AddButton(list::kSaveColumnWidthsId, "Save Column Widths", row, 150), &QPushButton::clicked, this,
          &TListFrame::CmSaveColumnWidths);
}

void TListFrame::AddHelpButton(int row) {
  connect(AddButton(list::kHelpId, "Help", row), &QPushButton::clicked, this, &TListFrame::CmHelp);
}

void TListFrame::setVisible(bool visible) {
  if (visible && !setUp_) SetupWindow();
  QWidget::setVisible(visible);
}

void TListFrame::SetupWindow() {
  setUp_ = true;
  RestoreWindowPlace(store_, spec_.WindowIndex, this, cascadeCounter_ ? *cascadeCounter_ * 10 : 0);
  GrowToFreshRows();
  if (cascadeCounter_) ++*cascadeCounter_;
  // The list takes the layout's scheme: light text on black in the classic display, else dark on white.
  const bool classic = store_.GetOptionData().ClassicDisplay != 0;
  QPalette colours = view_->palette();
  colours.setColor(QPalette::Base, classic ? Qt::black : Qt::white);
  colours.setColor(QPalette::Text, classic ? Qt::white : Qt::black);
  view_->setPalette(colours);
  // The first fill comes first: a column's default width fits the cells it shows then.
  ListBuild();
  ApplyColumnWidths();
}

void TListFrame::ApplyColumnWidths() {
  QHeaderView* header = view_->horizontalHeader();
  for (int column = 0; column < model_->columnCount(); ++column) {
    const uint32_t saved = store_.GetColumnSize(spec_.ColumnProgram, column);
    int width = saved == 0 ? header->defaultSectionSize() : static_cast<int>(saved);
    // A width the user never saved is only a default: it widens to show the heading, the cells a column
    // names and the cells the list shows now whole in this font. A saved width stands as the user left it.
    if (saved == 0 || saved == DefaultColumnSize(spec_.ColumnProgram, column)) {
      view_->resizeColumnToContents(column);  // the heading's width or the widest cell's, whichever is more
      width = std::max({width, header->sectionSizeHint(column), view_->columnWidth(column)});
      const QString widest =
          column < static_cast<int>(spec_.Columns.size()) ? spec_.Columns[static_cast<size_t>(column)].WidestCell : "";
      if (!widest.isEmpty()) width = std::max(width, view_->fontMetrics().horizontalAdvance(widest) + kCellPadding);
    }
    view_->setColumnWidth(column, width);
  }
}

void TListFrame::GrowToFreshRows() {
  const WindowSize saved = store_.GetWindowSize(spec_.WindowIndex);
  const WindowSize fresh = DefaultWindowSize(spec_.WindowIndex);
  if (spec_.FreshRows <= 0 || std::memcmp(&saved, &fresh, sizeof saved) != 0) return;
  layout()->activate();
  // Room for the rows under the heading, and for the scroll bar a wide list shows below them.
  const int wanted = view_->horizontalHeader()->sizeHint().height() +
                     spec_.FreshRows * view_->verticalHeader()->defaultSectionSize() + 2 * view_->frameWidth() +
                     view_->horizontalScrollBar()->sizeHint().height();
  if (wanted <= view_->height()) return;
  QRect rect = geometry();
  rect.setHeight(rect.height() + wanted - view_->height());
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    rect.setHeight(std::min(rect.height(), area.height()));
    if (rect.bottom() > area.bottom()) rect.moveBottom(area.bottom());
  }
  setGeometry(rect);
}

void TListFrame::SetColumns(std::vector<list::Column> columns) {
  spec_.Columns = columns;
  model_->SetColumns(std::move(columns));
  columnsChanged_ = true;  // their saved widths are applied when the rows are next built
}

void TListFrame::ChangeColumns(std::vector<list::Column> columns, int columnProgram) {
  spec_.ColumnProgram = columnProgram;
  SetColumns(std::move(columns));
  if (setUp_) ListBuild();
}

void TListFrame::SaveRectangle() {
  if (setUp_) SaveWindowPlace(store_, spec_.WindowIndex, this);
}

void TListFrame::ListBuild() {
  CurrentOperationGuard operation(store_, spec_.ClassName + "::" + spec_.RefillName);
  const int keep = spec_.KeepsSelection ? trackedRow_ : -1;
  model_->Reset(Fill());
  if (columnsChanged_) {
    columnsChanged_ = false;
    ApplyColumnWidths();
  }
  trackedRow_ = -1;
  if (keep >= 0 && keep < model_->rowCount()) {
    const QModelIndex row = model_->index(keep, 0);
    view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(row);
  }
  update();
}

void TListFrame::SelectRecord(int32_t record) {
  ListBuild();
  for (int row = 0; row < model_->rowCount(); ++row) {
    if (model_->Record(row) != record) continue;
    const QModelIndex index = model_->index(row, 0);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
    break;
  }
  view_->setFocus();
}

void TListFrame::SelectionChanged() {
  const QModelIndexList rows = view_->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    trackedRow_ = -1;
    return;
  }
  const QModelIndex current = view_->selectionModel()->currentIndex();
  trackedRow_ =
      current.isValid() && view_->selectionModel()->isRowSelected(current.row()) ? current.row() : rows.back().row();
}

int32_t TListFrame::SelectedRecord(const std::string& noneSelected, const std::string& moreThanOne) {
  const QModelIndexList rows = view_->selectionModel()->selectedRows();
  const char* refusal = nullptr;
  if (trackedRow_ < 0 || rows.isEmpty()) {
    refusal = noneSelected.c_str();
  } else if (rows.size() >= 2) {
    refusal = moreThanOne.c_str();
  }
  if (refusal) {
    store_.ShowMessage(refusal, MessageIcon::Error);
    view_->setFocus();
    return -1;
  }
  return model_->Record(trackedRow_);
}

std::vector<int32_t> TListFrame::RecordsShown() const {
  std::vector<int32_t> records;
  for (int row = 0; row < model_->rowCount(); ++row) {
    records.push_back(model_->Record(row));
  }
  return records;
}

void TListFrame::CmSaveColumnWidths() {
  for (int column = 0; column < kColumnsPerList; ++column) {
    const int width = column < model_->columnCount() ? view_->columnWidth(column) : 0;
    store_.UpdateColumnSize(spec_.ColumnProgram, column, static_cast<uint32_t>(width));
  }
  store_.ShowMessage("Column widths saved.", MessageIcon::Information);
}

void TListFrame::CmHelp() { ShowHelp(store_, spec_.HelpKeyword); }

QWidget* OpenListWindow(QPointer<QWidget>& slot, const std::function<QWidget*()>& make) {
  if (!slot) {
    QWidget* frame = make();
    if (QWidget* owner = frame->parentWidget()) frame->setWindowIcon(owner->windowIcon());
    slot = frame;
  }
  slot->showNormal();
  slot->raise();
  slot->activateWindow();
  return slot.data();
}
