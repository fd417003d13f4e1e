// A property sheet: pages on tabs over OK, Cancel, Apply and Help. Each page
// fills its controls when it is first shown (SetActive), checks them when the
// user leaves it (KillActive) and stores them on OK or Apply (Apply); a page
// that refuses keeps the sheet open on itself. Apply is enabled once a page
// reports a change and greyed again after the change is stored.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <vector>

class QPushButton;
class QTabWidget;

class PropertyPage : public QWidget {
  Q_OBJECT

 public:
  PropertyPage(const QString& title, int templateId);
  const QString& Title() const { return title_; }

  // Fills the controls; called each time the page comes to the front.
  virtual void SetActive() {}
  // Checks the page's fields before another page is shown; false keeps this page.
  virtual bool KillActive() { return true; }
  // Stores the page; false keeps the sheet open on this page.
  virtual bool Apply() { return true; }
  virtual void Help() {}

 signals:
  // A field was changed by the user: the sheet enables Apply.
  void Changed();

 private:
  QString title_;
};

class PropertySheet : public QDialog {
  Q_OBJECT

 public:
  PropertySheet(QWidget* parent, const QString& caption, int startPage = 0);

  // The sheet takes the page; pages show in the order added.
  void AddPage(PropertyPage* page);
  PropertyPage* CurrentPage() const;
  PropertyPage* Page(int index) const;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Brings a page to the front, as a click on its tab does (the current page may refuse).
  bool SelectPage(int index);
  // Apply, as its button: the current page is checked, then every page stores itself. False when one refused.
  bool ApplyAll();
  // A sheet that only shows its pages has no Apply button.
  void HideApplyButton();

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void TabChosen(int index);

  QTabWidget* tabs_;
  QPushButton* apply_;
  std::vector<PropertyPage*> pages_;
  int startPage_;
  int shownPage_ = -1;
};
