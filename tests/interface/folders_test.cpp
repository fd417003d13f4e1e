// Choosing an interface folder: proved writable before it is kept.
#include "interface/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/store_fixture.h"

namespace {

class FolderTest : public StoreFixture {
 protected:
  FolderTest() { SetFieldText(store().Captions[1], kCaptionChars, "Corvane Dispatch"); }
  std::string Folder(xfer::Channel channel) { return xfer::ChannelFolder(store(), channel); }
};

TEST_F(FolderTest, AWritableFolderIsKeptWithItsSeparatorAndNoProbeLeft) {
  const std::string typed = (folder() / "io").string();
  std::filesystem::create_directory(typed);
  EXPECT_TRUE(xfer::AssignInterfaceFolder(store(), xfer::Channel::ExternalIO, typed, false));
  EXPECT_EQ(Folder(xfer::Channel::ExternalIO), typed + "/");
  EXPECT_EQ(+store().GetOptionData().EIOLogOn, 0);
  EXPECT_TRUE(xfer::AssignInterfaceFolder(store(), xfer::Channel::CTCControl, typed + "/", true));
  EXPECT_EQ(Folder(xfer::Channel::CTCControl), typed + "/");
  EXPECT_EQ(+store().GetOptionData().CTCLogOn, 1);
  EXPECT_TRUE(std::filesystem::is_empty(typed)) << "the probe file is removed";
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(FolderTest, AFolderThatCannotBeWrittenIsRefusedAndNothingStored) {
  const std::string before = Folder(xfer::Channel::ExternalIO);
  std::filesystem::create_directory(folder() / "plain");
  std::ofstream(folder() / "file") << "x";
  for (const std::string& typed : {(folder() / "missing").string(), (folder() / "file").string(), std::string()}) {
    messages.Calls.clear();
    EXPECT_FALSE(xfer::AssignInterfaceFolder(store(), xfer::Channel::ExternalIO, typed, true)) << typed;
    ASSERT_EQ(messages.Calls.size(), 1u) << typed;
    EXPECT_EQ(messages.Calls[0].Text, xfer::kFolderRefused);
    EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_EQ(Folder(xfer::Channel::ExternalIO), before);
  }
}

}  // namespace
