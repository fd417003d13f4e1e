// The shell services that belong to the layout window: extent and scroll
// ranges, cell invalidation, following a cell, the view history, label strips,
// the display reset, and the display pictures and train icons. The frame's
// services come from QtShellService; together they write every ShellService method.
#pragma once

#include <QPointer>

#include "shell/corvane3_window.h"
#include "shell/shell_service.h"

class DisplayPictures;

class LayoutShellService : public QtShellService {
 public:
  LayoutShellService(Corvane3Data& store, TCorvane3Dec& frame, DisplayPictures& pictures)
      : QtShellService(store, frame), store_(store), pictures_(pictures) {}

  // The window the layout services act on; until it exists they do nothing.
  void SetLayoutWindow(TCorvane3Window* window) { window_ = window; }

  // ---- scrolling and the view
  void ComputeLayoutExtent() override;
  void SetScrollRanges(int32_t widthPixels, int32_t heightPixels, int flag) override;
  void SetScrollPosition(int32_t x, int32_t y) override;
  // The window's layout extent; the full grid until the window exists.
  CellSize LayoutUsedCells() override;
  bool IsCellVisible(int cellX, int cellY) override;
  void ScrollCellIntoView(int cellX, int cellY) override;
  void PlaceCursorOnCell(int cellX, int cellY) override;
  void SetArrowCursor() override;
  void RememberView() override;

  // ---- painting and the display
  void InvalidateCellRect(int cellX, int cellY, bool erase, int widthPixels, int heightPixels) override;
  void EraseBlockLabels(int block) override;
  void InvalidateLayout(bool erase) override;
  void ResetSimulationDisplay() override;
  void FreeDisplayResources() override;
  void LoadTrainIcons() override;
  void MakeTrainIconBitmaps() override;
  void ShowTrainStatusLine(int trainSlot) override;
  void CmClassicDisplay() override;

 private:
  Corvane3Data& store_;
  DisplayPictures& pictures_;
  QPointer<TCorvane3Window> window_;
};

// Tells the user once of a display picture that could not be made.
void ReportMissingPicture(Corvane3Data& store, int resource);
