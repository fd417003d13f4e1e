// A posted private message: the call runs later, from the event loop, on the
// receiver's thread, and not at all when the receiver is gone by then.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <utility>

template <class Call>
void PostMessage(QObject* receiver, Call&& call) {
  QMetaObject::invokeMethod(receiver, std::forward<Call>(call), Qt::QueuedConnection);
}
