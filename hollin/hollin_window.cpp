#include "hollin/hollin_window.h"

#include <QAction>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>

#include "hollin/core/control_reader.h"
#include "hollin/core/hollin_data.h"
#include "hollin/file_folder_dialog.h"
#include "hollin/hollin_ids.h"
#include "hollin/send_file_dialog.h"
#include "platform/fonts.h"

namespace {

constexpr int kTickTimer = 0;
constexpr int kFirstTickMs = 100;  // the first tick comes at once and opens the folder set-up
constexpr int kLeft = 16;
constexpr int kRight = 960;
constexpr int kLineHeight = 20;

// The screen, painted by the window's own paint routine.
class HollinScreen : public QWidget {
 public:
  explicit HollinScreen(const THollinWindow& window) : window_(window) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    window_.Paint(painter);
  }

 private:
  const THollinWindow& window_;
};

QFont ScreenFont() {
  // Linux lacks the face: the one fixed-pitch face the programs load keeps the columns.
  QFont font = FaceFont("Courier New");
  font.setPixelSize(kLineHeight);
  font.setWeight(QFont::Normal);
  return font;
}

}  // namespace

THollinWindow::THollinWindow(THollinData& data, const QString& caption, QWidget* parent)
    : QMainWindow(parent), data_(data) {
  setWindowTitle(caption);
  setCentralWidget(new HollinScreen(*this));
  auto add = [this](int id, const char* text, void (THollinWindow::*handler)()) {
    QAction* action = menuBar()->addAction(text);
    action->setObjectName(QString::number(id));
    connect(action, &QAction::triggered, this, handler);
  };
  add(hollin_ids::kCmSetup, "Setup", &THollinWindow::CmSetup);
  add(hollin_ids::kCmSendFile, "Send File", &THollinWindow::CmSendFile);
  add(hollin_ids::kCmExit, "Exit", &THollinWindow::CmExit);

  timers_.SetHandler([this](int id) { Tick(id); });
  timers_.Set(kTickTimer, kFirstTickMs);
}

void THollinWindow::Tick(int id) {
  if (id != kTickTimer) return;
  // The timer rests while the tick works, so ticks never overlap however long a dialog stays open.
  timers_.Kill(kTickTimer);
  if (firstTick_) {
    TFileFolder(data_, this).exec();
    firstTick_ = false;
  } else {
    data_.FlushIndications();
    hollin::ReadControls(data_);
  }
  centralWidget()->update();
  ArmTimer();
}

void THollinWindow::ArmTimer() { timers_.Set(kTickTimer, data_.GetOptions().Interval * 100); }

void THollinWindow::CmSetup() {
  timers_.Kill(kTickTimer);
  TFileFolder(data_, this).exec();
  ArmTimer();
  centralWidget()->update();
}

void THollinWindow::CmSendFile() { TSendFile(data_, this).exec(); }

void THollinWindow::CmExit() {
  if (QMessageBox::question(this, data_.Title1(), "Do you want to exit the program?",
                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::No) {
    close();
  }
}

QStringList THollinWindow::ScreenLines() const {
  QStringList lines;
  lines << (firstTick_ ? QString("Waiting to Start")
                       : QString("Running   Time %1").arg(QString::fromStdString(data_.GetTimeText())));
  lines << "Last Data In:";
  std::string text;
  for (int slot = 0; data_.GetIncoming(slot, text); ++slot) lines << QString::fromStdString(text);
  return lines;
}

void THollinWindow::Paint(QPainter& painter) const {
  painter.setFont(ScreenFont());
  const QStringList lines = ScreenLines();
  const int width = kRight - kLeft;
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  painter.drawText(QRect(kLeft, 16, width, 16), flags, lines[0]);
  painter.drawText(QRect(kLeft, 48, width, 20), flags, lines[1]);
  for (int i = 2; i < lines.size(); ++i) {
    painter.drawText(QRect(kLeft, 68 + (i - 2) * kLineHeight, width, kLineHeight), flags, lines[i]);
  }
}
