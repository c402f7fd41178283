// The picture library: plot and print, the commands that draw with Qt. Built as
// spanlab-cli-pictures.so and loaded by spanlab-cli only when one of them runs (see
// picture_library.h); it exports nothing but the entry that hands out the commands.
#include <QCoreApplication>

#include <algorithm>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "analysis/beam_quantity.h"
#include "cli/commands.h"
#include "cli/picture_library.h"
#include "cli/qt_pictures.h"
#include "platform/file_access.h"
#include "report/print_options.h"
#include "run/run_driver.h"
#include "view/qt_exports.h"

namespace spanlab {
namespace {

// "1000x600" -> 1000, 600; false for anything else or sizes outside 1..20000.
bool ParseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  try {
    size_t used = 0;
    width = std::stoi(text.substr(0, x), &used);
    if (used != x) return false;
    const std::string rest = text.substr(x + 1);
    height = std::stoi(rest, &used);
    if (used != rest.size()) return false;
  } catch (const std::exception&) {
    return false;
  }
  return width >= 1 && height >= 1 && width <= 20000 && height <= 20000;
}

// "deflection,moment" or "reactions" -> the view toggles; false with a message otherwise.
bool ParseShow(const std::string& text, ViewToggles& toggles, std::string& error) {
  size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (word == "reactions") toggles.reactions = true;
    else if (const std::optional<BeamQuantity> q = BeamQuantityFromWord(word))
      toggles.Curve(*q) = true;
    else {
      error = "--show takes reactions, or any of deflection, rotation, moment, shear: '" + word + "'";
      return false;
    }
    start = end + 1;
  }
  if (toggles.reactions && toggles.AnyCurveAfter(std::nullopt)) {
    error = "--show: reactions are shown alone, not with deflection, rotation, moment or shear";
    return false;
  }
  return true;
}

int RunPlot(const Options& o) {
  ResultsViewState state;
  if (!ParseSize(o.size, state.m_cxClient, state.m_cyClient)) {
    return CannotRun("--size takes WIDTHxHEIGHT, each 1 to 20000, e.g. 1000x600: '" + o.size + "'");
  }
  std::string error;
  if (!ParseShow(o.show, state.toggles, error)) return CannotRun(error);
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  CSPLX_30Doc& doc = model.doc;
  const RunLog& run = doc.GetLastRun();
  if (!o.select.empty()) {
    const std::vector<std::string>& lines = doc.GetLines();
    if (std::find(lines.begin(), lines.end(), o.select) == lines.end()) {
      return CannotRun("--select: the model has no line '" + o.select + "'");
    }
    const long hint = SelectionHintForLine(o.select);
    if (hint == kHintNoItemLine) return CannotRun("--select: '" + o.select + "' is not an item line");
    doc.SetMessage(o.select);
    state.selection.OnHint(hint, doc.GetMessage(), doc.GetLines(), doc.GetItems());
    state.toggles.position = true;
  }
  EnsureGuiApplication();
  error = WritePicture(doc, state, o.output);
  if (!error.empty()) return CannotRun(error);
  return ExitStatus(run, doc);
}

int RunPrint(const Options& o) {
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  CSPLX_30Doc& doc = model.doc;
  const RunLog& run = doc.GetLastRun();
  PrintOptions options = OptionsFromFlags(o);
  EnsureGuiApplication();
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  const HeaderPainter header = LoadHeaderPicture(DefaultFileAccess(),
                                                 {programDir, programDir + "/../share/spanlab"});
  const std::string error = WriteReportPdf(doc, options, model.prompter, header, o.output,
                                           ReportPageLayout(o.paper == "letter", o.landscape));
  if (!error.empty()) return CannotRun(error);
  return ExitStatus(run, doc);
}

// The program has a C++ runtime of its own (it links it statically), so no exception may
// leave the library: it ends here with the message the program's main would give.
template <int (*Command)(const Options&)>
int WithoutExceptions(const Options& o) {
  try {
    return Command(o);
  } catch (const std::exception& e) {
    std::cerr << "spanlab-cli: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "spanlab-cli: unexpected failure in the picture library\n";
  }
  return kExitCannotRun;
}

const PictureCommands kCommands = {kPictureLibraryInterface, WithoutExceptions<RunPlot>,
                                   WithoutExceptions<RunPrint>};

}  // namespace
}  // namespace spanlab

extern "C" __attribute__((visibility("default"))) const spanlab::PictureCommands*
spanlab_cli_picture_commands() {
  return &spanlab::kCommands;
}
