// Window timers by number: each id is one repeating timer, set again (with a
// new period) or killed by the same id, and every expiry calls the handler with
// the id, as the layout window's timer handler expects.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

class WindowTimers : public QObject {
 public:
  explicit WindowTimers(QObject* parent = nullptr) : QObject(parent) {}

  void SetHandler(std::function<void(int)> handler) { handler_ = std::move(handler); }
  void Set(int id, int milliseconds);
  void Kill(int id);
  bool IsActive(int id) const;
  int Interval(int id) const;  // -1 when the timer is not set
  // The timer behind an id, nullptr when it was never set: a test waits on its timeout.
  QTimer* Timer(int id) const;

 private:
  std::map<int, std::unique_ptr<QTimer>> timers_;
  std::function<void(int)> handler_;
};
