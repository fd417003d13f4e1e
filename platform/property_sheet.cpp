#include "platform/property_sheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/controls.h"

namespace {

// The sheet's own buttons, with the ids the framework's sheet gives them.
constexpr int kOkId = 1;
constexpr int kCancelId = 2;
constexpr int kApplyId = 0x3021;
constexpr int kHelpId = 0x0009;

}  // namespace

PropertyPage::PropertyPage(const QString& title, int templateId) : title_(title) { SetControlId(this, templateId); }

PropertySheet::PropertySheet(QWidget* parent, const QString& caption, int startPage)
    : QDialog(parent), tabs_(new QTabWidget(this)), startPage_(startPage) {
  setWindowTitle(caption);
  setModal(true);
  QPushButton* ok = MakeButton(this, kOkId, "OK");
  ok->setDefault(true);
  QPushButton* cancel = MakeButton(this, kCancelId, "Cancel");
  apply_ = MakeButton(this, kApplyId, "&Apply");
  apply_->setEnabled(false);
  QPushButton* help = MakeButton(this, kHelpId, "Help");
  connect(ok, &QPushButton::clicked, this, &PropertySheet::accept);
  connect(cancel, &QPushButton::clicked, this, &PropertySheet::reject);
  connect(apply_, &QPushButton::clicked, this, &PropertySheet::ApplyAll);
  connect(help, &QPushButton::clicked, this, [this] {
    if (PropertyPage* page = CurrentPage()) page->Help();
  });
  connect(tabs_, &QTabWidget::currentChanged, this, &PropertySheet::TabChosen);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {ok, cancel, apply_, help}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);
}

void PropertySheet::AddPage(PropertyPage* page) {
  pages_.push_back(page);
  connect(page, &PropertyPage::Changed, apply_, [this] { apply_->setEnabled(true); });
  const QSignalBlocker quiet(tabs_);  // pages come to the front only once the sheet shows
  tabs_->addTab(page, page->Title());
}

PropertyPage* PropertySheet::CurrentPage() const { return Page(shownPage_); }

PropertyPage* PropertySheet::Page(int index) const {
  return index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

void PropertySheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shownPage_ >= 0 || pages_.empty()) return;
  const int start = startPage_ >= 0 && startPage_ < PageCount() ? startPage_ : 0;
  {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(start);
  }
  shownPage_ = start;
  pages_[static_cast<size_t>(start)]->SetActive();
}

bool PropertySheet::SelectPage(int index) {
  if (!Page(index)) return false;
  tabs_->setCurrentIndex(index);
  return shownPage_ == index;
}

void PropertySheet::TabChosen(int index) {
  if (index == shownPage_) return;
  PropertyPage* leaving = CurrentPage();
  if (leaving && !leaving->KillActive()) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(shownPage_);
    return;
  }
  shownPage_ = index;
  if (PropertyPage* page = CurrentPage()) page->SetActive();
}

bool PropertySheet::ApplyAll() {
  if (PropertyPage* current = CurrentPage(); current && !current->KillActive()) return false;
  for (int i = 0; i < PageCount(); ++i) {
    if (pages_[static_cast<size_t>(i)]->Apply()) continue;
    if (i != shownPage_) {
      const QSignalBlocker quiet(tabs_);
      tabs_->setCurrentIndex(i);
      shownPage_ = i;
    }
    return false;
  }
  apply_->setEnabled(false);
  return true;
}

void PropertySheet::HideApplyButton() { apply_->hide(); }

void PropertySheet::accept() {
  if (ApplyAll()) QDialog::accept();
}
