// The application: the data object with its options, then the main window,
// shown maximized as "File Testing Program 1.0".
#pragma once

#include <memory>
#include <string>

class THollinData;
class THollinWindow;

class TOrderApp {
 public:
  // programFolder: the program file's folder; it holds the options file and the logs.
  explicit TOrderApp(const std::string& programFolder);
  ~TOrderApp();
  TOrderApp(const TOrderApp&) = delete;
  TOrderApp& operator=(const TOrderApp&) = delete;

  void InitMainWindow();
  THollinData& Data() const { return *data_; }
  THollinWindow* MainWindow() const { return window_.get(); }

 private:
  std::unique_ptr<THollinData> data_;
  std::unique_ptr<THollinWindow> window_;
};
