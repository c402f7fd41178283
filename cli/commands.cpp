#include "cli/commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "model/line_text.h"
#include "model/model_file.h"
#include "platform/file_access.h"

namespace spanlab {

int CannotRun(const std::string& message) {
  std::cerr << "spanlab-cli: " << message << "\n";
  return kExitCannotRun;
}

std::string TextFileLine(const std::string& line) {
  const bool plain = line.find('\n') == std::string::npos &&
                     (line.empty() || (line.back() != '\r' && line.front() != '\\'));
  if (plain) return line;
  std::string out = "\\";
  out.reserve(line.size() + 8);
  for (const char c : line) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out.push_back(c);
  }
  return out;
}

namespace {

// The model line that an escaped text line (without its leading backslash) stands for.
std::string Unescaped(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] != '\\' || (next != '\\' && next != 'n' && next != 'r')) {
      line.push_back(text[i]);
      continue;
    }
    line.push_back(next == 'n' ? '\n' : next == 'r' ? '\r' : '\\');
    ++i;
  }
  return line;
}

}  // namespace

Status SplitTextLines(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  // Counted first: the list is allocated once, at its size (a file of line feeds alone is a
  // list of empty strings, 32 bytes each).
  const size_t count = CountTextLines(text);
  if (count > kMaxModelLines) return Status::Error(TooManyLinesMessage(count));
  lines.reserve(count);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    const std::string_view line(text.data() + start, stop - start);
    if (!line.empty() && line.front() == '\\') lines.push_back(Unescaped(line.substr(1)));
    else lines.emplace_back(line);
    start = end + 1;
  }
  return Status::Ok();
}

namespace {

bool IsControlByte(unsigned char b) {
  return (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f') || b == 0x7F;
}

}  // namespace

Status CheckTextOfLines(const std::string& path, std::string_view bytes) {
  const std::string header = std::string(kModelFileHeader) + "\n";
  if (bytes.substr(0, header.size()) == header) {
    return Status::Error("'" + path + "' is a model file, not a text file of lines: use it as "
                         "it is, or list its lines with 'spanlab-cli lines " + path + "'.");
  }
  // The share of bytes that text does not hold (the rule of thumb of Perl's -B test).
  const bool utf8 = IsValidUtf8(bytes);
  size_t odd = 0;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (IsControlByte(b) || (b >= 0x80 && !utf8)) ++odd;
  }
  if (odd * 3 > bytes.size()) {
    return Status::Error("'" + path + "' holds binary data, not text (" + std::to_string(odd) +
                         " of its " + std::to_string(bytes.size()) +
                         " bytes are not text): give a text file with one model line a line, "
                         "as 'spanlab-cli lines' writes it.");
  }
  return Status::Ok();
}

bool ParsePosition(const std::string& text, double& value) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+') return false;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, std::chars_format::general);
  return error == std::errc() && stop == end && std::isfinite(value);
}

bool OpenModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
               LinesRunner* runner) {
  doc.SetPrompter(&prompter);
  doc.SetRunner(runner);
  if (doc.OnOpenDocument(path)) return true;
  std::cerr << "spanlab-cli: " << doc.GetLastError() << "\n";
  return false;
}

int ExitStatus(const RunLog& run, const CSPLX_30Doc& doc) {
  return run.errors == 0 && !doc.GetAnalysis().m_bError && !doc.GetEnvelope().error &&
                 !doc.GetDesign().error
             ? kExitClean
             : kExitModelErrors;
}

std::string WithLineFeeds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

int WriteStdout(const std::string& text) {
  std::cout << text;
  return FlushStdout();
}

int FlushStdout() {
  std::cout.flush();
  if (!std::cout) return CannotRun("cannot write to standard output");
  return kExitClean;
}

Loaded LoadAnyModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
                    LinesRunner& modelRun, LinesRunner& linesRun) {
  std::string bytes;
  const Status read = DefaultFileAccess().ReadFile(path, bytes);
  if (!read.ok()) {
    CannotRun(read.message());
    return Loaded::kFailed;
  }
  if (LooksLikeModelFile(path, bytes)) {
    AlreadyReadFile once(path, bytes);
    doc.SetFileAccess(&once);
    const bool opened = OpenModel(doc, prompter, path, &modelRun);
    doc.SetFileAccess(nullptr);
    return opened ? Loaded::kModelFile : Loaded::kFailed;
  }
  std::vector<std::string> lines;
  const Status split = SplitTextLines(bytes, lines);
  if (!split.ok()) {
    CannotRun("Cannot open '" + path + "'. " + split.message());
    return Loaded::kFailed;
  }
  std::string().swap(bytes);  // the lines hold the text now
  doc.SetRunner(&linesRun);
  doc.SetLines(nullptr, std::move(lines));
  return Loaded::kLinesFile;
}

PrintOptions OptionsFromFlags(const Options& o) {
  PrintOptions options;
  options.m_nDataPoints = DataPointsChoice(o.points);
  if (o.input_report || o.diagrams_report || o.summary_report || o.details_report) {
    options.m_bPrintInput = o.input_report;
    options.m_bPrintDiagrams = o.diagrams_report;
    options.m_bPrintSummary = o.summary_report;
    options.m_bPrintDetails = o.details_report;
  }
  return options;
}

}  // namespace spanlab
