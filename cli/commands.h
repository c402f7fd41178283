// What every spanlab-cli command shares: the options the command line sets, the exit statuses,
// questions answered from the command line, loading a model and writing standard output.
//
// Used by the program itself (the text commands) and by the picture library (plot, print), so
// nothing here may use Qt.
#pragma once

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/progress_line.h"
#include "platform/prompt.h"
#include "report/print_options.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {

// Exit status: 0 the run found no error; 1 the run counted errors or the analysis failed;
// 2 the command could not run (bad arguments, unreadable, damaged or unwritable file);
// 3 (`checks` only) the model is sound but some design check is exceeded.
constexpr int kExitClean = 0;
constexpr int kExitModelErrors = 1;
constexpr int kExitCannotRun = 2;
constexpr int kExitChecksExceeded = 3;

// Everything the command line sets, for every command. It crosses from the program into the
// picture library: a change of its members changes kPictureLibraryInterface (picture_library.h).
struct Options {
  std::string input;
  std::string output;
  std::string format = "json";
  bool truncate = false;
  bool input_report = false;
  bool summary_report = false;
  bool details_report = false;
  bool tab_details = false;
  int points = 100;
  std::string size = "1000x600";
  std::string show;
  std::string select;
  bool diagrams_report = false;
  std::string paper = "a4";
  bool landscape = false;
};

// Questions are answered from the command line; what the window would show goes to stderr.
class CommandLinePrompter : public Prompter {
 public:
  explicit CommandLinePrompter(bool truncateLongLines) : truncate_(truncateLongLines) {}
  bool AskYesNo(const std::string& text, int) override {
    std::cerr << text << (truncate_ ? " Yes (--truncate-long-lines)\n"
                                    : " No (use --truncate-long-lines to answer Yes)\n");
    return truncate_;
  }
  void Notify(const std::string& text) override { std::cerr << text << "\n"; }

 private:
  bool truncate_;
};

// Prints "spanlab-cli: MESSAGE" to stderr; returns kExitCannotRun.
int CannotRun(const std::string& message);

// A text file of model lines (what `lines` writes and `import` reads) holds one line a line,
// each ended by a line feed. A model line that holds a line feed, ends in a carriage return
// or begins with a backslash would not come back as it was; it is written escaped instead: a
// backslash, then the line with "\\" for each backslash, "\n" for each line feed and "\r" for
// each carriage return.

// The line as the text file holds it, without its line feed.
std::string TextFileLine(const std::string& line);

// The lines of a text file of lines: split at line feeds, a carriage return before a line feed
// dropped, a final line without its line feed kept, and a line that begins with a backslash
// read back as TextFileLine wrote it (a backslash before any other character stays as it is).
// Fails, leaving `lines` empty, when there would be more than kMaxModelLines.
Status SplitTextLines(const std::string& text, std::vector<std::string>& lines);

// Whether `bytes` can be read as a text file of lines: Ok, or an error naming what the file is
// instead, for the file `path`. A file that begins with the model file header is a model file;
// a file of which more than a third of the bytes are control characters (other than tab, line
// feed, carriage return and form feed) or, unless it is valid UTF-8, bytes above 0x7F holds
// binary data (random bytes, a picture, a program). A text file with a stray control
// character here and there is text: its line gets a format error when checked.
Status CheckTextOfLines(const std::string& path, std::string_view bytes);

// The number `text` states as a position on the command line: decimal digits with an optional
// sign, decimal point and exponent. False for an empty text, other text, hexadecimal, "nan",
// "inf" and a number beyond the range of a double.
bool ParsePosition(const std::string& text, double& value);

// Opens a model file as the program's document does, `runner` (optional) running its lines;
// false after a message on stderr.
bool OpenModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
               LinesRunner* runner = nullptr);

// kExitClean when the run counted no error and the analysis, its live-load envelope and its
// load combinations succeeded, else kExitModelErrors.
int ExitStatus(const RunLog& run, const CSPLX_30Doc& doc);

// For commands that read results of a checked model: kExitClean when its run found no error
// and `ready` (what the command reads is there); else kExitModelErrors after the run log on
// stderr and, when the model is sound, "spanlab-cli: " and `missing`.
int SoundModel(const CSPLX_30Doc& doc, bool ready, const char* missing);

// The text with every CR LF turned into LF.
std::string WithLineFeeds(const std::string& text);

// Writes the text to stdout: kExitClean, or kExitCannotRun after a message.
int WriteStdout(const std::string& text);

// Flushes what was written to std::cout: kExitClean when all of it was written, or
// kExitCannotRun after a message.
int FlushStdout();

enum class Loaded { kFailed, kModelFile, kLinesFile };

// Loads FILE into `doc` and runs it: a model file as the program opens it (run by `modelRun`),
// any other file as plain text lines (run by `linesRun`). kFailed after a message when that is
// not possible.
Loaded LoadAnyModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
                    LinesRunner& modelRun, LinesRunner& linesRun);

// A model file or plain file of lines, loaded and run with the checks (report, plot, print).
struct CheckedModel {
  explicit CheckedModel(bool truncate) : prompter(truncate) {}
  // False after a message when FILE cannot be loaded.
  bool Load(const std::string& path) {
    return LoadAnyModel(doc, prompter, path, runner, runner) != Loaded::kFailed;
  }
  CommandLinePrompter prompter;
  ProgressLine progress;  // the envelope's progress on a terminal
  ModelRunner runner{ModelRunner::Mode::kChecked, progress.Callback()};
  CSPLX_30Doc doc;  // last: goes before the runner and prompter it points to
};

// The print options the report flags choose; without any flag the defaults.
PrintOptions OptionsFromFlags(const Options& o);

}  // namespace spanlab
