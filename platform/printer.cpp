#include "platform/printer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QProgressDialog>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr const char* kPrintErrorCaption = "Print Error";
constexpr const char* kNoDefaultPrinter = "Cannot print without a default printer.";
constexpr const char* kPrintingCanceled = "Printing canceled";
constexpr const char* kPrintError = "Error encountered during print";

TTrainPrinter* thePrinter = nullptr;

// Qt's PDF writer compresses each finished page through buffers of megabytes, taken and given back a
// page at a time. The C library would hand that memory back to the system and fault it in again for the
// next page, which costs more than drawing the page: while a job prints, it is kept in the heap, and it
// is returned, with the usual limits, when the job ends.
class PageBuffersKept {
 public:
  PageBuffersKept() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kKept);
    mallopt(M_TRIM_THRESHOLD, 4 * kKept);
#endif
  }
  ~PageBuffersKept() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kUsual);
    mallopt(M_TRIM_THRESHOLD, kUsual);
    malloc_trim(0);
#endif
  }
  PageBuffersKept(const PageBuffersKept&) = delete;
  PageBuffersKept& operator=(const PageBuffersKept&) = delete;

 private:
  static constexpr int kKept = 32 * 1024 * 1024;
  static constexpr int kUsual = 128 * 1024;  // the C library's defaults for both
};

}  // namespace

TTrainPrinter* TheTrainPrinter() { return thePrinter; }
void SetTheTrainPrinter(TTrainPrinter* printer) { thePrinter = printer; }

TTrainPrinter::TTrainPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  // Pages go to the printer as whole pictures: there is no band information.
  banding_ = 0;
  report_ = [](const std::string& text, const std::string& caption) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromStdString(caption), QString::fromStdString(text));
  };
}

TTrainPrinter::~TTrainPrinter() = default;

bool TTrainPrinter::Setup(QWidget* parent) {
  QPrintDialog dialog(printer_.get(), parent);
  dialog.setWindowTitle("Print Setup");
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  return dialog.exec() == QDialog::Accepted;
}

void TTrainPrinter::Fail(const TPrintout& printout, const char* cause) {
  report_(QString("'%1' not printed. %2.").arg(printout.Title(), cause).toStdString(), kPrintErrorCaption);
}

bool TTrainPrinter::Print(QWidget* parent, TPrintout& printout) {
  QPrinter& printer = *printer_;
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  if ((toFile && printer.outputFileName().isEmpty()) || (!toFile && printer.printerName().isEmpty())) {
    report_(kNoDefaultPrinter, kPrintErrorCaption);
    return false;
  }
  printer.setDocName(printout.Title());
  const PageBuffersKept kept;
  QPainter dc;
  if (!dc.begin(&printer)) {
    Fail(printout, kPrintError);
    return false;
  }

  QProgressDialog progress(QString("Printing '%1'").arg(printout.Title()), "Cancel", 0, 0, parent);
  progress.setWindowTitle("Printing");
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);

  printout.SetPrintParams(dc, printer.pageLayout().paintRectPixels(printer.resolution()).size());
  for (int page = 1; printout.HasPage(page); ++page) {
    if (page > 1 && !printer.newPage()) {
      dc.end();
      Fail(printout, kPrintError);
      return false;
    }
    printout.PrintPage(page);
    QApplication::processEvents();
    if (progress.wasCanceled()) {
      printer.abort();
      dc.end();
      Fail(printout, kPrintingCanceled);
      return false;
    }
  }
  if (!dc.end()) {
    Fail(printout, kPrintError);
    return false;
  }
  return true;
}
