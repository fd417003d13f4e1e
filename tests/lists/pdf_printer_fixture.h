// A store and the program's printer, printing to a PDF file in the test's
// folder; the printer's messages are collected, and the pages read back.
#pragma once

#include <QPainter>
#include <QWidget>
#include <string>
#include <vector>

#include "lists/printouts.h"
#include "tests/shell/gui_app.h"
#include "tests/support/pdf_text.h"
#include "tests/support/store_fixture.h"

class PdfPrinterFixture : public StoreFixture {
 protected:
  PdfPrinterFixture() {
    printer.SetErrorReporter(
        [this](const std::string& text, const std::string& caption) { errors.push_back(caption + ": " + text); });
    printer.Device().setOutputFormat(QPrinter::PdfFormat);
    printer.Device().setOutputFileName(Pdf());
  }

  QString Pdf() const { return QString::fromStdString((folder() / "report.pdf").string()); }
  // Prints and reads the pages back.
  std::vector<std::string> Print(TPrintout& printout) {
    EXPECT_TRUE(printer.Print(nullptr, printout));
    return PdfPages(Pdf().toStdString());
  }
  // The body lines a page of the printout has room for, as the printer works them out.
  int LinesPerPage(TTabularPrintout& probe) {
    QPrinter& device = printer.Device();
    QPainter dc(&device);
    probe.SetPrintParams(dc, device.pageLayout().paintRectPixels(device.resolution()).size());
    dc.end();
    return probe.LinesPerPage;
  }

  bool appReady_ = (EnsureQApplication(), true);  // a printer needs the application
  TTrainPrinter printer;
  std::vector<std::string> errors;
};
