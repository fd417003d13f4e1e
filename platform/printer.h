// The program's one printer and the printout that it drives. A printout is
// told the device and the page size once, then asked page by page whether the
// page exists and to print it; a page that finds more to print makes the job
// one page longer. The printer keeps the choice made in Print Setup (a PDF
// file is a printer too) for every later job of the run.
#pragma once

#include <QPrinter>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QPainter;
class QWidget;

class TPrintout {
 public:
  explicit TPrintout(QString title) : title_(std::move(title)) {}
  virtual ~TPrintout() = default;
  TPrintout(const TPrintout&) = delete;
  TPrintout& operator=(const TPrintout&) = delete;

  // The job's name, quoted by the printer's messages.
  const QString& Title() const { return title_; }

  // Once per job, before the first page: the painter on the printer and the printable page in device units.
  virtual void SetPrintParams(QPainter& dc, QSize page) = 0;
  virtual bool HasPage(int page) = 0;
  virtual void PrintPage(int page) = 0;

 private:
  QString title_;
};

class TTrainPrinter {
 public:
  // How the printer tells the user of a failure: text and caption.
  using ErrorReporter = std::function<void(const std::string& text, const std::string& caption)>;

  TTrainPrinter();
  ~TTrainPrinter();
  TTrainPrinter(const TTrainPrinter&) = delete;
  TTrainPrinter& operator=(const TTrainPrinter&) = delete;

  // The print set-up dialog over parent; what the user accepts holds for later jobs. True when accepted.
  bool Setup(QWidget* parent);
  // Prints every page of the printout on the chosen printer without a dialog of choices; a failure or the
  // user's cancellation is reported and answers false.
  bool Print(QWidget* parent, TPrintout& printout);

  void SetErrorReporter(ErrorReporter reporter) { report_ = std::move(reporter); }
  // The band-information setting, as the printer had it when made.
  bool Banding() const { return banding_ != 0; }
  QPrinter& Device() { return *printer_; }

 private:
  void Fail(const TPrintout& printout, const char* cause);

  std::unique_ptr<QPrinter> printer_;
  ErrorReporter report_;
  uint8_t banding_ = 0;
};

// The printer of the running program (made by the main frame), or null.
TTrainPrinter* TheTrainPrinter();
void SetTheTrainPrinter(TTrainPrinter* printer);
