#include "shell/layout_services.h"

#include <QWidget>
#include <string>

#include "shell/display_pictures.h"

void LayoutShellService::ComputeLayoutExtent() {
  if (window_) window_->ComputeLayoutExtent();
}

void LayoutShellService::SetScrollRanges(int32_t widthPixels, int32_t heightPixels, int flag) {
  if (window_) window_->SetScrollRanges(widthPixels, heightPixels, flag != 0);
}

void LayoutShellService::SetScrollPosition(int32_t x, int32_t y) {
  if (window_) window_->ScrollTo(x, y);
}

CellSize LayoutShellService::LayoutUsedCells() {
  if (!window_) return {};
  return {window_->LayoutExtentX, window_->LayoutExtentY};
}

void LayoutShellService::SetArrowCursor() {
  if (!window_) return;
  window_->EdgeZone = 0;
  window_->viewport()->setCursor(EdgeCursor(0, false));
}

void LayoutShellService::ResetSimulationDisplay() {
  if (window_) window_->ResetSimulationDisplay();
}

void LayoutShellService::InvalidateCellRect(int cellX, int cellY, bool erase, int widthPixels, int heightPixels) {
  if (window_) window_->InvalidateCellRect(cellX, cellY, erase, widthPixels, heightPixels);
}

bool LayoutShellService::IsCellVisible(int cellX, int cellY) {
  return window_ ? window_->IsCellVisible(cellX, cellY) : false;
}

void LayoutShellService::ScrollCellIntoView(int cellX, int cellY) {
  if (window_) window_->ScrollCellIntoView(cellX, cellY);
}

void LayoutShellService::PlaceCursorOnCell(int cellX, int cellY) {
  if (window_) window_->PlaceCursorOnCell(cellX, cellY);
}

void LayoutShellService::RememberView() {
  if (window_) window_->RememberView();
}

void LayoutShellService::EraseBlockLabels(int block) {
  if (window_) window_->EraseBlockLabels(block);
}

void LayoutShellService::InvalidateLayout(bool) {
  if (window_) window_->RepaintLayout();
}

void LayoutShellService::FreeDisplayResources() { pictures_.FreeDisplayResources(); }

void LayoutShellService::LoadTrainIcons() {
  store_.AssignInternalTrainIcons();
  pictures_.LoadTrainIcons();
}

void LayoutShellService::MakeTrainIconBitmaps() { pictures_.LoadTrainIconImages(store_.TrainIconImages); }

void ReportMissingPicture(Corvane3Data& store, int resource) {
  store.ShowMessage("Display picture " + std::to_string(resource) + " could not be made; it is left out.",
                    MessageIcon::Error);
}

void LayoutShellService::ShowTrainStatusLine(int trainSlot) {
  if (window_) window_->ShowTrainStatusLine(trainSlot);
}

void LayoutShellService::CmClassicDisplay() {
  if (window_) window_->CmClassicDisplay();
}
