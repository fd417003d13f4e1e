// Small services of the store: the one-dialog lock, the bitmap header check, the list refresh walk and the track names.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "store/binary_io.h"
#include "store/command_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/whole_file/whole_file.h"

namespace {

constexpr ListWindow kSingleLists[] = {
    ListWindow::TrainTypes,       ListWindow::Detectors,       ListWindow::Locations,        ListWindow::SlowOrders,
    ListWindow::Permits,          ListWindow::StartTimes,      ListWindow::OSPoints,         ListWindow::TrainOS,
    ListWindow::ActiveTrains,     ListWindow::CTCActiveTrains, ListWindow::ActiveSlowOrders, ListWindow::ActivePermits,
    ListWindow::CTCActivePermits,
};

constexpr int kArrivalWindows = 200;
constexpr int kPlatformWindows = 100;

int32_t LittleEndianInt32(const unsigned char* bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

// ---------------------------------------------------------------- dialog lock

int Corvane3Data::OpenDialog() {
  if (Run.DialogOpen == 0) {
    Run.DialogOpen = 1;
    return 1;
  }
  ShowMessage("You cannot open a new Dialog Box until all open Dialog Boxes are closed", MessageIcon::Warning);
  return 0;
}

void Corvane3Data::CloseDialog() {
  if (Run.DialogOpen == 0) {
    InternalErrorTrap(0, "Trying to unlock dialog boxes when aleady unlocked - CloseDialog");
    return;
  }
  Run.DialogOpen = 0;
}

// ---------------------------------------------------------------- bitmap check

int Corvane3Data::CheckBitmapFile(const std::string& path, int width, int height) {
  std::vector<uint8_t> head;
  if (whole_file::ReadHead(path, head, 26) != whole_file::Result::Read) return 3;
  return CheckBitmapBytes(head.data(), head.size(), width, height);
}

int Corvane3Data::CheckBitmapBytes(const uint8_t* data, size_t size, int width, int height) {
  // The file header (14 bytes) is followed by the info header, whose width and height are
  // little-endian int32 at file offsets 18 and 22.
  if (size < 2 || (data[0] != 'b' && data[0] != 'B') || (data[1] != 'm' && data[1] != 'M')) return 1;
  if (width == -1) return 0;
  if (size < 26) return 1;
  const int32_t fileWidth = LittleEndianInt32(&data[18]);
  const int32_t fileHeight = LittleEndianInt32(&data[22]);
  return fileWidth == width && fileHeight == height ? 0 : 4;
}

// ---------------------------------------------------------------- list windows

void Corvane3Data::RefreshAllWindows() {
  for (const ListWindow list : kSingleLists) RefreshListIfOpen(list);
  for (int i = 0; i < kArrivalWindows; ++i)
    if (lists_->IsArrivalWindowOpen(i)) lists_->RefreshArrivalWindow(i);
  for (int i = 0; i < kPlatformWindows; ++i)
    if (lists_->IsPlatformWindowOpen(i)) lists_->RefreshPlatformWindow(i);
  // Each of these clears its own slot when deleted, so a later request opens a fresh one.
  lists_->CloseTrainGraph();
  dialogs_->CloseTrainEntryDialogs();
  dialogs_->ClosePermitRequestDialogs();
}

void Corvane3Data::RefreshArrivalWindow(std::string_view name) {
  for (int i = 0; i < kMaxLocations; ++i) {
    const OrgData& org = orgData_[i];
    if (org.InUse == 0 || FieldText(org.Name) != name || !lists_->IsArrivalWindowOpen(i)) continue;
    lists_->RefreshArrivalWindow(i);
    return;
  }
}

// ---------------------------------------------------------------- track names

void Corvane3Data::BuildTrackNameList(TrackNameList& out) const {
  for (auto& entry : out) entry.fill('\0');
  int used = 0;
  for (const BlockData& block : blockData_) {
    if (block.InUse == 0 || block.PassThrough == 1) continue;
    const std::string part = FieldText(block.TrackPart);
    const std::string first = FieldText(block.TrackStation1);
    const std::string second = FieldText(block.TrackStation2);
    if (part.empty() || (first.empty() && second.empty())) continue;
    char name[kTrackNameChars];
    std::snprintf(name, sizeof name, "%s-%s %s", first.c_str(), second.c_str(), part.c_str());
    const bool known = std::any_of(out.begin(), out.begin() + used,
                                   [&](const auto& entry) { return std::strcmp(entry.data(), name) == 0; });
    if (!known) std::memcpy(out[used++].data(), name, sizeof name);
  }
}
