// Loading and saving the document through real files, and the document's hints and commands.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "model/model_file.h"
#include "platform/prompt.h"
#include "run/document.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

const char* const kNotice =
    "This file was created in a previous version of Spanlab. When saved, it will be written in "
    "the new format.\n\nThis version of Spanlab requires separate E and I values. Be sure to "
    "verify that the values of E and I are correct.";

std::string LongLineQuestion(int line) {
  return "Line number " + std::to_string(line) +
         " has more than 80 characters. Characters over 80 will be truncated. Continue? Press F1 "
         "for help.";
}

struct Update {
  CView* sender;
  long hint;
  size_t lineCount;  // the document's lines when the hint arrived
  bool operator==(const Update&) const = default;
};

class RecordingView : public CView {
 public:
  void OnUpdate(CView* sender, long hint) override {
    const auto* doc = static_cast<const CSPLX_30Doc*>(GetDocument());
    updates.push_back({sender, hint, doc->GetLines().size()});
  }
  std::vector<Update> updates;
};

class RecordingTarget : public ResultsCommandTarget {
 public:
  void OnForwardedCommand(int command) override { commands.push_back(command); }
  std::vector<int> commands;
};

class DocumentFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder = ::testing::TempDir();
    if (folder.empty() || folder.back() != '/') folder += '/';
    folder += "document_file_XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    dir_ = folder;
    doc_.AddView(&view_);
    doc_.SetPrompter(&yes_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // Opens a current-format model so that a later failed open has something to keep.
  void OpenGoodModel() {
    ASSERT_TRUE(doc_.OnOpenDocument(Write("good.spn", WriteModelFile(kGood))));
    view_.updates.clear();
  }

  const Lines kGood{"File Format:3.0", "Units: English;", "Support: X = 0; Disp = 0;"};
  std::string dir_;
  CSPLX_30Doc doc_;
  RecordingView view_;
  RecordingPrompter yes_{true};
  RecordingPrompter no_{false};
};

TEST_F(DocumentFileTest, CurrentFormatLoadsWithoutQuestions) {
  ASSERT_TRUE(doc_.OnOpenDocument(Write("old.txt", "")));
  ASSERT_EQ(doc_.IsConverted(), 1);
  yes_.notices.clear();

  doc_.SetLines(nullptr, {"File Format:3.0", "Support: X = 1; Disp = 0;"});
  doc_.BuildItems(true);
  ASSERT_EQ(doc_.GetSupports().size(), 1u);
  view_.updates.clear();

  // Stored lines are taken as they are: no length limit, "Message:" lines kept.
  const Lines lines{"File Format:3.0", "/" + std::string(300, 'd'), "Message: stays", ""};
  const std::string path = Write("beam.spn", WriteModelFile(lines));
  ASSERT_TRUE(doc_.OnOpenDocument(path)) << doc_.GetLastError();
  EXPECT_EQ(doc_.GetLines(), lines);
  EXPECT_TRUE(yes_.questions.empty());
  EXPECT_TRUE(yes_.notices.empty());
  EXPECT_EQ(doc_.IsConverted(), 0);
  EXPECT_FALSE(doc_.IsModified());
  EXPECT_EQ(doc_.GetPathName(), path);
  EXPECT_EQ(doc_.GetTitle(), "beam.spn");
  EXPECT_EQ(doc_.GetLastError(), "");
  EXPECT_EQ(view_.updates, (std::vector<Update>{{nullptr, kHintLines, 4}}));
  EXPECT_TRUE(doc_.GetSupports().empty());
}

TEST_F(DocumentFileTest, FailedOpenKeepsTheModelThatWasOpen) {
  OpenGoodModel();
  const std::string good = doc_.GetPathName();
  std::string cut = WriteModelFile({"File Format:3.0", "Units: Metric;"});
  cut.pop_back();
  struct Case {
    std::string path;
    std::string error;
  };
  const Case cases[] = {
      {Write("cut.spn", cut),
       "Cannot open '" + dir_ + "/cut.spn'. The model file is damaged: line 2 of 2 is cut short."},
      {dir_ + "/missing.spn",
       "Cannot open '" + dir_ + "/missing.spn': No such file or directory."},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(doc_.OnOpenDocument(c.path));
    EXPECT_EQ(doc_.GetLastError(), c.error);
    EXPECT_EQ(doc_.GetLines(), kGood);
    EXPECT_EQ(doc_.GetPathName(), good);
    EXPECT_FALSE(doc_.IsModified());
  }
  EXPECT_TRUE(view_.updates.empty());
  EXPECT_TRUE(yes_.questions.empty());
}

TEST_F(DocumentFileTest, OverLongTextLineAsksOnceAndYesKeepsEightyCharacters) {
  const std::string path =
      Write("long.txt", "/" + std::string(79, 'b') + "\n/two\n/" + std::string(94, 'c') + "\n/" +
                            std::string(80, 'e') + "\n/" + std::string(199, 'f'));
  ASSERT_TRUE(doc_.OnOpenDocument(path)) << doc_.GetLastError();
  EXPECT_EQ(yes_.questions,
            (Lines{LongLineQuestion(3), LongLineQuestion(4), LongLineQuestion(5)}));
  EXPECT_EQ(yes_.helpContexts, (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(doc_.GetLines(),
            (Lines{"File Format:3.0", "/" + std::string(79, 'b'), "/two", "/" + std::string(79, 'c'),
                   "/" + std::string(79, 'e'), "/" + std::string(79, 'f'), "Units: Consistent;"}));
  EXPECT_EQ(yes_.notices, Lines{kNotice});
  EXPECT_TRUE(doc_.IsModified());
}

TEST_F(DocumentFileTest, NoAtTheQuestionCancelsTheOpen) {
  OpenGoodModel();
  doc_.SetPrompter(&no_);
  const std::string path = Write("long.txt", "/one\n/two\n/" + std::string(94, 'c') + "\n/four\n");
  EXPECT_FALSE(doc_.OnOpenDocument(path));
  EXPECT_EQ(doc_.GetLastError(),
            "Opening '" + path + "' was cancelled: line 3 has more than 80 characters.");
  EXPECT_EQ(no_.questions, Lines{LongLineQuestion(3)});
  EXPECT_TRUE(no_.notices.empty());
  EXPECT_EQ(doc_.GetLines(), kGood);
  EXPECT_EQ(doc_.IsConverted(), 0);
  EXPECT_FALSE(doc_.IsModified());
  EXPECT_TRUE(view_.updates.empty());

  // The same when the over-long line is the first, or follows a skipped "Message:" line.
  const std::string first = Write("first.txt", std::string(81, 'x') + "\n");
  EXPECT_FALSE(doc_.OnOpenDocument(first));
  EXPECT_EQ(doc_.GetLastError(),
            "Opening '" + first + "' was cancelled: line 1 has more than 80 characters.");
  const std::string afterMessage =
      Write("message.txt", "/one\nMessage: m\n" + std::string(81, 'x') + "\n");
  EXPECT_FALSE(doc_.OnOpenDocument(afterMessage));
  EXPECT_EQ(doc_.GetLastError(),
            "Opening '" + afterMessage + "' was cancelled: line 3 has more than 80 characters.");
  EXPECT_EQ(no_.questions,
            (Lines{LongLineQuestion(3), LongLineQuestion(1), LongLineQuestion(3)}));
  EXPECT_EQ(doc_.GetLines(), kGood);
  EXPECT_TRUE(view_.updates.empty());
}

TEST_F(DocumentFileTest, MessageLinesAreSkippedWhateverTheirLength) {
  auto row = [](const std::string& x, const std::string& ei) {
    return " " + x + std::string(10 - x.size(), ' ') + ei;
  };
  const std::string path = Write(
      "messages.txt", "/Title\nMessage: " + std::string(500, 'm') + "\nmessage: " +
                          std::string(80, 'l') + "\nUNITS: METRIC\nMEMBER PROPERTIES\nMessage:\n" +
                          row("0", "2500") + "\nMessage: " + std::string(100, 'n') + "\n" +
                          row("4", "") + "\nMessage: x");
  ASSERT_TRUE(doc_.OnOpenDocument(path)) << doc_.GetLastError();
  // The lower-case line is an ordinary line, the file's line 3; a "Message:" line ended by the
  // end of the file instead of a line feed is an ordinary line too.
  EXPECT_EQ(yes_.questions, Lines{LongLineQuestion(3)});
  EXPECT_EQ(doc_.GetLines(), (Lines{"File Format:3.0", "/Title", "Units: Metric;",
                                 "Member Property: X = 0; E = 25000.000000; I = 1;",
                                 "Member Property: X = 4; E = 25000.000000; I = 1;",
                                 "Member Property: X = ESSAGE: X; E = 25000.000000; I = 1;"}));

  // A "Message:" line in front of the header of a current-format file is skipped as well.
  view_.updates.clear();
  ASSERT_TRUE(doc_.OnOpenDocument(
      Write("current.spn", "Message: " + std::string(200, 'z') + "\n" + WriteModelFile(kGood))));
  EXPECT_EQ(doc_.GetLines(), kGood);
  EXPECT_EQ(doc_.IsConverted(), 0);
  EXPECT_EQ(yes_.questions.size(), 1u);
}

TEST_F(DocumentFileTest, ReadLineResults) {
  struct Case {
    std::string bytes;
    CSPLX_30Doc::ReadResult result;
    std::string line;
    int lineNumber;
    uint8_t cancelled;
  };
  const Case cases[] = {
      {"abc\ndef", CSPLX_30Doc::kLineComplete, "abc", 1, 0},
      {"abc", CSPLX_30Doc::kStop, "abc", 1, 0},
      {"", CSPLX_30Doc::kStop, "", 1, 0},
      // The line read in place of a "Message:" line is complete even at the end of the file,
      {"Message: a\nlast", CSPLX_30Doc::kLineComplete, "last", 2, 0},
      {"Message: a\nMessage: b\n", CSPLX_30Doc::kLineComplete, "", 3, 0},
      // but a cancelled read stays cancelled.
      {"Message: a\n" + std::string(81, 'x') + "\n", CSPLX_30Doc::kStop, "", 2, 1},
      {std::string(81, 'x'), CSPLX_30Doc::kStop, "", 1, 1},
  };
  for (const Case& c : cases) {
    CSPLX_30Doc doc;  // no line read yet
    doc.SetPrompter(&no_);
    ByteStream stream(c.bytes);
    std::string line = "old";
    EXPECT_EQ(doc.ReadLine(stream, line), c.result) << c.bytes;
    if (!c.cancelled) {
      EXPECT_EQ(line, c.line) << c.bytes;
    }
    EXPECT_EQ(doc.GetLineNumber(), c.lineNumber) << c.bytes;
    EXPECT_EQ(doc.IsReadCancelled(), c.cancelled) << c.bytes;
  }

  // Hence a file ending in a "Message:" line reads one more empty line at its end.
  doc_.SetPrompter(&yes_);
  ASSERT_TRUE(doc_.OnOpenDocument(Write("trailing.txt", "/a\nMessage: m\n")));
  EXPECT_EQ(doc_.GetLines(), (Lines{"File Format:3.0", "/a", "/", "/", "Units: Consistent;"}));
}

TEST_F(DocumentFileTest, CarriageReturnsAreIgnored) {
  ASSERT_TRUE(doc_.OnOpenDocument(Write(
      "crlf.spn", "Spanlab File Version = 3.0\r\n" + WriteModelFile(kGood).substr(27))));
  EXPECT_EQ(doc_.GetLines(), kGood);
  EXPECT_EQ(doc_.IsConverted(), 0);

  // 85 bytes, 80 characters: no question.
  ASSERT_TRUE(doc_.OnOpenDocument(
      Write("crlf.txt", "/a\r\rb\r\n/" + std::string(79, 'c') + "\r\r\r\r\r\n\r\nUNITS: ENGLISH\r")));
  EXPECT_TRUE(yes_.questions.empty());
  EXPECT_EQ(doc_.GetLines(), (Lines{"File Format:3.0", "/ab", "/" + std::string(79, 'c'), "/",
                                 "Units: English;"}));
}

TEST_F(DocumentFileTest, EmptyFileIsAnOlderFileWithTwoEmptyLines) {
  ASSERT_TRUE(doc_.OnOpenDocument(Write("empty.spn", "")));
  EXPECT_EQ(doc_.GetLines(), (Lines{"File Format:3.0", "/", "/", "Units: Consistent;"}));
  EXPECT_EQ(yes_.notices, Lines{kNotice});
  EXPECT_TRUE(yes_.questions.empty());
  EXPECT_EQ(doc_.IsConverted(), 1);
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_TRUE(doc_.IsCommandEnabled(kCommandSave));
  EXPECT_EQ(view_.updates, (std::vector<Update>{{nullptr, kHintLines, 4}}));

  // The header without its line feed is not the current format either.
  ASSERT_TRUE(doc_.OnOpenDocument(Write("bare.spn", "Spanlab File Version = 3.0")));
  EXPECT_EQ(doc_.GetLines(), (Lines{"File Format:3.0", "Units: Consistent;"}));
  EXPECT_EQ(doc_.IsConverted(), 1);
  EXPECT_EQ(yes_.notices.size(), 2u);
}

TEST_F(DocumentFileTest, PreviewAsksNothingAndConvertsNothing) {
  doc_.SetInteractive(0);
  const std::string old = "/t\nUNITS: ENGLISH\n" + std::string(95, 'x') + "\nPOINT LOADS\n";
  ASSERT_TRUE(doc_.OnOpenDocument(Write("old.txt", old))) << doc_.GetLastError();
  EXPECT_TRUE(doc_.GetLines().empty());
  EXPECT_EQ(doc_.IsConverted(), 1);
  EXPECT_EQ(view_.updates, (std::vector<Update>{{nullptr, kHintLines, 0}}));

  ASSERT_TRUE(doc_.OnOpenDocument(Write("good.spn", WriteModelFile(kGood))));
  EXPECT_EQ(doc_.GetLines(), kGood);
  EXPECT_EQ(doc_.IsConverted(), 0);

  const std::string first = Write("first.txt", std::string(95, 'x') + "\n");
  EXPECT_FALSE(doc_.OnOpenDocument(first));
  EXPECT_EQ(doc_.GetLastError(),
            "Opening '" + first + "' was cancelled: line 1 has more than 80 characters.");
  EXPECT_EQ(doc_.GetLines(), kGood);
  EXPECT_TRUE(yes_.questions.empty());
  EXPECT_TRUE(yes_.notices.empty());
}

TEST_F(DocumentFileTest, SaveAndLoadRoundTrip) {
  Lines lines{"File Format:3.0", "/" + std::string(300, 'w'), "", "Message: kept", "Units: Metric;"};
  doc_.SetLines(nullptr, lines);
  const std::string path = dir_ + "/saved.spn";
  ASSERT_TRUE(doc_.OnSaveDocument(path)) << doc_.GetLastError();
  EXPECT_FALSE(doc_.IsModified());
  EXPECT_EQ(doc_.GetPathName(), path);
  EXPECT_EQ(doc_.GetTitle(), "saved.spn");
  EXPECT_EQ(Contents(path), WriteModelFile(lines));

  CSPLX_30Doc other;
  ASSERT_TRUE(other.OnOpenDocument(path)) << other.GetLastError();
  EXPECT_EQ(other.GetLines(), lines);

  // Saving again replaces the file and leaves nothing else in the folder.
  lines.pop_back();
  doc_.SetLines(nullptr, lines);
  ASSERT_TRUE(doc_.OnSaveDocument(path)) << doc_.GetLastError();
  ASSERT_TRUE(other.OnOpenDocument(path)) << other.GetLastError();
  EXPECT_EQ(other.GetLines(), lines);
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"saved.spn"}));
}

TEST_F(DocumentFileTest, FailedSaveChangesNothing) {
  doc_.SetLines(nullptr, kGood);
  const std::string missing = dir_ + "/missing/model.spn";
  EXPECT_FALSE(doc_.OnSaveDocument(missing));
  EXPECT_EQ(doc_.GetLastError(), "Cannot save '" + missing + "': cannot create a file in '" +
                                     dir_ + "/missing': No such file or directory. The file on "
                                     "disk was not changed.");
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_EQ(doc_.GetPathName(), "");
  EXPECT_FALSE(fs::exists(dir_ + "/missing"));

  // The target exists but cannot be replaced: it and the folder stay as they were.
  const std::string taken = dir_ + "/taken.spn";
  fs::create_directory(taken);
  Write("taken.spn/inside", "kept");
  EXPECT_FALSE(doc_.OnSaveDocument(taken));
  EXPECT_EQ(doc_.GetLastError(),
            "Cannot save '" + taken + "': Is a directory. The file on disk was not changed.");
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"taken.spn"}));
  EXPECT_EQ(Names(taken), (std::set<std::string>{"inside"}));
  EXPECT_EQ(Contents(taken + "/inside"), "kept");
}

TEST_F(DocumentFileTest, SaveAcceptsEveryValidFileName) {
  // 255 bytes is the longest name the usual Linux file systems allow.
  const std::string path = dir_ + "/" + std::string(251, 'n') + ".spn";
  doc_.SetLines(nullptr, kGood);
  ASSERT_TRUE(doc_.OnSaveDocument(path)) << doc_.GetLastError();
  EXPECT_EQ(Contents(path), WriteModelFile(kGood));
}

TEST_F(DocumentFileTest, SaveThroughASymbolicLinkWritesTheFileItNames) {
  fs::create_directory(dir_ + "/models");
  const std::string real = Write("models/real.spn", "old");
  const std::string link = dir_ + "/link.spn";
  fs::create_symlink(real, link);
  doc_.SetLines(nullptr, kGood);
  ASSERT_TRUE(doc_.OnSaveDocument(link)) << doc_.GetLastError();
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Contents(real), WriteModelFile(kGood));
}

TEST_F(DocumentFileTest, SetLinesAndSetMessageNotifyTheViews) {
  RecordingView tree;
  doc_.AddView(&tree);
  const Lines lines{"File Format:3.0", "Units: English;"};
  doc_.SetLines(&tree, lines);
  EXPECT_EQ(doc_.GetLines(), lines);
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_TRUE(tree.updates.empty());
  EXPECT_EQ(view_.updates, (std::vector<Update>{{&tree, kHintLines, 2}}));

  doc_.SetMessage("Support: X = 5; Disp = 0;");
  EXPECT_EQ(doc_.GetMessage(), "Support: X = 5; Disp = 0;");
  EXPECT_EQ(tree.updates, (std::vector<Update>{{nullptr, kHintMessage, 2}}));
  EXPECT_EQ(view_.updates.back(), (Update{nullptr, kHintMessage, 2}));
}

TEST_F(DocumentFileTest, NewDocumentHasNoLines) {
  OpenGoodModel();
  doc_.SetModifiedFlag(true);
  ASSERT_TRUE(doc_.OnNewDocument());
  EXPECT_TRUE(doc_.GetLines().empty());
  EXPECT_FALSE(doc_.IsModified());
  EXPECT_FALSE(doc_.IsCommandEnabled(kCommandSave));
  EXPECT_EQ(doc_.GetPathName(), "");
  EXPECT_EQ(doc_.GetTitle(), "Untitled");
  EXPECT_EQ(view_.updates, (std::vector<Update>{{nullptr, kHintLines, 0}}));
}

TEST_F(DocumentFileTest, DeleteContentsKeepsTheLines) {
  doc_.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 1; I = 1;",
                  "Support: X = 10; Disp = 0;"});
  doc_.BuildItems(true);
  ASSERT_EQ(doc_.GetProperties().size(), 1u);
  doc_.DeleteContents();
  EXPECT_TRUE(doc_.GetProperties().empty());
  EXPECT_TRUE(doc_.GetSupports().empty());
  EXPECT_EQ(doc_.GetLines().size(), 3u);
}

TEST(DocumentCommandsTest, EnabledStateAndForwarding) {
  CSPLX_30Doc doc;
  const int reports[] = {kCommandPrintToClipboardText, kCommandPrintToClipboardTabbed,
                         kCommandReportToClipboard, kCommandPrintToFile};
  EXPECT_FALSE(doc.IsCommandEnabled(57603));
  EXPECT_FALSE(doc.IsCommandEnabled(57607));
  EXPECT_FALSE(doc.IsCommandEnabled(57609));
  for (int command : reports) EXPECT_TRUE(doc.IsCommandEnabled(command)) << command;
  EXPECT_FALSE(doc.ForwardCommand(57609));

  RecordingTarget results;
  doc.SetResultsView(&results);
  doc.SetModifiedFlag(true);
  EXPECT_TRUE(doc.IsCommandEnabled(57603));
  EXPECT_TRUE(doc.IsCommandEnabled(57607));
  EXPECT_TRUE(doc.IsCommandEnabled(57609));
  for (int command : {57607, 57609, 32788, 32789, 32794, 32795}) {
    EXPECT_TRUE(doc.ForwardCommand(command)) << command;
  }
  EXPECT_EQ(results.commands, (std::vector<int>{57607, 57609, 32788, 32789, 32794, 32795}));
}

}  // namespace
}  // namespace spanlab
