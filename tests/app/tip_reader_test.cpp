// The tips reader on real files in a temporary folder, with settings in memory so that one
// test can "start the program" several times.
#include "app/tip_reader.h"

#include <gtest/gtest.h>

#include <sys/time.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace spanlab {
namespace {

class TipReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (std::filesystem::temp_directory_path() / "spanlab-tips-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir_.data()), nullptr);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& text, const std::string& name = kTipsFileName) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // The tips shown by one showing: the first one and then `presses` presses of "Next Tip".
  std::vector<std::string> Show(const std::string& path, int presses, const char* time = "T1") {
    TipReader reader(settings_, disk_, path, time);
    std::vector<std::string> tips{reader.Tip()};
    for (int i = 0; i < presses; ++i) {
      reader.NextTip();
      tips.push_back(reader.Tip());
    }
    return tips;
  }
  int Stored(const char* key) { return settings_.GetInt("Tip", key, -999); }

  std::string dir_;
  MemorySettings settings_;
  DiskFileAccess disk_;
};

using Tips = std::vector<std::string>;

TEST_F(TipReaderTest, FirstStartShowsTheFirstTipWithTheBoxChecked) {
  const std::string path = Write("; Tips\n;\n\n  indented\nFirst tip\nSecond tip\n");
  TipReader reader(settings_, disk_, path, "Mon Mar  4 10:00:00 2024");
  EXPECT_TRUE(reader.IsOpen());
  EXPECT_TRUE(reader.Startup());
  EXPECT_EQ(reader.Tip(), "First tip");
  EXPECT_EQ(reader.Trouble(), "");
  EXPECT_EQ(settings_.GetString("Tip", "TimeStamp", "?"), "Mon Mar  4 10:00:00 2024");
}

TEST_F(TipReaderTest, NextTipGoesRoundAndNeverShowsCommentsOrIndentedLines) {
  const std::string path =
      Write("; header\nTip one\n\tTabbed\n  Indented\n\r\n;Tip in a comment\nTip two\r\n\n");
  EXPECT_EQ(Show(path, 3), (Tips{"Tip one", "Tip two", "Tip one", "Tip two"}));
}

TEST_F(TipReaderTest, CloseStoresTheBoxAndOtherwiseNothing) {
  const std::string path = Write("Only tip\n");
  { TipReader escaped(settings_, disk_, path, "T1"); }
  EXPECT_EQ(Stored("StartUp"), -999);
  {
    TipReader reader(settings_, disk_, path, "T1");
    reader.Close(false);
  }
  EXPECT_EQ(Stored("StartUp"), 1);
  TipReader next(settings_, disk_, path, "T1");
  EXPECT_FALSE(next.Startup());
  next.Close(true);
  EXPECT_EQ(Stored("StartUp"), 0);
}

TEST_F(TipReaderTest, TheNextShowingGoesOnAfterTheLastTipShown) {
  const std::string path = Write("A\n; note\nB\nC\n");
  EXPECT_EQ(Show(path, 1), (Tips{"A", "B"}));
  EXPECT_EQ(Stored("FilePos"), 11);  // the start of "C"
  EXPECT_EQ(Show(path, 1), (Tips{"C", "A"}));
  EXPECT_EQ(Stored("FilePos"), 2);
}

TEST_F(TipReaderTest, ANewTimeStampRestartsAtTheTop) {
  const std::string path = Write("Tip one\nTip two\n");
  settings_.SetInt("Tip", "FilePos", 8);
  settings_.SetString("Tip", "TimeStamp", "old");
  EXPECT_EQ(Show(path, 0, "old"), Tips{"Tip two"});
  EXPECT_EQ(Show(path, 0, "new"), Tips{"Tip one"});
  EXPECT_EQ(settings_.GetString("Tip", "TimeStamp", "?"), "new");
}

TEST_F(TipReaderTest, AStoredPositionOutsideTheFile) {
  const std::string path = Write("Tip one\nTip two\n");
  settings_.SetString("Tip", "TimeStamp", "T1");
  settings_.SetInt("Tip", "FilePos", 5000);
  EXPECT_EQ(Show(path, 1), (Tips{"Tip one", "Tip two"}));

  settings_.SetInt("Tip", "FilePos", -3);
  TipReader reader(settings_, disk_, path, "T1");
  EXPECT_EQ(reader.Trouble(), "Trouble reading the tips file");
  EXPECT_EQ(reader.Tip(), "");
  reader.NextTip();
  EXPECT_EQ(reader.Tip(), "Tip one");
}

TEST_F(TipReaderTest, AMissingOrOversizedFileIsReportedAndStoresNoPosition) {
  const std::string big = Write(std::string(TipReader::kMaxFileBytes + 1, 'x'), "big.tip");
  for (const std::string& path : {dir_ + "/none.tip", std::string(), big}) {
    TipReader reader(settings_, disk_, path, "T1");
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.Tip(), "Tips file does not exist in the prescribed directory");
    EXPECT_EQ(reader.GetNextTipString(), "");
  }
  EXPECT_TRUE(settings_.ints.empty());
  EXPECT_TRUE(settings_.strings.empty());
}

TEST_F(TipReaderTest, AFileWithoutTipsGivesAnEmptyTip) {
  for (const char* text : {"", "; only a comment\n\n   \n\t;\n", "; no line end"}) {
    const std::string path = Write(text);
    EXPECT_EQ(Show(path, 2), (Tips{"", "", ""})) << text;
  }
}

TEST_F(TipReaderTest, ALongLineIsReadAsSeveralTips) {
  const std::string a(999, 'a'), b(999, 'b'), c(502, 'c');
  const std::string path = Write(a + b + c + "\nShort");
  EXPECT_EQ(Show(path, 4), (Tips{a, b, c, "Short", a}));
}

TEST_F(TipReaderTest, FindTipsFileTakesTheFirstFolderThatHoldsTheFile) {
  for (const char* sub : {"/empty", "/folder/spanlab.tip", "/beside", "/data"}) {
    std::filesystem::create_directories(dir_ + sub);  // a folder named spanlab.tip is no file
  }
  Write("x\n", "beside/spanlab.tip");
  Write("x\n", "data/spanlab.tip");
  EXPECT_EQ(FindTipsFile({dir_ + "/empty", dir_ + "/folder", dir_ + "/beside/", dir_ + "/data"}),
            dir_ + "/beside/spanlab.tip");
  EXPECT_EQ(FindTipsFile({dir_ + "/empty", dir_ + "/folder"}), "");
}

TEST_F(TipReaderTest, FileTimeTextFollowsTheModificationTime) {
  const std::string path = Write("x\n");
  const struct timeval first[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimes(path.c_str(), first), 0);
  const std::string before = FileTimeText(path);
  EXPECT_EQ(before.size(), 24u) << before;  // "Sun Sep  9 01:46:40 2001", no line feed
  EXPECT_NE(before.find("2001"), std::string::npos) << before;
  const struct timeval second[2] = {{1000000060, 0}, {1000000060, 0}};
  ASSERT_EQ(::utimes(path.c_str(), second), 0);
  EXPECT_NE(FileTimeText(path), before);
  EXPECT_EQ(FileTimeText(dir_ + "/none"), "");
}

}  // namespace
}  // namespace spanlab
