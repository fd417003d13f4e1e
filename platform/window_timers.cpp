#include "platform/window_timers.h"

void WindowTimers::Set(int id, int milliseconds) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    connect(timer.get(), &QTimer::timeout, this, [this, id] {
      if (handler_) handler_(id);
    });
  }
  timer->start(milliseconds < 0 ? 0 : milliseconds);
}

void WindowTimers::Kill(int id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

bool WindowTimers::IsActive(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

int WindowTimers::Interval(int id) const { return IsActive(id) ? timers_.at(id)->interval() : -1; }

QTimer* WindowTimers::Timer(int id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? nullptr : it->second.get();
}
