#include "interface/folders.h"

#include <fcntl.h>
#include <unistd.h>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace xfer {

std::string FolderWithSeparator(std::string_view typed) {
  std::string folder(typed);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool FolderIsWritable(const std::string& folder) {
  const std::string probe = FolderPath(folder, kFolderProbeFile);
  if (probe.empty()) return false;
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

bool CheckInterfaceFolder(Corvane3Data& store, std::string_view typed) {
  // An empty folder would mean the filesystem's root, which is never the folder meant.
  if (!typed.empty() && FolderIsWritable(FolderWithSeparator(typed.substr(0, kFolderChars)))) return true;
  store.ShowMessage(kFolderRefused, MessageIcon::Error);
  return false;
}

void StoreInterfaceFolder(Corvane3Data& store, Channel channel, std::string_view typed, bool logOn) {
  const std::string folder = FolderWithSeparator(typed.substr(0, kFolderChars));
  OptionData options = store.GetOptionData();
  if (channel == Channel::CTCControl) {
    SetFieldText(options.CTCFolder, folder);
    options.CTCLogOn = logOn ? 1 : 0;
  } else {
    SetFieldText(options.EIOFolder, folder);
    options.EIOLogOn = logOn ? 1 : 0;
  }
  store.UpdateOptionData(options);
}

}  // namespace xfer
