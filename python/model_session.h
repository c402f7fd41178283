// One model of the Python module: its lines in a document of its own, run once with the checks
// as the program runs them. Core only: no Python, no Qt. result_columns.h reads its results.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"
#include "run/document.h"

namespace spanlab {

class ModelSession {
 public:
  // A model of `lines`, the format line first. Fails (out empty) for more than kMaxModelLines.
  static Status FromLines(std::vector<std::string> lines, std::unique_ptr<ModelSession>& out);
  // A model read from `path`, which is read once, through the program's one file-reading path
  // (regular files only, at most FileAccess::kMaxFileBytes): a model file (.spn, or any file
  // that starts with the model file header; an older-version file is converted, and
  // `truncateLongLines` answers its question about lines of more than 80 characters), or else
  // a text file of lines as `spanlab-cli lines` writes it. Binary data is refused. Notices a
  // load gives (the conversion notice) are appended to `notices`. `readFailed` tells a file
  // that could not be read (missing, not a regular file, too large, unreadable) from one that
  // was read but holds no model.
  static Status Load(const std::string& path, bool truncateLongLines,
                     std::unique_ptr<ModelSession>& out, std::vector<std::string>& notices,
                     bool& readFailed);

  ModelSession(const ModelSession&) = delete;
  ModelSession& operator=(const ModelSession&) = delete;

  const std::vector<std::string>& Lines() const { return m_doc.GetLines(); }
  // Writes the lines as a model file; the previous file survives any failure.
  Status Save(const std::string& path);

  // The checked run of the lines (RunModel), made by the first call; every later call returns
  // it. Several threads may call it at once: they wait for the first.
  const RunLog& Run();

  // ---- After Run() ----
  // The run left results that can be read: the analysis ran to its end (no error, or A2, whose
  // linear results stand).
  bool HasResults() const;
  // The analysis or the live-load envelope reported an error (an A line).
  bool AnalysisFailed() const;
  const CSPLX_30Doc& Doc() const { return m_doc; }

 private:
  ModelSession() = default;

  CSPLX_30Doc m_doc;  // no runner: lines are stored, and Run() runs them once
  std::mutex m_mutex;
  std::optional<RunLog> m_run;
};

}  // namespace spanlab
