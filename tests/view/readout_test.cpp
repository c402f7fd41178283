// The read-out under the mouse and the picture of a beam that is a mechanism. The envelope's
// read-out is checked against the brute force it stands for: the same beam solved once for
// every arrangement of the live load, read at the same cursor.
#include "view/readout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/element_values.h"
#include "model/number_text.h"
#include "platform/recording_device_context.h"
#include "run/run_driver.h"
#include "view/diagrams.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// Fixed at 0, pinned at 30 ft, a 12 ft overhang: two live-load spans.
const Lines kTwoSpans = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 30; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 42; UStart = -1.2; UEnd = -1.2;",
    "Point Load: X = 36; PLoad = -3;",
};
const char* const kLiveLoad = "Live Load: U = -0.8; LiveFactor = 1.6; DeadMax = 1.2; DeadMin = 0.9;";

ResultsViewState Screen(ViewToggles toggles) {
  ResultsViewState state;
  state.m_cxClient = 1000;
  state.m_cyClient = 600;
  state.toggles = toggles;
  return state;
}

// The read-out's quantities: name -> the numbers of its line ("Moment max = 1, min = 2 kip ft"
// gives {1, 2}; "Moment = 3 kip ft" gives {3}).
std::map<std::string, std::vector<double>> Values(const std::string& text) {
  std::map<std::string, std::vector<double>> values;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t equals = line.find(" = ");
    if (equals == std::string::npos) continue;
    std::string name = line.substr(1, equals - 1);
    if (name.size() > 4 && name.substr(name.size() - 4) == " max") name.resize(name.size() - 4);
    std::vector<double>& v = values[name];
    v.push_back(ConvertNumber(line.substr(equals + 3)));
    if (const size_t min = line.find(", min = "); min != std::string::npos) {
      v.push_back(ConvertNumber(line.substr(min + 8)));
    }
  }
  return values;
}

// With a live-load envelope drawn, the read-out gives its two curves at the node or the sample
// between nodes read (the first at or right of the cursor): the
// largest and smallest of the four arrangements (each span with DeadMax x its loads plus the
// factored live load, or DeadMin x its loads), each solved as an ordinary model and read there
// by the exact values (at x = 0 those of the beam's start, elsewhere those left of the node).
TEST(ReadoutTest, EnvelopeGivesTheLargestAndSmallestOfEveryArrangement) {
  Lines lines = kTwoSpans;
  lines.push_back(kLiveLoad);
  CSPLX_30Doc live;
  live.SetLines(nullptr, lines);
  ASSERT_TRUE(RunModel(live).analysed);
  ASSERT_FALSE(live.GetEnvelope().empty());
  // The arrangements as plain models: the span's loads scaled, the live load added.
  const struct {
    double x0, x1;
  } spans[] = {{0, 30}, {30, 42}};
  std::vector<CSPLX_30Doc> arrangements(4);
  for (int a = 0; a < 4; ++a) {
    Lines model(kTwoSpans.begin(), kTwoSpans.begin() + 5);
    for (int s = 0; s < 2; ++s) {
      const bool loaded = a & (1 << s);
      const double dead = loaded ? 1.2 : 0.9;
      const double u = -1.2 * dead + (loaded ? -0.8 * 1.6 : 0);
      model.push_back("Uniform Load: XStart = " + FormatGeneral(spans[s].x0, 6) +
                      "; XEnd = " + FormatGeneral(spans[s].x1, 6) + "; UStart = " +
                      FormatGeneral(u, 17) + "; UEnd = " + FormatGeneral(u, 17) + ";");
      if (s == 1) model.push_back("Point Load: X = 36; PLoad = " + FormatGeneral(-3 * dead, 17) + ";");
    }
    arrangements[a].SetLines(nullptr, model);
    ASSERT_TRUE(RunModel(arrangements[a]).analysed);
    ASSERT_EQ(arrangements[a].GetAnalysis().m_nNodes, live.GetAnalysis().m_nNodes);
  }
  const ResultsViewState state = Screen({false, true, true, true, true});
  std::map<std::string, double> scale;  // the largest value of each quantity on the beam
  std::vector<std::pair<std::map<std::string, std::vector<double>>,
                        std::map<std::string, std::vector<double>>>> read;
  int atSamples = 0;
  for (int x = 150; x <= 850; x += 7) {
    const auto envelope = Values(ReadoutText(live, state, x));
    std::map<std::string, std::vector<double>> brute;
    // The node the envelope reads: the first at or right of the cursor's position.
    const CBeamAnalysis& a = live.GetAnalysis();
    const double p = (x - 150) / (700.0 / a.m_dLength);
    int32_t k = 1;
    while (k < a.m_nNodes && p - a.m_nodes[k].x >= 1e-10) ++k;
    // Or, before it, the first of the envelope's samples inside the element ending there.
    double node = a.m_nodes[k].x;
    const LiveLoadEnvelope& env = live.GetEnvelope();
    const size_t per = static_cast<size_t>(env.samplesPerElement);
    for (size_t j = (k - 2) * per; k >= 2 && j < (k - 1) * per; ++j) {
      if (env.samples[j].x >= p) {
        node = env.samples[j].x;
        ++atSamples;
        break;
      }
    }
    brute["x"] = {ConvertNumber(FormatGeneral(node / 12, 4))};
    for (const CSPLX_30Doc& doc : arrangements) {
      const BeamValues v = ValuesAt(doc.GetAnalysis(), node);  // left of a node, as drawn
      const std::pair<const char*, double> values[] = {
          {"Deflection", v.deflection}, {"Rotation", v.rotation},
          {"Moment", v.moment / 12}, {"Shear", v.shear}};
      for (const auto& [name, value] : values) {
        std::vector<double>& range = brute[name];
        if (range.empty()) range = {value, value};
        range[0] = std::max(range[0], value);
        range[1] = std::min(range[1], value);
        scale[name] = std::max(scale[name], std::fabs(value));
      }
    }
    ASSERT_EQ(envelope.size(), 5u) << x;  // x and the four quantities
    read.emplace_back(envelope, brute);
  }
  EXPECT_GT(atSamples, 20);
  for (const auto& [envelope, brute] : read) {
    EXPECT_EQ(envelope.at("x")[0], brute.at("x")[0]);
    for (const char* name : {"Deflection", "Rotation", "Moment", "Shear"}) {
      ASSERT_EQ(envelope.at(name).size(), 2u) << name;
      // Four significant digits either way.
      for (int side = 0; side < 2; ++side) {
        EXPECT_NEAR(envelope.at(name)[side], brute.at(name)[side], 1e-3 * scale[name])
            << name << " at x = " << envelope.at("x")[0];
      }
    }
  }
}

// The envelope's lines as written, and the single analysis as before with the toggle on or
// without a Live Load line.
TEST(ReadoutTest, EnvelopeLinesAndTheSingleAnalysisAsBefore) {
  Lines lines = kTwoSpans;
  lines.push_back(kLiveLoad);
  CSPLX_30Doc plain, live;
  plain.SetLines(nullptr, kTwoSpans);
  live.SetLines(nullptr, lines);
  ASSERT_TRUE(RunModel(plain).analysed);
  ASSERT_TRUE(RunModel(live).analysed);
  ResultsViewState state = Screen({false, true, true, false, false});
  // The fixed end: the beam's start, the fixing moment and the reaction, as both curves
  // begin there.
  const EnvelopeElement& first = live.GetEnvelope().elements.front();
  EXPECT_EQ(ReadoutText(live, state, 150),
            " x =      0 feet\r\n"
            " Moment max = " + FormatGeneral(first.momentStart.max / 12, 4) +
                ", min = " + FormatGeneral(first.momentStart.min / 12, 4) + " kip ft\r\n" +
                " Shear max = " + FormatGeneral(first.shearStart.max, 4) +
                ", min = " + FormatGeneral(first.shearStart.min, 4) + " kips\r\n");
  EXPECT_LT(first.momentStart.min, -1000);  // kip in: a fixing moment, not a zero
  EXPECT_GT(first.shearStart.min, 5);
  const std::string text = ReadoutText(live, state, 500);
  EXPECT_EQ(text.find(" x = "), 0u) << text;
  EXPECT_NE(text.find(" feet\r\n Moment max = "), std::string::npos) << text;
  EXPECT_NE(text.find(" kip ft\r\n Shear max = "), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 7), " kips\r\n") << text;
  EXPECT_NE(text, ReadoutText(plain, state, 500));
  ApplyToggle(state.toggles, ViewToggle::kSingleAnalysis);
  for (int x = 150; x <= 850; x += 50) {
    EXPECT_EQ(ReadoutText(live, state, x), ReadoutText(plain, state, x)) << x;
  }
  // The picture draws the same choice the read-out reads.
  EXPECT_FALSE(ShowsEnvelope(live.GetEnvelope(), state.toggles));
  EXPECT_FALSE(ShowsEnvelope(plain.GetEnvelope(), Screen({}).toggles));
  EXPECT_TRUE(ShowsEnvelope(live.GetEnvelope(), Screen({}).toggles));
}

// One pin: the beam turns about it. The view draws the beam, its support and its load and the
// notice, nothing of the stopped solution (its fixed-end shears make a sawtooth), and reads out
// nothing; the run log keeps its A3 line.
TEST(MechanismTest, ViewShowsTheBeamAndTheNoticeAndReadsNothing) {
  const Lines lines = {"File Format:3.0", "Units:English;",
                       "Member Property: X = 0; E = 29000; I = 448;",
                       "Support: X = 0; Disp = 0;",
                       "Uniform Load: XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;"};
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, lines);
  const RunLog log = RunModel(doc);
  ASSERT_NE(log.text.find("Error A3 - "), std::string::npos) << log.text;
  ASSERT_TRUE(StoppedAsMechanism(doc.GetAnalysis()));
  ASSERT_GT(doc.GetAnalysis().m_nNodes, 0) << "the stopped solution's tables are there";

  ResultsViewState bare = Screen({});
  RecordingDeviceContext beamOnly;
  DrawBeamPicture(beamOnly, ScreenFrame(1000, 600, doc.GetBeamLength()), doc.GetItems());
  for (const ViewToggles& toggles :
       {ViewToggles{}, ViewToggles{false, true, true, true, true}, ViewToggles{true}}) {
    ResultsViewState state = Screen(toggles);
    state.readoutX = 500;
    RecordingDeviceContext dc;
    PaintResultsView(dc, doc, state);
    EXPECT_EQ(dc.strokes, beamOnly.strokes);
    EXPECT_EQ(dc.shapes.size(), beamOnly.shapes.size());
    EXPECT_TRUE(dc.ellipses.empty());
    ASSERT_EQ(dc.texts.size(), beamOnly.texts.size() + 1);
    EXPECT_EQ(dc.texts.back().text, kMechanismNotice);
    EXPECT_EQ(dc.texts.back().x, 5);
    EXPECT_EQ(dc.texts.back().y, 5);
    EXPECT_EQ(dc.texts.back().align, kAlignLeft | kAlignTop);
    for (int x = 140; x <= 860; x += 20) {
      EXPECT_EQ(ReadoutText(doc, state, x), "");
      EXPECT_EQ(ReadoutMarkX(doc, state, x), -1);
    }
  }
  // A stable beam: no notice.
  CSPLX_30Doc stable;
  Lines fixed = lines;
  fixed[3] = "Support: X = 0; Disp = 0; Rotation = 0;";
  stable.SetLines(nullptr, fixed);
  ASSERT_TRUE(RunModel(stable).analysed);
  EXPECT_FALSE(StoppedAsMechanism(stable.GetAnalysis()));
  RecordingDeviceContext dc;
  PaintResultsView(dc, stable, bare);
  for (const RecordedText& t : dc.texts) EXPECT_NE(t.text, kMechanismNotice);
}

}  // namespace
}  // namespace spanlab
