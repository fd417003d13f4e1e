#include "store/corvane3_data.h"

struct Corvane3Data::EditTablesBackup {
  std::array<OrgData, kMaxLocations> Locations;
  std::array<TrainData, kMaxTrains> Trains;
  std::array<PermitData, kMaxPermitData> Permits;
  std::array<SlowData, kMaxSlowData> SlowOrders;
  std::array<TrainType, kMaxTrainTypes> TrainTypes;
  std::array<DetectorData, kMaxDetectors> Detectors;
  std::array<OSData, kMaxOSData> OSPoints;
};

void Corvane3Data::BackupEditTables() {
  if (!editBackup_) editBackup_ = std::make_shared<EditTablesBackup>();
  EditTablesBackup& backup = *editBackup_;
  backup.Locations = orgData_;
  backup.Trains = trainData_;
  backup.Permits = permitData_;
  backup.SlowOrders = slowData_;
  backup.TrainTypes = trainTypes_;
  backup.Detectors = detectors_;
  backup.OSPoints = osData_;
  ++ChangeCount;
}
