// The block permit request put before the dispatcher: what its window shows
// and what its buttons do, without the window. The engine holds one per permit
// slot while the request is open; the window (dialogs/) shares it, shows it and
// forwards its buttons here, and tests drive it directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/corvane3_data.h"

class PermitRequestForm {
 public:
  // fromTimer 1: raised by the per-minute step (the request starts when shown);
  // 0: opened from the active permit list (the request keeps its start).
  PermitRequestForm(Corvane3Data& store, int slot, uint8_t fromTimer);
  PermitRequestForm(const PermitRequestForm&) = delete;
  PermitRequestForm& operator=(const PermitRequestForm&) = delete;

  int Slot() const { return slot_; }
  uint8_t FromTimer() const { return fromTimer_; }

  // The engine lets go of the request: it comes back an hour later unless its
  // slot is gone. A window still holding it (a message box may be up) gets no
  // further effect from it.
  void Release();
  bool Released() const { return released_; }

  struct Fields {
    std::string TrackName;
    std::string Requestor;
    std::string Reason;
    std::string FromTime;     // requested start
    std::string ToTime;       // requested end
    std::string GrantedFrom;  // proposed grant, editable
    std::string GrantedTo;
  };
  // The window is up: marks the slot's window open and gives the texts to show.
  Fields SetupWindow();
  // The window is gone.
  void Destroy();

  enum class Answer { Close, StayOnGrantedFrom, StayOnGrantedTo };
  // "Authorized" with the typed grant; on Close the slot holds the granted times.
  Answer Authorize(std::string_view grantedFrom, std::string_view grantedTo);
  // " Request Later": the request moves an hour later.
  Answer RequestLater();

 private:
  Answer Stay(Answer answer) const;

  Corvane3Data& store_;
  int slot_;
  uint8_t fromTimer_;
  bool released_ = false;
};
