#include "dialogs/territory_info.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/territory_info_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/whole_file/whole_file.h"

namespace {

const char* const kNotTxt = "The comments file name must have a \".txt\" file name extension.";
const char* const kCannotOpen = "Could not open comments file";

// The file-name fields take more than their record fields keep; what is stored is cut to the field.
constexpr int kFileNameChars = 255;

template <size_t N>
QString Text(const char (&field)[N]) {
  return QString::fromStdString(FieldText(field));
}

template <size_t N>
void Put(char (&field)[N], const QString& text) {
  SetFieldText(field, text.toLatin1().left(static_cast<qsizetype>(N - 1)).toStdString());
}

QPlainTextEdit* MakeTextBox(QWidget* parent, int id, const QString& text) {
  auto* box = new QPlainTextEdit(text, parent);
  SetControlId(box, id);
  box->setTabChangesFocus(true);
  box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 12);
  return box;
}

}  // namespace

QString CommentsFilePath(const Corvane3Data& store, const QString& name) {
  if (name.isEmpty() || QFileInfo(name).isAbsolute()) return name;
  const QString track = QString::fromStdString(FieldText(store.TrackFilePath, kPathChars));
  return track.isEmpty() ? name : QFileInfo(track).dir().filePath(name);
}

TTerritoryData::TTerritoryData(QWidget* parent, Corvane3Data& store, Actions actions)
    : QDialog(parent), store_(store), actions_(std::move(actions)) {
  SetControlId(this, res::IDD_TERRITORY_INFO);
  setWindowTitle("Territory Information");
  const TerritoryData data = store_.GetTerritoryData();

  auto* form = new QFormLayout;
  auto field = [&](const char* label, int id, const QString& text, int limit) {
    QLineEdit* edit = MakeTextField(this, id, text, limit);
    form->addRow(label, edit);
    return edit;
  };
  name_ = field("Territory Name", res::IDC_TERRITORY_NAME, Text(data.Name), 30);
  version_ = field("Version", res::IDC_TERRITORY_VERSION, Text(data.Version), 5);
  country_ = field("Country", res::IDC_TERRITORY_COUNTRY, Text(data.Country), 40);
  railroad_ = field("Railroad", res::IDC_TERRITORY_RAILROAD, Text(data.Railroad), 40);
  division_ = field("Division/Subdivision", res::IDC_TERRITORY_DIVISION, Text(data.Division), 40);
  from_ = field("From", res::IDC_TERRITORY_FROM, Text(data.From), 60);
  to_ = field("To", res::IDC_TERRITORY_TO, Text(data.To), 60);
  year_ = field("Year", res::IDC_TERRITORY_YEAR, Text(data.Year), 10);
  trackFile_ = field("Track File Name", res::IDC_TERRITORY_TRACK_FILE, Text(data.TrackFileName), kFileNameChars);
  author_ = field("Author", res::IDC_TERRITORY_AUTHOR, Text(data.Author), 30);
  email_ = field("E-mail", res::IDC_TERRITORY_EMAIL, Text(data.Email), 30);
  address_ = MakeTextBox(this, res::IDC_TERRITORY_ADDRESS, Text(data.Address));
  form->addRow("Address", address_);

  auto* publicDomain = new QRadioButton("Public Domain", this);
  SetControlId(publicDomain, res::IDC_TERRITORY_PUBLIC_DOMAIN);
  auto* copyrighted = new QRadioButton("Copyright Protected", this);
  SetControlId(copyrighted, res::IDC_TERRITORY_COPYRIGHTED);
  copyright_ = new QButtonGroup(this);
  copyright_->addButton(publicDomain);
  copyright_->addButton(copyrighted);
  (data.PublicDomain == 1 ? publicDomain : copyrighted)->setChecked(true);
  notice_ = MakeTextBox(this, res::IDC_TERRITORY_NOTICE, Text(data.CopyrightNotice));
  auto* radios = new QVBoxLayout;
  radios->addWidget(publicDomain);
  radios->addWidget(copyrighted);
  auto* copyrightRow = new QHBoxLayout;
  copyrightRow->addLayout(radios);
  copyrightRow->addWidget(notice_, 1);
  form->addRow(copyrightRow);

  commentsFile_ = MakeTextField(this, res::IDC_TERRITORY_COMMENTS_FILE, Text(data.CommentsFile), kFileNameChars);
  auto* commentsRow = new QHBoxLayout;
  commentsRow->addWidget(commentsFile_, 1);
  connect(MakeButton(this, res::IDC_TERRITORY_OPEN, "Open"), &QPushButton::clicked, this, &TTerritoryData::CmOpen);
  commentsRow->addWidget(FindControl<QPushButton>(this, res::IDC_TERRITORY_OPEN));
  form->addRow("Comments File Name", commentsRow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  QPushButton* cancel = MakeButton(this, 2, "Cancel");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  QPushButton* print = MakeButton(this, res::IDC_TERRITORY_PRINT, "Print");
  connect(print, &QPushButton::clicked, this, &TTerritoryData::CmPrint);
  QPushButton* setup = MakeButton(this, res::IDC_TERRITORY_PRINT_SETUP, "Print Setup");
  connect(setup, &QPushButton::clicked, this, [this] {
    if (actions_.PrintSetup) actions_.PrintSetup();
  });
  for (QPushButton* button : {cancel, print, setup}) buttons->addWidget(button);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

TerritoryData TTerritoryData::Shown() const {
  TerritoryData data = store_.GetTerritoryData();
  Put(data.Name, name_->text());
  Put(data.Version, version_->text());
  Put(data.Country, country_->text());
  Put(data.Railroad, railroad_->text());
  Put(data.Division, division_->text());
  Put(data.From, from_->text());
  Put(data.To, to_->text());
  Put(data.Year, year_->text());
  Put(data.TrackFileName, trackFile_->text());
  Put(data.Author, author_->text());
  Put(data.Email, email_->text());
  Put(data.Address, address_->toPlainText());
  Put(data.CopyrightNotice, notice_->toPlainText());
  Put(data.CommentsFile, commentsFile_->text());
  const bool publicDomain = FindControl<QRadioButton>(this, res::IDC_TERRITORY_PUBLIC_DOMAIN)->isChecked();
  data.PublicDomain = publicDomain ? 1 : 0;
  data.CopyrightProtected = publicDomain ? 0 : 1;
  return data;
}

void TTerritoryData::CmOpen() {
  const QString name = commentsFile_->text();
  if (!name.isEmpty() && QFileInfo(name).suffix().toLower() != "txt") {
    store_.ShowMessage(kNotTxt, MessageIcon::Error);
    return;
  }
  // A comments file that is not there yet is made, empty, so that the editor has something to open.
  const QString path = CommentsFilePath(store_, name);
  // What is there must be a regular file: a FIFO would hold the program at its open.
  QFile file(path);
  const bool there = QFileInfo::exists(path);
  if (name.isEmpty() || (there ? !whole_file::Readable(path.toStdString()) : !file.open(QIODevice::WriteOnly))) {
    store_.ShowMessage(kCannotOpen, MessageIcon::Error);
    return;
  }
  file.close();
  if (actions_.Open) actions_.Open(path.toStdString());
}

void TTerritoryData::CmPrint() {
  if (actions_.Print) actions_.Print(Shown());
}

void TTerritoryData::accept() {
  // Enter answers like OK: nothing is stored.
  RefuseReadOnlyChange(store_);
  QDialog::accept();
}

void TTerritoryData::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
