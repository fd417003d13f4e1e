#include "tests/support/fake_services.h"

#include <algorithm>

MessageResult FakeMessageService::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                                              MessageButtons buttons) {
  Calls.push_back({text, caption, icon, buttons});
  if (answers_.empty()) return NullMessageService().ShowMessage(text, caption, icon, buttons);
  const MessageResult answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool FakeListService::IsListOpen(ListWindow list) {
  return std::find(OpenLists.begin(), OpenLists.end(), list) != OpenLists.end();
}

bool FakeListService::IsArrivalWindowOpen(int index) {
  return std::find(OpenArrivalWindows.begin(), OpenArrivalWindows.end(), index) != OpenArrivalWindows.end();
}

bool FakeListService::IsPlatformWindowOpen(int platform) {
  return std::find(OpenPlatformWindows.begin(), OpenPlatformWindows.end(), platform) != OpenPlatformWindows.end();
}

void FakePlaybackSink::RecordChange(PlaybackKind kind, int32_t index, const void* record, uint32_t size) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  Calls.push_back({kind, index, std::vector<uint8_t>(bytes, bytes + size)});
}
