// One QApplication for the whole test run, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "shell/corvane3_app.h"
#include "tests/support/test_store.h"

inline void EnsureQApplication() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "shell_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
}

// A test that fails can leave the dialog it answered open, and the program's exec() would wait for
// ever: after a long while that dialog alone is closed. Never another one, since on a loaded machine
// the test can have gone on to a later dialog by then.
inline void CloseIfStillOpen(QPointer<QWidget> modal) {
  QTimer::singleShot(30000, [modal] {
    if (modal && modal->isVisible()) modal->close();
  });
}

// Runs `act` once the next modal window is up (a dialog's exec() returns only after it).
template <class Act>
void WhenModalOpens(Act act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    CloseIfStillOpen(modal);
    act(modal);
  });
}

// Runs `act` once the active modal window is a T (polling, since the program opens it from
// its own timer).
template <class T, class Act>
void OnModal(Act act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
    if (!modal) return;
    poll->stop();
    poll->deleteLater();
    CloseIfStillOpen(modal);
    act(modal);
  });
  poll->start(10);
}

// The program started with its frame shown (so that pointer moves reach the layout), its settings in
// `folder` and its messages going to `messages`.
inline std::unique_ptr<TCorvane3App> StartShownProgram(const QTemporaryDir& folder, MessageService* messages) {
  EnsureQApplication();
  auto app = std::make_unique<TCorvane3App>(QStringList{folder.filePath("corvane3")}, messages);
  app->InitMainWindow();
  TheStore = &app->Store();
  app->ShowFrame();
  QCoreApplication::processEvents();
  return app;
}

// Answers a file dialog as a user would: the full path typed into its name field and the button pressed.
// The dialog lists its folder in the background and can put another name in its field when the listing
// arrives (a loaded machine shows it); the answer is given again until the dialog takes it and closes.
// A file of the proposed name that the listing selected would win over the typed one (the field has no
// focus here to deselect it, as typing would): the selection is cleared first.
inline void AnswerFileDialog(QPointer<QFileDialog> dialog, const QString& path) {
  if (!dialog || !dialog->isVisible()) return;
  dialog->selectFile(path);
  if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
    name->setText(path);
  } else {
    dialog->selectFile(path);
  }
  static_cast<QDialog*>(dialog.data())->accept();
  if (dialog) QTimer::singleShot(20, dialog, [dialog, path] { AnswerFileDialog(dialog, path); });
}
