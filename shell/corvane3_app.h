// The application: creates the store, reads the settings, builds the main
// frame and its bars, and deletes the store at the end of the run.
#pragma once

#include <QStringList>
#include <memory>

#include "shell/message_box.h"

class Corvane3Data;
class TCorvane3Dec;
class LayoutShellService;
class DisplayPictures;
class LayoutImage;
class LayoutPainter;
class TCorvane3Window;
class MessageInterfaceService;
class QtDialogService;
class QtListService;
class QRect;

// The frame's normal place on a screen of that available area: most of it, centred.
QRect NormalFramePlace(const QRect& available);

class CommandRegistry;
class RunControl;
// Start, Stop, the speed and sound buttons, the Mode menu and their enablers, onto the run control.
void BindRunCommands(CommandRegistry& commands, RunControl& control, TCorvane3Dec& frame);

class TCorvane3App {
 public:
  // arguments: the program's path first, then the command line's words. messages: where
  // message boxes go (tests pass a scripted one); null for real boxes over the frame.
  explicit TCorvane3App(QStringList arguments, MessageService* messages = nullptr);
  ~TCorvane3App();
  TCorvane3App(const TCorvane3App&) = delete;
  TCorvane3App& operator=(const TCorvane3App&) = delete;

  void InitMainWindow();
  // Shows the frame maximized, over a normal place that takes most of the screen unless the frame
  // already has one; without a window manager the frame keeps that normal place.
  void ShowFrame();
  // Shows the frame and runs the event loop; returns its exit code.
  int Run();

  TCorvane3Dec* MainFrame() const { return frame_.get(); }
  TCorvane3Window* LayoutWindow() const;
  // The run's store, once the main window is made.
  Corvane3Data& Store() const { return *store_; }
  DisplayPictures* Pictures() const { return pictures_.get(); }
  QtDialogService* Dialogs() const { return dialogs_.get(); }

 private:
  QStringList arguments_;
  std::unique_ptr<Corvane3Data> store_;
  std::unique_ptr<TCorvane3Dec> frame_;
  std::unique_ptr<DisplayPictures> pictures_;
  std::unique_ptr<LayoutShellService> shell_;
  std::unique_ptr<LayoutPainter> painter_;
  std::unique_ptr<MessageInterfaceService> interface_;
  std::unique_ptr<LayoutImage> layoutImage_;
  std::unique_ptr<QtDialogService> dialogs_;
  std::unique_ptr<QtListService> lists_;
  QtMessageService qtMessages_;
  MessageService* messages_;
};
