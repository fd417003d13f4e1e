// One place for commands: menu items, control-bar buttons and pop-up items
// carry a command id and dispatch through here. A command with no handler is
// greyed, as is one whose enabler says no; check marks are set by id and
// belong to the registry, so choosing an item never flips its mark by itself.
#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

class CommandRegistry : public QObject {
 public:
  explicit CommandRegistry(QObject* parent = nullptr) : QObject(parent) {}

  // Makes an action for the id (its objectName is the id) or hands out the one that exists.
  QAction* Action(int id, const QString& text = {});
  // Ties another action (a second button of a pair) to the same id.
  void Attach(int id, QAction* action);
  // Deletes the actions the registry made for the id (they leave their menus); the handler stays.
  void DropActions(int id);
  bool Has(int id) const { return commands_.count(id) != 0; }
  // The id's first action, or null; makes nothing.
  QAction* Find(int id) const;

  void SetHandler(int id, std::function<void()> handler);
  void SetEnabler(int id, std::function<bool()> enabler);

  // Runs the command's handler; false when it has none or is disabled.
  bool Dispatch(int id);

  void Check(int id, bool checked);
  bool IsChecked(int id) const;
  bool IsEnabled(int id);

  // Asks every enabler again and greys or enables the actions.
  void UpdateEnabled();

 private:
  struct Command {
    std::vector<QPointer<QAction>> Actions;
    std::function<void()> Handler;
    std::function<bool()> Enabler;
    bool Checked = false;
  };
  void Connect(int id, QAction* action);
  void Apply(int id, Command& command);

  std::map<int, Command> commands_;
};
