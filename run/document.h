// The model document: owns the model lines (the stored truth of a model), the item records
// built from them (with their unit system) and the analysis object that holds the results.
// What happens at every change of the lines, and in which order, is in run_driver.cpp.
//
// Update hints it sends to its views: 1 when the message text changed, 2 when the lines
// changed (a new document, every load, every SetLines) and their run is complete, 3 when the
// lines changed and their run went off the document's thread (BackgroundRunner): until hint 2
// follows, the items, results and log are still those of an earlier model and no view may
// present them as current (IsRunPending). Views own nothing of it; the tree editor and the
// results view register themselves through m_pTreeView and m_pResultsView.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/design.h"
#include "analysis/live_load.h"
#include "model/model_items.h"
#include "model/sections.h"
#include "model/units.h"
#include "platform/document.h"
#include "platform/prompt.h"

namespace spanlab {

class ByteStream;

// Update hints.
enum : long {
  kHintMessage = 1,       // m_strMessage changed
  kHintLines = 2,         // m_lines changed; the results are those of the new lines
  kHintRunStarted = 3,    // m_lines changed; their results come later, with hint 2
  kHintNoItemLine = 10,   // no line of an item section is selected
  kHintPropertyLine = 11, // 11..16: a Member Property, Moment Release, Support, Spring,
  kHintUniformLoadLine = 16,  // Point Load or Uniform Load line is selected
};

// Commands the document forwards to the results view, whichever pane has the focus.
enum : int {
  kCommandSave = 57603,
  kCommandPrint = 57607,
  kCommandPrintPreview = 57609,
  kCommandPrintToClipboardText = 32788,
  kCommandPrintToClipboardTabbed = 32789,
  kCommandReportToClipboard = 32794,
  kCommandPrintToFile = 32795,
};

// The log of the most recent run of a document's lines, as the output pane's Results box shows
// it (line ends "\r\n").
struct RunLog {
  std::string text;
  int64_t errors = 0;    // format and data errors (analysis errors set the engine's m_bError)
  int64_t warnings = 0;
  bool analysed = false;  // the analysis ran
  // The envelope's progress callback stopped the run: the log and the results are no result
  // of the lines and must not be shown.
  bool cancelled = false;
};

// What a run writes: the items built from `lines`, the analysis and the live-load envelope.
// The parts belong to whoever made the target (a document, or a run off the window's thread).
struct RunTarget {
  const std::vector<std::string>& lines;
  ModelItems& items;
  CBeamAnalysis& analysis;
  LiveLoadEnvelope& envelope;
  DesignResults& design;
};

// The complete run of a copy of the lines, made without the document (RunSnapshot in
// run_driver.h) and handed to it with CSPLX_30Doc::AdoptRun.
struct LinesRunResult {
  ModelItems items;
  std::unique_ptr<CBeamAnalysis> analysis = std::make_unique<CBeamAnalysis>();
  LiveLoadEnvelope envelope;
  DesignResults design;
  RunLog log;
};

// Where a document sends the runs it does not wait for (the window's worker thread). The
// document asks it at every change of the lines; a run it takes comes back, on the document's
// thread, through CSPLX_30Doc::AdoptRun with the generation it was started with.
class BackgroundRunner {
 public:
  virtual ~BackgroundRunner() = default;
  // Whether the run of `lines` goes off the document's thread (a model that takes long).
  virtual bool TakesRun(const std::vector<std::string>& lines) const = 0;
  // Starts the run of a copy of `lines` as `generation`, stopping the run started before if it
  // is still going: only the newest run ever reaches the document.
  virtual void StartRun(uint64_t generation, const std::vector<std::string>& lines) = 0;
  // Stops the run that is going, if any; its result is never handed back.
  virtual void CancelRun() = 0;
};

class CSPLX_30Doc;

// What a document runs on its lines each time they change, before any view hears of the change:
// the checks, the items and the analysis with its extremes (run_driver.h has the runners).
// The run writes the document's items and results; everything else only reads them.
class LinesRunner {
 public:
  virtual ~LinesRunner() = default;
  virtual RunLog Run(CSPLX_30Doc& doc) = 0;
};

// The part of the results view that receives forwarded commands.
class ResultsCommandTarget {
 public:
  virtual ~ResultsCommandTarget() = default;
  virtual void OnForwardedCommand(int command) = 0;
};

class CSPLX_30Doc : public CDocument {
 public:
  CSPLX_30Doc();
  ~CSPLX_30Doc() override;

  // ---- Lines and message ----
  // Replaces the lines, marks the document modified, runs them (SetRunner) and then sends hint 2
  // to every view but `sender` — or, when the background runner takes the run, starts it there
  // and sends hint 3 (hint 2 follows with its results, AdoptRun).
  void SetLines(CView* sender, std::vector<std::string> lines);
  // The same for a change made on the lines where they are: `edit` changes them and returns
  // true, or returns false with the lines as they were, and then nothing else happens. Returns
  // what `edit` returned. An edit of a few lines of a large model copies none of the others.
  bool EditLines(CView* sender, const std::function<bool(std::vector<std::string>&)>& edit);
  // Sets the message text and sends hint 1 to all views.
  void SetMessage(const std::string& text);

  // ---- Items (built from the lines) ----
  // Rebuilds the items from m_lines (BuildModelItems). With `build` false only empties the
  // lists and sets the length to 0; the unit system stays.
  void BuildItems(bool build);
  // The same with the flag on, from the lines already split: `split` is SplitSectionLines
  // (m_lines), which the run makes once for the format check and the items.
  void BuildItems(const std::vector<SectionLine>& split);
  void ClearItems() { m_items.ClearLists(); }
  // The label of a quantity code (1..14) in the current unit system; see UnitLabel.
  std::string GetUnitLabel(int quantity) const { return m_items.GetUnitLabel(quantity); }

  // ---- The run ----
  // Who runs the lines after every change (a new document, every load, every SetLines); the
  // views are told of the change only when that run has ended, so no view ever sees new items
  // with old results. Without a runner a change empties the items and the results. Not owned.
  void SetRunner(LinesRunner* runner) { m_pRunner = runner; }
  // The log of the run after the last change (empty without a runner).
  const RunLog& GetLastRun() const { return m_lastRun; }
  // Who runs the changes whose run should not keep the document's thread waiting (not owned;
  // nullptr: every run is made by the runner, on the spot). Only changes that the runner
  // would run go there; a change that it does not take cancels the run going.
  void SetBackgroundRunner(BackgroundRunner* runner);
  // A run of the lines went off the document's thread and has not come back: the items,
  // results, envelope and log are those of an earlier model (hint 3 said so).
  bool IsRunPending() const { return m_bRunPending; }
  // Counts the changes of the lines; the run of a change carries its count.
  uint64_t GetRunGeneration() const { return m_nGeneration; }
  // The result of the run started as `generation` (BackgroundRunner::StartRun): when it is the
  // run of the lines as they stand (no change since, not cancelled), it becomes the document's
  // items, results and log, and the views are told once (hint 2, not the view that sent the
  // change); otherwise it is dropped. Returns whether it was taken.
  bool AdoptRun(uint64_t generation, LinesRunResult&& result);
  // The document's own parts, for the run driver that writes them.
  RunTarget Target() { return {m_lines, m_items, *m_pAnalysis, m_envelope, m_design}; }

  // ---- Analysis ----
  // Runs the analysis object on the current items: Reset, SetLength(m_dBeamLength),
  // BuildNodes, BuildElements, Solve, then the extremes (in millimetres for Metric
  // deflections), and with a Live Load line the envelope over all span patterns. The items must
  // have been built. (Defined in run_driver.cpp, as a step of the run.)
  void RunAnalysis();
  // Clears the results and the envelope, so that no stale results remain after a run that found
  // errors.
  void ResetAnalysis();
  const std::vector<std::string>& GetAnalysisMessages() const;

  // ---- Framework overrides ----
  // Empties the lines and sends hint 2.
  bool OnNewDocument() override;
  // Loads the file; a converted older-version file leaves the document modified.
  bool OnOpenDocument(const std::string& path) override;
  // Deletes the item records; the lines stay.
  void DeleteContents() override;

  // ---- Forwarded commands ----
  // Whether the command is available: Save while modified, Print and Print Preview once a
  // results view has registered, the report commands always; none but Save while a run is
  // pending (they would print an earlier model's results).
  bool IsCommandEnabled(int command) const;
  // Hands the command to the registered results view; false when there is none or the
  // command is not available.
  bool ForwardCommand(int command);

  // ---- File reading steps (used by the load) ----
  enum ReadResult { kLineComplete, kStop };
  // Reads one text line (see the .cpp for the 80-character rule and "Message:" lines).
  ReadResult ReadLine(ByteStream& stream, std::string& line);
  // Reads the remaining lines of an older-version file whose first line is `first` and
  // converts them into `lines`; false when the read was cancelled (lines left empty).
  bool ConvertOldFile(ByteStream& stream, const std::string& first,
                      std::vector<std::string>& lines);

  // Where questions go (80-character rule, conversion notice). Not owned; without one every
  // question is answered No and notices are dropped.
  void SetPrompter(Prompter* prompter) { m_pPrompter = prompter; }

  // ---- Reading the document (what views, reports and the command line see) ----
  const std::vector<std::string>& GetLines() const { return m_lines; }
  const std::string& GetMessage() const { return m_strMessage; }
  // The results of the last run; valid while GetAnalysis().m_dLength > 0.
  const CBeamAnalysis& GetAnalysis() const { return *m_pAnalysis; }
  // The live-load envelope of the last run; empty without a Live Load line or without results.
  // With load combinations it is the envelope over them that the diagrams draw (DesignEnvelope).
  const LiveLoadEnvelope& GetEnvelope() const { return m_envelope; }
  // The load combinations, their envelopes and the design checks of the last run; empty
  // without Load/Service Combination, Deflection Limit and Capacity lines.
  const DesignResults& GetDesign() const { return m_design; }
  // The item records of the last run (empty after one that found format errors).
  const ModelItems& GetItems() const { return m_items; }
  double GetBeamLength() const { return m_items.m_dBeamLength; }
  int GetUnits() const { return m_items.m_nUnits; }
  const UnitFactors& GetFactors() const { return m_items.m_factors; }
  const std::vector<CUniformLoadItem>& GetUniformLoads() const { return m_items.m_uniformLoads; }
  const std::vector<CPointLoadItem>& GetPointLoads() const { return m_items.m_pointLoads; }
  const std::vector<CSpringItem>& GetSprings() const { return m_items.m_springs; }
  const std::vector<CSupportItem>& GetSupports() const { return m_items.m_supports; }
  const std::vector<CMomentReleaseItem>& GetReleases() const { return m_items.m_releases; }
  const std::vector<CMemberPropertyItem>& GetProperties() const { return m_items.m_properties; }
  // The "Live Load" lines' records, in line order (the data check allows one).
  const std::vector<CLiveLoadItem>& GetLiveLoads() const { return m_items.m_liveLoads; }
  bool IsInteractive() const { return m_bInteractive != 0; }
  // A preview's document is not interactive: it asks nothing and converts nothing.
  void SetInteractive(bool interactive) { m_bInteractive = interactive ? 1 : 0; }
  bool IsConverted() const { return m_bConverted != 0; }
  int32_t GetLineNumber() const { return m_nLineNumber; }
  bool IsReadCancelled() const { return m_bReadCancelled != 0; }

  // ---- The views that register themselves (not owned) ----
  CView* GetTreeView() const { return m_pTreeView; }
  void SetTreeView(CView* view) { m_pTreeView = view; }
  ResultsCommandTarget* GetResultsView() const { return m_pResultsView; }
  void SetResultsView(ResultsCommandTarget* view) { m_pResultsView = view; }

  static constexpr const char* kConversionNotice =
      "This file was created in a previous version of Spanlab. When saved, it will be written "
      "in the new format.\n\nThis version of Spanlab requires separate E and I values. Be sure "
      "to verify that the values of E and I are correct.";
  static constexpr int kLongLineHelpContext = 100;

 protected:
  Status LoadDocument(const std::string& bytes, const std::string& path) override;
  std::string StoreDocument() const override;
  // A model of more than kMaxModelLines lines (an older file converted into more, lines added
  // to the largest model) is not saved: no reader would open the file.
  Status CheckStorable() const override;

 private:
  std::unique_ptr<CBeamAnalysis> m_pAnalysis;  // created with the document, reused every run
  LiveLoadEnvelope m_envelope;                 // written by RunAnalysis with the results
  DesignResults m_design;                      // likewise
  CView* m_pTreeView = nullptr;                // the tree editor, once registered
  ResultsCommandTarget* m_pResultsView = nullptr;  // the results view, once registered
  std::vector<std::string> m_lines;            // the model lines, format line first
  std::string m_strMessage;                    // shown in the output pane's Data box
  uint8_t m_bInteractive = 1;                  // 0 for a preview: no questions, no conversion
  ModelItems m_items;                          // built by the run from m_lines
  uint8_t m_bConverted = 0;      // the last load converted an older-version file
  int32_t m_nLineNumber = 0;     // lines read so far in the current load
  uint8_t m_bReadCancelled = 0;  // the last read was cancelled at an over-long line

  // Runs the new lines, then tells every view but `sender` (hint 2). (Defined in
  // run_driver.cpp, where the run it starts is.)
  void LinesChanged(CView* sender);

  Prompter* m_pPrompter = nullptr;
  LinesRunner* m_pRunner = nullptr;
  RunLog m_lastRun;
  BackgroundRunner* m_pBackground = nullptr;
  uint64_t m_nGeneration = 0;       // changes of the lines so far
  bool m_bRunPending = false;       // a background run of generation m_nGeneration is going
  CView* m_pPendingSender = nullptr;  // the view that made the change being run (compared only)

  // Starts the background run of the lines as they stand, as a new generation.
  void StartBackgroundRun();
};

// What a run leaves for the reports, the read-out and the painting to read: the lines it ran,
// the items built from them, the analysis and the live-load envelope. A view of its parts,
// which must outlive it unchanged. A document converts to its own (its last run) — which is
// that of its lines only while no run is pending (CSPLX_30Doc::IsRunPending); tests make one
// from parts.
struct ModelRun {
  ModelRun(const std::vector<std::string>& runLines, const ModelItems& runItems,
           const CBeamAnalysis& runAnalysis, const LiveLoadEnvelope& runEnvelope,
           const DesignResults& runDesign = NoDesign())
      : lines(runLines),
        items(runItems),
        analysis(runAnalysis),
        envelope(runEnvelope),
        design(runDesign) {}
  ModelRun(const CSPLX_30Doc& doc)  // NOLINT(google-explicit-constructor): every reader's view
      : ModelRun(doc.GetLines(), doc.GetItems(), doc.GetAnalysis(), doc.GetEnvelope(),
                 doc.GetDesign()) {}
  const std::vector<std::string>& lines;
  const ModelItems& items;
  const CBeamAnalysis& analysis;
  const LiveLoadEnvelope& envelope;
  const DesignResults& design;

  // The design results of a model without combinations and checks.
  static const DesignResults& NoDesign() {
    static const DesignResults none;
    return none;
  }
};

}  // namespace spanlab
