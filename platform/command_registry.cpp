#include "platform/command_registry.h"

QAction* CommandRegistry::Action(int id, const QString& text) {
  Command& command = commands_[id];
  for (auto& action : command.Actions) {
    if (action) return action;
  }
  auto* action = new QAction(text, this);
  action->setObjectName(QString::number(id));
  Connect(id, action);
  command.Actions.push_back(action);
  Apply(id, command);
  return action;
}

QAction* CommandRegistry::Find(int id) const {
  auto it = commands_.find(id);
  if (it == commands_.end()) return nullptr;
  for (const auto& action : it->second.Actions) {
    if (action) return action;
  }
  return nullptr;
}

void CommandRegistry::Attach(int id, QAction* action) {
  Command& command = commands_[id];
  action->setObjectName(QString::number(id));
  Connect(id, action);
  command.Actions.push_back(action);
  Apply(id, command);
}

void CommandRegistry::DropActions(int id) {
  auto it = commands_.find(id);
  if (it == commands_.end()) return;
  auto& actions = it->second.Actions;
  for (auto& action : actions) {
    if (action && action->parent() == this) delete action.data();
  }
  std::erase_if(actions, [](const QPointer<QAction>& action) { return action.isNull(); });
}

void CommandRegistry::Connect(int id, QAction* action) {
  connect(action, &QAction::triggered, this, [this, id] {
    // Put the mark back as the registry has it; the handler sets it if it means to.
    auto it = commands_.find(id);
    if (it != commands_.end()) Apply(id, it->second);
    Dispatch(id);
  });
}

void CommandRegistry::SetHandler(int id, std::function<void()> handler) {
  Command& command = commands_[id];
  command.Handler = std::move(handler);
  Apply(id, command);
}

void CommandRegistry::SetEnabler(int id, std::function<bool()> enabler) {
  Command& command = commands_[id];
  command.Enabler = std::move(enabler);
  Apply(id, command);
}

bool CommandRegistry::Dispatch(int id) {
  if (!IsEnabled(id)) return false;
  // Copy: the handler may replace itself or forget the command.
  auto handler = commands_[id].Handler;
  handler();
  return true;
}

void CommandRegistry::Check(int id, bool checked) {
  Command& command = commands_[id];
  command.Checked = checked;
  Apply(id, command);
}

bool CommandRegistry::IsChecked(int id) const {
  auto it = commands_.find(id);
  return it != commands_.end() && it->second.Checked;
}

bool CommandRegistry::IsEnabled(int id) {
  auto it = commands_.find(id);
  if (it == commands_.end() || !it->second.Handler) return false;
  return !it->second.Enabler || it->second.Enabler();
}

void CommandRegistry::UpdateEnabled() {
  for (auto& [id, command] : commands_) Apply(id, command);
}

void CommandRegistry::Apply(int id, Command& command) {
  const bool enabled = IsEnabled(id);
  for (auto& action : command.Actions) {
    if (!action) continue;
    action->setEnabled(enabled);
    if (command.Checked) action->setCheckable(true);
    if (action->isCheckable()) action->setChecked(command.Checked);
  }
}
