// A session's document never has a runner: its lines are stored when it is made, and Run()
// runs them once with RunModel, the checked run of the window, under the session's mutex. The
// binding releases the interpreter lock around Run() only; every read of the finished run
// (result_columns.h) happens with the lock held, so that no two threads read one analysis at
// once (its search hint and reader count are plain members).
//
// A file is read once: the bytes that decided whether it is a model file are the bytes the
// document loads (as `spanlab-cli results` does).
#include "python/model_session.h"

#include "cli/commands.h"
#include "model/model_file.h"
#include "platform/file_access.h"
#include "run/run_driver.h"

namespace spanlab {

// ---- The session ----

Status ModelSession::FromLines(std::vector<std::string> lines, std::unique_ptr<ModelSession>& out) {
  out.reset();
  if (lines.size() > kMaxModelLines) return Status::Error(TooManyLinesMessage(lines.size()));
  std::unique_ptr<ModelSession> session(new ModelSession());
  session->m_doc.SetLines(nullptr, std::move(lines));
  out = std::move(session);
  return Status::Ok();
}

Status ModelSession::Load(const std::string& path, bool truncateLongLines,
                          std::unique_ptr<ModelSession>& out, std::vector<std::string>& notices,
                          bool& readFailed) {
  out.reset();
  std::string bytes;
  const Status read = DefaultFileAccess().ReadFile(path, bytes);
  readFailed = !read.ok();
  if (!read.ok()) return read;
  std::unique_ptr<ModelSession> session(new ModelSession());
  CSPLX_30Doc& doc = session->m_doc;
  if (LooksLikeModelFile(path, bytes)) {
    AlreadyReadFile once(path, bytes);
    RecordingPrompter prompter(truncateLongLines);
    doc.SetFileAccess(&once);
    doc.SetPrompter(&prompter);
    const bool opened = doc.OnOpenDocument(path);
    doc.SetFileAccess(nullptr);
    doc.SetPrompter(nullptr);
    if (!opened) return Status::Error(doc.GetLastError());
    notices.insert(notices.end(), prompter.notices.begin(), prompter.notices.end());
  } else {
    const Status text = CheckTextOfLines(path, bytes);
    if (!text.ok()) return text;
    std::vector<std::string> lines;
    const Status split = SplitTextLines(bytes, lines);
    if (!split.ok()) return Status::Error("Cannot open '" + path + "'. " + split.message());
    std::string().swap(bytes);
    doc.SetLines(nullptr, std::move(lines));
  }
  out = std::move(session);
  return Status::Ok();
}

Status ModelSession::Save(const std::string& path) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_doc.OnSaveDocument(path)) return Status::Error(m_doc.GetLastError());
  return Status::Ok();
}

const RunLog& ModelSession::Run() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_run) m_run = RunModel(m_doc);
  return *m_run;
}

bool ModelSession::HasResults() const {
  return m_run && m_run->errors == 0 && m_run->analysed &&
         m_doc.GetAnalysis().CanSolveLoadCases() && m_doc.GetAnalysis().m_nElements > 0;
}

bool ModelSession::AnalysisFailed() const {
  return m_doc.GetAnalysis().m_bError || m_doc.GetEnvelope().error;
}

}  // namespace spanlab
