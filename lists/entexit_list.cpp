#include "lists/entexit_list.h"

#include "lists/list_text.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

std::vector<list::Column> EntExitColumns() {
  return {{"Name", Qt::AlignHCenter},
          {"Block", Qt::AlignRight},
          {"Direction", Qt::AlignHCenter},
          {"Priority", Qt::AlignHCenter},
          {"Yard Entrance", Qt::AlignHCenter},
          {"24 Hour Capacity", Qt::AlignRight},
          {"Permission To Enter", Qt::AlignHCenter}};
}

}  // namespace

TTEntExit::TTEntExit(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TEntExit", "Entrance/Exit Locations", 3, 7, EntExitColumns(),
                                 "entrance/exit location window", /*KeepsSelection=*/true},
                 parent) {
  AddSaveColumnWidthsButton();
  AddHelpButton();
}

std::vector<list::Row> TTEntExit::Fill() {
  const auto listed = ListByName<OrgData>(
      kMaxLocations, [this](int slot) { return store_.GetOrgData(slot); },
      [](const OrgData& org) { return FieldText(org.Name); },
      [](const OrgData& a, const OrgData& b) { return a.Block < b.Block; });

  std::vector<list::Row> rows;
  for (const auto& entry : listed) {
    const OrgData& org = entry.Data;
    const int16_t block = org.Block;
    const int16_t priority = org.Priority;
    const int32_t capacity = org.Capacity;
    list::Row row;
    row.Record = entry.Slot;
    row.Texts = {entry.Name,
                 QString::number(block),
                 org.Side == 0 ? "Left" : "Right",
                 QString::number(priority),
                 YesNo(org.CapacityLimited == 1),
                 capacity == -1 ? QString() : QString::number(capacity),
                 YesNo(org.PermissionRequired == 1)};
    rows.push_back(std::move(row));
  }
  return rows;
}
