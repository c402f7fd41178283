// The compiled part of the `spanlab` package, `spanlab._core`: a thin binding of ModelSession.
// The public names, their checks of Python types and their docstrings are in spanlab/__init__.py;
// this file converts between Python objects and the session's plain columns.
//
// Columns become numpy arrays without a copy: each vector moves into a capsule that the array
// owns. Text crosses as UTF-8; model lines use the "surrogateescape" error handler both ways,
// so a line holding bytes that are not UTF-8 (an old file's Latin-1 text) comes back to the
// same bytes, while the log and messages, which are only read, replace such bytes.
//
// The interpreter lock is released while a model runs, never while a finished run is read:
// reads of one analysis must not overlap (model_session.cpp), and the lock keeps them apart.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "model/model_file.h"
#include "python/result_columns.h"

namespace py = pybind11;

namespace spanlab {
namespace {

using SessionPtr = std::shared_ptr<ModelSession>;

py::str Text(const std::string& text, const char* errors = "replace") {
  PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), errors);
  if (!s) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

py::array_t<double> Array(std::vector<double>&& values) {
  auto* owned = new std::vector<double>(std::move(values));
  py::capsule owner(owned, [](void* p) { delete static_cast<std::vector<double>*>(p); });
  return py::array_t<double>(static_cast<py::ssize_t>(owned->size()), owned->data(), owner);
}

py::dict Dict(Columns&& columns) {
  py::dict out;
  for (auto& [name, values] : columns) out[py::str(name)] = Array(std::move(values));
  return out;
}

[[noreturn]] void Fail(const Status& status) { throw py::value_error(status.message()); }

// A file that could not be written.
[[noreturn]] void FailToWrite(const Status& status) {
  PyErr_SetString(PyExc_OSError, status.message().c_str());
  throw py::error_already_set();
}

// The lines of a Python sequence of str, each encoded as UTF-8 (surrogateescape).
// Too long a list is refused before anything is copied.
std::vector<std::string> LinesOf(const py::sequence& items) {
  if (items.size() > kMaxModelLines) throw py::value_error(TooManyLinesMessage(items.size()));
  std::vector<std::string> lines;
  lines.reserve(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    PyObject* item = PySequence_GetItem(items.ptr(), static_cast<Py_ssize_t>(i));
    if (!item) throw py::error_already_set();
    const py::object line = py::reinterpret_steal<py::object>(item);
    if (!PyUnicode_Check(line.ptr())) {
      throw py::type_error("line " + std::to_string(i) + " is a " +
                           std::string(Py_TYPE(line.ptr())->tp_name) +
                           ", not a str: give the model lines as strings");
    }
    PyObject* bytes = PyUnicode_AsEncodedString(line.ptr(), "utf-8", "surrogateescape");
    if (!bytes) {
      PyErr_Clear();
      throw py::value_error("line " + std::to_string(i) +
                            " holds characters that UTF-8 cannot encode (lone surrogates)");
    }
    lines.emplace_back(PyBytes_AS_STRING(bytes), static_cast<size_t>(PyBytes_GET_SIZE(bytes)));
    Py_DECREF(bytes);
  }
  return lines;
}

SessionPtr FromLines(const py::sequence& items) {
  std::vector<std::string> lines = LinesOf(items);
  std::unique_ptr<ModelSession> session;
  const Status made = ModelSession::FromLines(std::move(lines), session);
  if (!made.ok()) Fail(made);
  return SessionPtr(std::move(session));
}

// (session or None, message, whether the file itself could not be read, notices)
py::tuple Load(const py::bytes& path, bool truncateLongLines) {
  std::unique_ptr<ModelSession> session;
  std::vector<std::string> notices;
  const std::string name = path;
  bool readFailed = false;
  Status loaded;
  {
    py::gil_scoped_release unlocked;
    loaded = ModelSession::Load(name, truncateLongLines, session, notices, readFailed);
  }
  py::list texts;
  for (const std::string& notice : notices) texts.append(Text(notice));
  if (!loaded.ok()) return py::make_tuple(py::none(), Text(loaded.message()), readFailed, texts);
  return py::make_tuple(SessionPtr(std::move(session)), py::str(), false, texts);
}

py::list Lines(const ModelSession& session) {
  py::list out;
  for (const std::string& line : session.Lines()) out.append(Text(line, "surrogateescape"));
  return out;
}

void Save(ModelSession& session, const py::bytes& path) {
  const std::string name = path;
  Status saved;
  {
    py::gil_scoped_release unlocked;
    saved = session.Save(name);
  }
  if (!saved.ok()) FailToWrite(saved);
}

// {log, errors, warnings, analysed, has_results, analysis_failed, nodes (a dict of arrays,
// with results only)}
py::dict Run(ModelSession& session) {
  RunLog log;
  {
    py::gil_scoped_release unlocked;
    log = session.Run();
  }
  const bool hasResults = session.HasResults();
  Columns nodes;
  if (hasResults) nodes = NodeColumns(session);
  py::dict out;
  out["log"] = Text(WithLineFeeds(log.text));
  out["errors"] = log.errors;
  out["warnings"] = log.warnings;
  out["analysed"] = log.analysed;
  out["has_results"] = hasResults;
  out["analysis_failed"] = session.AnalysisFailed();
  out["nodes"] = hasResults ? py::object(Dict(std::move(nodes))) : py::object(py::none());
  return out;
}

// Every reader below needs a run with results; the Python layer calls them only then.
const ModelSession& WithResults(const ModelSession& session) {
  if (!session.HasResults()) throw py::value_error("the model has no results: run it first");
  return session;
}

py::dict Reactions(const ModelSession& session) {
  return Dict(ReactionColumns(WithResults(session)));
}

py::dict ExtremesDict(const ModelSession& session) {
  py::dict out;
  for (const NamedExtreme& e : Extremes(WithResults(session))) {
    out[py::str(e.name)] = py::make_tuple(e.value, e.x);
  }
  return out;
}

py::dict ValuesAt(const ModelSession& session,
                  const py::array_t<double, py::array::c_style | py::array::forcecast>& x) {
  const std::vector<double> positions(x.data(), x.data() + x.size());
  Columns values;
  const Status ok = ValuesAlong(WithResults(session), positions, values);
  if (!ok.ok()) Fail(ok);
  return Dict(std::move(values));
}

py::dict Envelope(const ModelSession& session) {
  EnvelopeTables tables;
  const Status ok = EnvelopeOf(WithResults(session), tables);
  if (!ok.ok()) Fail(ok);
  py::dict extremes;
  for (EnvelopeExtremeRow& row : tables.extremes) {
    py::dict e;
    e["value"] = row.value;
    e["x"] = row.x;
    e["spansOnMax"] = py::cast(row.spansOnMax);
    extremes[py::str(row.name)] = e;
  }
  py::dict out;
  out["spans"] = Dict(std::move(tables.spans));
  out["nodes"] = Dict(std::move(tables.nodes));
  out["elements"] = Dict(std::move(tables.elements));
  out["extremes"] = extremes;
  return out;
}

py::dict Influence(const ModelSession& session, const std::string& of, double at) {
  double atNode = 0;
  Columns points;
  const Status ok = InfluenceOf(WithResults(session), of, at, atNode, points);
  if (!ok.ok()) Fail(ok);
  py::dict out;
  out["of"] = of;
  out["at"] = atNode;
  out["points"] = Dict(std::move(points));
  return out;
}

py::tuple Units(const ModelSession& session) {
  const int units = session.Doc().GetUnits();
  py::dict labels;
  for (const auto& [name, label] : DisplayLabels(units)) labels[py::str(name)] = label;
  return py::make_tuple(UnitSystemName(units), labels);
}

void SaveCsv(const ModelSession& session, const py::bytes& path) {
  const Status saved = SaveResultsCsv(WithResults(session), std::string(path));
  if (!saved.ok()) FailToWrite(saved);
}

}  // namespace
}  // namespace spanlab

PYBIND11_MODULE(_core, m) {
  using namespace spanlab;
  m.doc() = "The compiled core of the spanlab package (use the names of spanlab itself).";
  py::class_<ModelSession, SessionPtr>(m, "Session")
      .def_static("from_lines", &FromLines)
      .def("lines", &Lines)
      .def("save", &Save)
      .def("run", &Run)
      .def("reactions", &Reactions)
      .def("extremes", &ExtremesDict)
      .def("values_at", &ValuesAt)
      .def("envelope", &Envelope)
      .def("influence", &Influence)
      .def("units", &Units)
      .def("results_json", [](const ModelSession& s) { return ResultsJson(WithResults(s)); })
      .def("save_csv", &SaveCsv);
  m.def("load", &Load);
  m.attr("max_model_lines") = kMaxModelLines;
}
