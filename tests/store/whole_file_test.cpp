#include "store/whole_file/whole_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/huge_files.h"

namespace {

struct Line {
  std::string Text;
  bool Complete;
  bool operator==(const Line&) const = default;
};

// The lines of `content` as a reader holding all of it splits them.
std::vector<Line> SplitWhole(const std::string& content, std::size_t maxLine) {
  std::vector<Line> lines;
  for (std::size_t start = 0; start < content.size();) {
    const std::size_t end = content.find('\n', start);
    const bool complete = end != std::string::npos;
    std::string text = content.substr(start, complete ? end - start : std::string::npos);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.size() > maxLine) text.resize(maxLine);
    lines.push_back({text, complete});
    start = complete ? end + 1 : content.size();
  }
  return lines;
}

class WholeFileTest : public ::testing::Test {
 protected:
  WholeFileTest() {
    path_ = (std::filesystem::temp_directory_path() / ("corvane-whole-file-" + std::to_string(::getpid()))).string();
  }
  ~WholeFileTest() override { std::filesystem::remove(path_); }

  void Write(const std::string& content) const { std::ofstream(path_, std::ios::binary) << content; }
  std::vector<Line> ReadLines(std::size_t maxLine) const {
    std::vector<Line> lines;
    const int fd = ::open(path_.c_str(), O_RDONLY);
    EXPECT_TRUE(whole_file::ReadLines(fd, maxLine, [&](std::string_view text, bool complete) {
      lines.push_back({std::string(text), complete});
    }));
    ::close(fd);
    return lines;
  }

  std::string path_;
};

// Read piece by piece, the lines are those of the whole file, wherever a piece ends: in a line, between
// "\r" and "\n", or within a line already cut.
TEST_F(WholeFileTest, LinesReadInPiecesAreTheLinesOfTheWholeFile) {
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  const auto filler = [](std::size_t n, char c) { return std::string(n, c); };
  const std::vector<std::pair<const char*, std::string>> contents = {
      {"empty", ""},
      {"one line without its end", "abc"},
      {"a line end only", "\n"},
      {"CRLF and empty lines", "a\r\n\r\n\nb\r"},
      {"a line across the piece end", filler(kPiece - 3, 'x') + "yyyyyy\nlast"},
      {"CR and LF either side of the piece end", filler(kPiece - 1, 'x') + "\r\nnext\n"},
      {"a line end as the piece's first byte", filler(kPiece, 'x') + "\nnext"},
      {"a long line over three pieces", filler(3 * kPiece + 5, 'q') + "\r\nafter\n"},
      {"zero bytes within lines", std::string("a\0b\n\0\0\n", 7)},
  };
  for (const auto& [kind, content] : contents) {
    Write(content);
    for (const std::size_t maxLine : {std::size_t{1}, std::size_t{5}, std::size_t{1999}, kPiece, std::string::npos}) {
      SCOPED_TRACE(std::string(kind) + ", lines cut at " + std::to_string(maxLine));
      EXPECT_EQ(ReadLines(maxLine), SplitWhole(content, maxLine));
    }
  }
}

// Stretches without data within a cut line are passed over; data behind them is read, and the zero
// bytes a stretch gives a line not yet cut are kept.
TEST_F(WholeFileTest, ASparseFileReadsAsItsZeroBytes) {
  constexpr off_t kSize = off_t{64} << 20;
  ASSERT_TRUE(huge_files::MakeSparse(path_, kSize, "first\nsecond", "\nlast"));
  const std::vector<Line> expected = {{"first", true}, {"second" + std::string(94, '\0'), true}, {"last", false}};
  EXPECT_EQ(ReadLines(100), expected);
}

TEST_F(WholeFileTest, AFileLargerThanItsReaderAllowsIsRefusedUnread) {
  Write("0123456789");
  std::string bytes = "left over";
  EXPECT_EQ(whole_file::Read(path_, bytes, 10), whole_file::Result::Read);
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_EQ(whole_file::Read(path_, bytes, 9), whole_file::Result::TooLarge);
  EXPECT_EQ(bytes, "");
  whole_file::Buffer buffer;
  EXPECT_EQ(whole_file::Read(path_, buffer, 9), whole_file::Result::TooLarge);
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(buffer.capacity(), 0u) << "no room is taken for a refused file";

  std::vector<uint8_t> head;
  EXPECT_EQ(whole_file::ReadHead(path_, head, 4), whole_file::Result::Read);
  EXPECT_EQ(std::string(head.begin(), head.end()), "0123");
  EXPECT_EQ(whole_file::ReadTail(path_, bytes, 4), whole_file::Result::Read);
  EXPECT_EQ(bytes, "6789");
  EXPECT_EQ(whole_file::ReadTail(path_, bytes, 40), whole_file::Result::Read);
  EXPECT_EQ(bytes, "0123456789");
}

}  // namespace
