#include "hollin/order_app.h"

#include "hollin/core/hollin_data.h"
#include "hollin/hollin_window.h"

TOrderApp::TOrderApp(const std::string& programFolder) : data_(std::make_unique<THollinData>(programFolder)) {
  data_->LoadOptions();
  // Every run takes the simulator's first line, whatever its number.
  HollinOptions options = data_->GetOptions();
  options.LastReceivedSequence = -1;
  data_->SetOptions(options);
}

TOrderApp::~TOrderApp() = default;

void TOrderApp::InitMainWindow() {
  const QString caption = QString("File Testing Program %1").arg(data_->VersionText());
  window_ = std::make_unique<THollinWindow>(*data_, caption);
  window_->showMaximized();
}
