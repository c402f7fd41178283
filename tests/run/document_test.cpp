#include "run/document.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/units.h"

namespace spanlab {
namespace {

// Builds the items of `lines`, which get the format line in front.
void Build(CSPLX_30Doc& doc, std::vector<std::string> lines) {
  lines.insert(lines.begin(), "File Format:3.0");
  doc.SetLines(nullptr, std::move(lines));
  doc.BuildItems(true);
}

size_t ItemCount(const CSPLX_30Doc& doc) {
  return doc.GetProperties().size() + doc.GetReleases().size() + doc.GetSupports().size() +
         doc.GetSprings().size() + doc.GetPointLoads().size() + doc.GetUniformLoads().size();
}

UnitFactors AllOnes() {
  UnitFactors f;
  f.fill(1.0);
  return f;
}

// Length, E, I, Disp, Rotation, VSpring, RSpring, PLoad, Moment, uniform.
const UnitFactors kEnglish = {12.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 12.0, 1.0 / 12.0};
const UnitFactors kMetric = {1.0, 1000.0, 1e-8, 0.001, 1.0, 1000.0, 0.001, 1.0, 1.0, 1.0};

TEST(FactorsForUnitsTest, EachSystem) {
  EXPECT_EQ(FactorsForUnits(kUnitsEnglish), kEnglish);
  EXPECT_EQ(FactorsForUnits(kUnitsMetric), kMetric);
  EXPECT_EQ(FactorsForUnits(kUnitsConsistent), AllOnes());
  EXPECT_EQ(FactorsForUnits(kUnitsUserDefined), AllOnes());
}

TEST(UnitLabelTest, EveryCodeInEverySystem) {
  const char* const english[] = {"kips",       "kip ft", "radians", "inches",  "feet",
                                 "ksi",        "in^4",   "inches",  "radians", "kip/inch",
                                 "kip in/rad", "kips",   "kip ft",  "kip/ft"};
  const char* const metric[] = {"kN", "kN m",    "radians", "mm",        "m",  "MPa",  "cm^4",
                                "mm", "radians", "kN/mm",   "kN mm/rad", "kN", "kN m", "kN/m"};
  ModelItems items;
  for (int units : {kUnitsEnglish, kUnitsMetric, kUnitsConsistent, kUnitsUserDefined}) {
    items.m_nUnits = units;
    for (int q = 1; q <= 14; ++q) {
      std::string expected;
      if (units == kUnitsEnglish) expected = english[q - 1];
      if (units == kUnitsMetric) expected = metric[q - 1];
      if (q == kQuantityRotation) expected = "radians";
      EXPECT_EQ(items.GetUnitLabel(q), expected) << "units " << units << " code " << q;
      EXPECT_EQ(UnitLabel(units, q), expected) << "units " << units << " code " << q;
    }
    for (int q : {-1, 0, 15}) EXPECT_EQ(items.GetUnitLabel(q), "") << "units " << units;
  }
}

TEST(BuildItemsTest, ModelWithoutUnitsLineIsConsistent) {
  CSPLX_30Doc doc;
  Build(doc, {"Units: English;", "Support: X = 10; Disp = 0;"});
  ASSERT_EQ(doc.GetUnits(), kUnitsEnglish);

  // Every build starts over in the Consistent system.
  Build(doc, {"/Simply supported", "Member Property: X = 0; E = 29000; I = 510;",
              "Support: X = 0; Disp = 0;", "Support: X = 30; Disp = 0;",
              "Point Load: X = 15; PLoad = 10; Moment = 2;"});
  EXPECT_EQ(doc.GetUnits(), kUnitsConsistent);
  EXPECT_EQ(doc.GetFactors(), AllOnes());
  EXPECT_EQ(doc.GetProperties()[0].m_dE, 29000.0);
  EXPECT_EQ(doc.GetSupports()[1].m_dX, 30.0);
  EXPECT_EQ(doc.GetPointLoads()[0].m_dMoment, 2.0);
  EXPECT_EQ(doc.GetBeamLength(), 30.0);
  for (int q = 1; q <= 14; ++q) {
    EXPECT_EQ(doc.GetUnitLabel(q), q == kQuantityRotation ? "radians" : "") << "code " << q;
  }
}

TEST(BuildItemsTest, UnitsNamesCompareExactly) {
  struct Case {
    std::vector<std::string> lines;
    int units;
  };
  const Case cases[] = {
      {{"Units:English;"}, kUnitsEnglish},
      {{"Units: English;"}, kUnitsEnglish},
      {{"Units: Metric;"}, kUnitsMetric},
      {{"Units: User Defined;"}, kUnitsUserDefined},
      {{"Units: english;"}, kUnitsConsistent},
      {{"Units: Metric;", "Units: english;"}, kUnitsMetric},   // unknown name: no change
      {{"Units: Metric;", "Units: English"}, kUnitsMetric},    // the name lacks its ";"
      {{"Units: Metric;", "Units : English;"}, kUnitsMetric},  // section "Units " is not "Units"
      {{"Units: Metric;", "Units: Consistent;"}, kUnitsConsistent},
  };
  for (const Case& c : cases) {
    CSPLX_30Doc doc;
    Build(doc, c.lines);
    EXPECT_EQ(doc.GetUnits(), c.units) << c.lines.back();
    EXPECT_EQ(doc.GetFactors(), FactorsForUnits(c.units)) << c.lines.back();
  }
}

TEST(BuildItemsTest, UnitsLineConvertsOnlyTheLinesAfterIt) {
  CSPLX_30Doc doc;
  Build(doc, {"Member Property: X = 10; E = 29000; I = 510;", "Units: English;",
              "Member Property: X = 20; E = 29000; I = 510;", "Units: Metric;",
              "Support: X = 30; Disp = 5;"});
  ASSERT_EQ(doc.GetProperties().size(), 2u);
  EXPECT_EQ(doc.GetProperties()[0].m_dX, 10.0);
  EXPECT_EQ(doc.GetProperties()[1].m_dX, 240.0);
  ASSERT_EQ(doc.GetSupports().size(), 1u);
  EXPECT_EQ(doc.GetSupports()[0].m_dX, 30.0);
  EXPECT_DOUBLE_EQ(doc.GetSupports()[0].m_dDisp, 0.005);
  EXPECT_EQ(doc.GetBeamLength(), 240.0);
}

TEST(BuildItemsTest, PropertiesSortedByXOtherListsInLineOrder) {
  CSPLX_30Doc doc;
  Build(doc, {"Member Property: X = 20; E = 1; I = 1;", "Member Property: X = 0; E = 2; I = 1;",
              "Member Property: X = 10; E = 3; I = 1;", "Member Property: X = 10; E = 4; I = 1;",
              "Member Property: X = 0; E = 5; I = 1;", "Support: X = 20; Disp = 0;",
              "Support: X = 0; Disp = 0;", "Support: X = 10; Disp = 0;", "Moment Release: X = 8;",
              "Moment Release: X = 4;", "Point Load: X = 9; PLoad = 1;",
              "Point Load: X = 3; PLoad = 1;"});
  std::vector<double> x, e;
  for (const CMemberPropertyItem& p : doc.GetProperties()) {
    x.push_back(p.m_dX);
    e.push_back(p.m_dE);
  }
  EXPECT_EQ(x, (std::vector<double>{0, 0, 10, 10, 20}));
  EXPECT_EQ(e, (std::vector<double>{2, 5, 3, 4, 1}));  // equal X keep their line order

  ASSERT_EQ(doc.GetSupports().size(), 3u);
  EXPECT_EQ(doc.GetSupports()[0].m_dX, 20.0);
  EXPECT_EQ(doc.GetSupports()[1].m_dX, 0.0);
  EXPECT_EQ(doc.GetSupports()[2].m_dX, 10.0);
  ASSERT_EQ(doc.GetReleases().size(), 2u);
  EXPECT_EQ(doc.GetReleases()[0].m_dX, 8.0);
  ASSERT_EQ(doc.GetPointLoads().size(), 2u);
  EXPECT_EQ(doc.GetPointLoads()[0].m_dX, 9.0);
}

TEST(BuildItemsTest, SupportRestrainsOnlyWhatItGives) {
  struct Case {
    const char* line;
    double disp;
    int bDisp;
    double rotation;
    int bRotation;
  };
  const Case cases[] = {
      {"Support: X = 5; Rotation = 0;", 0, 0, 0, 1},
      {"Support: X = 5; Disp = 0.5;", 0.5, 1, 0, 0},
      {"Support: X = 5; Disp = -1; Rotation = 0.01;", -1, 1, 0.01, 1},
      {"Support: X = 5; Rotation = 0; Disp = 0;", 0, 0, 0, 1},  // "Disp" only in field 2
      {"Support: X = 5; Rotation = 0.1; Rotation = 0.2;", 0, 0, 0.2, 1},
      {"Support: X = 5;", 0, 0, 0, 0},
      {"Support: X = 5; disp = 0;", 0, 0, 0, 0},  // keys are case-sensitive
      {"Support: X = 5; Disp=0;", 0, 0, 0, 0},    // the key reads "Dis"
      {"Support: X = 5; Rotation = 0; /Disp = 0;", 0, 0, 0, 1},
      {"Support: X = 5; Disp = 0", 0, 0, 0, 0},  // unterminated field
  };
  for (const Case& c : cases) {
    CSPLX_30Doc doc;
    Build(doc, {c.line});
    ASSERT_EQ(doc.GetSupports().size(), 1u) << c.line;
    const CSupportItem& s = doc.GetSupports()[0];
    EXPECT_EQ(s.m_dX, 5.0) << c.line;
    EXPECT_EQ(s.m_dDisp, c.disp) << c.line;
    EXPECT_EQ(s.m_bDisp, c.bDisp) << c.line;
    EXPECT_EQ(s.m_dRotation, c.rotation) << c.line;
    EXPECT_EQ(s.m_bRotation, c.bRotation) << c.line;
  }
}

TEST(BuildItemsTest, SpringAndPointLoadTakeOnlyTheKeysOfTheirPlace) {
  CSPLX_30Doc doc;
  Build(doc,
        {"Spring: X = 3; VSpring = 10", "Spring: X = 3; RSpring = 7;",
         "Spring: X = 3; VSpring = 1; VSpring = 2;", "Spring: X = 3; RSpring = 1; RSpring = 2;",
         "Point Load: X = 1; Moment = 2; PLoad = 3;", "Point Load: X = 1; PLoad = 4; Moment = 5;",
         "Point Load: X = 1; pload = 6;"});
  ASSERT_EQ(doc.GetSprings().size(), 4u);
  EXPECT_EQ(doc.GetSprings()[0].m_dVSpring, 0.0);  // the field lost its ";"
  EXPECT_EQ(doc.GetSprings()[0].m_dRSpring, 0.0);
  EXPECT_EQ(doc.GetSprings()[1].m_dVSpring, 0.0);
  EXPECT_EQ(doc.GetSprings()[1].m_dRSpring, 7.0);
  EXPECT_EQ(doc.GetSprings()[2].m_dVSpring, 1.0);  // VSpring counts in field 2 only
  EXPECT_EQ(doc.GetSprings()[3].m_dRSpring, 2.0);  // a later RSpring overwrites
  ASSERT_EQ(doc.GetPointLoads().size(), 3u);
  EXPECT_EQ(doc.GetPointLoads()[0].m_dPLoad, 0.0);  // PLoad counts in field 2 only
  EXPECT_EQ(doc.GetPointLoads()[0].m_dMoment, 2.0);
  EXPECT_EQ(doc.GetPointLoads()[1].m_dPLoad, 4.0);
  EXPECT_EQ(doc.GetPointLoads()[1].m_dMoment, 5.0);
  EXPECT_EQ(doc.GetPointLoads()[2].m_dPLoad, 0.0);
}

TEST(BuildItemsTest, PositionsAndPropertiesAreReadWithoutLookingAtTheKey) {
  CSPLX_30Doc doc;
  Build(doc, {"Moment Release: X=5;", "Support: X=7; Disp = 0;",
              "Member Property: Q = 4; Z = 3; W = 2;"});
  ASSERT_EQ(doc.GetReleases().size(), 1u);
  EXPECT_EQ(doc.GetReleases()[0].m_dX, 5.0);
  EXPECT_EQ(doc.GetSupports()[0].m_dX, 7.0);
  EXPECT_EQ(doc.GetSupports()[0].m_bDisp, 1);
  EXPECT_EQ(doc.GetProperties()[0].m_dX, 4.0);
  EXPECT_EQ(doc.GetProperties()[0].m_dE, 3.0);
  EXPECT_EQ(doc.GetProperties()[0].m_dI, 2.0);
}

TEST(BuildItemsTest, EnglishInputIsConvertedToInchAndKip) {
  CSPLX_30Doc doc;
  Build(doc, {"Units:English;", "Member Property: X = 0; E = 29000; I = 510;",
              "Moment Release: X = 12;", "Support: X = 0; Disp = 0.5; Rotation = 0.01;",
              "Spring: X = 15; VSpring = 50; RSpring = 2000;", "Point Load: X = 8; Moment = 25;",
              "Point Load: X = 5; PLoad = 10; Moment = -2;",
              "Uniform Load: XStart = 0; XEnd = 10; UStart = 1.2; UEnd = 0.8;"});
  EXPECT_EQ(doc.GetFactors(), kEnglish);
  EXPECT_EQ(doc.GetProperties()[0].m_dE, 29000.0);
  EXPECT_EQ(doc.GetProperties()[0].m_dI, 510.0);
  EXPECT_EQ(doc.GetReleases()[0].m_dX, 144.0);
  EXPECT_EQ(doc.GetSupports()[0].m_dDisp, 0.5);  // inches already
  EXPECT_EQ(doc.GetSupports()[0].m_dRotation, 0.01);
  EXPECT_EQ(doc.GetSprings()[0].m_dX, 180.0);
  EXPECT_EQ(doc.GetSprings()[0].m_dVSpring, 50.0);
  EXPECT_EQ(doc.GetSprings()[0].m_dRSpring, 2000.0);
  EXPECT_EQ(doc.GetPointLoads()[0].m_dX, 96.0);
  EXPECT_EQ(doc.GetPointLoads()[0].m_dMoment, 300.0);  // kip ft to kip in
  EXPECT_EQ(doc.GetPointLoads()[1].m_dPLoad, 10.0);
  EXPECT_EQ(doc.GetPointLoads()[1].m_dMoment, -24.0);
  const CUniformLoadItem& u = doc.GetUniformLoads()[0];
  EXPECT_EQ(u.m_dXStart, 0.0);
  EXPECT_EQ(u.m_dXEnd, 120.0);
  // kip/ft to kip/in: 1.2 / 12 and 0.8 / 12 within rounding of the factor 1/12.
  EXPECT_NEAR(u.m_dUStart, 0.1, 1e-15 * 0.1);
  EXPECT_NEAR(u.m_dUEnd, 0.8 / 12.0, 1e-15 * 0.8 / 12.0);
  EXPECT_EQ(doc.GetBeamLength(), 180.0);
  EXPECT_EQ(doc.GetUnitLabel(kQuantityPosition), "feet");
}

TEST(BuildItemsTest, LiveLoadConvertsOnlyUAndDefaultsItsFactorsToOne) {
  CSPLX_30Doc doc;
  Build(doc, {"Units:English;", "Member Property: X = 0; E = 29000; I = 510;",
              "Support: X = 10; Disp = 0;", "Live Load: DeadMax = 1.35; U = -1.2; /live",
              "Live Load: U = 2; LiveFactor = 1.5; DeadMin = 0.9; DeadMax = 1.2;"});
  ASSERT_EQ(doc.GetLiveLoads().size(), 2u);
  const CLiveLoadItem& first = doc.GetLiveLoads()[0];
  EXPECT_NEAR(first.m_dU, -0.1, 1e-15 * 0.1);  // kip/ft to kip/in
  EXPECT_EQ(first.m_dLiveFactor, 1.0);
  EXPECT_EQ(first.m_dDeadMax, 1.35);  // a plain number: no conversion
  EXPECT_EQ(first.m_dDeadMin, 1.0);
  const CLiveLoadItem& second = doc.GetLiveLoads()[1];
  EXPECT_EQ(second.m_dLiveFactor, 1.5);
  EXPECT_EQ(second.m_dDeadMax, 1.2);
  EXPECT_EQ(second.m_dDeadMin, 0.9);
  EXPECT_EQ(doc.GetBeamLength(), 120.0);  // the line has no position
  doc.BuildItems(false);
  EXPECT_TRUE(doc.GetLiveLoads().empty());
}

TEST(BuildItemsTest, MetricInputIsConvertedToMetreAndKilonewton) {
  CSPLX_30Doc doc;
  Build(doc, {"Units: Metric;", "Member Property: X = 0; E = 200000; I = 8000;",
              "Support: X = 0; Disp = -5; Rotation = 0.002;",
              "Spring: X = 4; VSpring = 2.5; RSpring = 3000;",
              "Point Load: X = 2; PLoad = 10; Moment = 4;",
              "Uniform Load: XStart = 1; XEnd = 6; UStart = 3; UEnd = 1.5;"});
  EXPECT_EQ(doc.GetFactors(), kMetric);
  EXPECT_EQ(doc.GetProperties()[0].m_dE, 2e8);             // MPa to kN/m^2
  EXPECT_DOUBLE_EQ(doc.GetProperties()[0].m_dI, 8e-5);     // cm^4 to m^4
  EXPECT_DOUBLE_EQ(doc.GetSupports()[0].m_dDisp, -0.005);  // mm to m
  EXPECT_EQ(doc.GetSupports()[0].m_dRotation, 0.002);
  EXPECT_EQ(doc.GetSprings()[0].m_dX, 4.0);
  EXPECT_EQ(doc.GetSprings()[0].m_dVSpring, 2500.0);      // kN/mm to kN/m
  EXPECT_DOUBLE_EQ(doc.GetSprings()[0].m_dRSpring, 3.0);  // kN mm/rad to kN m/rad
  EXPECT_EQ(doc.GetPointLoads()[0].m_dPLoad, 10.0);
  EXPECT_EQ(doc.GetPointLoads()[0].m_dMoment, 4.0);
  EXPECT_EQ(doc.GetUniformLoads()[0].m_dXEnd, 6.0);
  EXPECT_EQ(doc.GetUniformLoads()[0].m_dUStart, 3.0);
  EXPECT_EQ(doc.GetUniformLoads()[0].m_dUEnd, 1.5);
  EXPECT_EQ(doc.GetBeamLength(), 6.0);
  EXPECT_EQ(doc.GetUnitLabel(kQuantityDeflection), "mm");
}

TEST(BuildItemsTest, BeamLengthIsTheLargestPosition) {
  struct Case {
    std::vector<std::string> lines;
    double length;
  };
  const Case cases[] = {
      {{}, 0},
      {{"Member Property: X = 7; E = 1; I = 1;"}, 7},
      {{"Moment Release: X = 7;"}, 7},
      {{"Support: X = 7; Disp = 0;"}, 7},
      {{"Spring: X = 7; VSpring = 1;"}, 7},
      {{"Point Load: X = 7; PLoad = 1;"}, 7},
      {{"Support: X = 0; Disp = 0;", "Uniform Load: XStart = 0; XEnd = 40; UStart = 1; UEnd = 1;",
        "Point Load: X = 30; PLoad = 1;"},
       40},
      {{"Uniform Load: XStart = 50; XEnd = 10; UStart = 1; UEnd = 1;"}, 50},
      {{"Support: X = -5; Disp = 0;", "Point Load: X = -2; PLoad = 1;"}, 0},
      {{"Support: X = 0; Disp = 0;", "Point Load: X = 0; PLoad = 1;",
        "Member Property: X = 0; E = 1; I = 1;"},
       0},
      {{"Units: English;", "Support: X = 10; Disp = 0;", "Support: X = -20; Disp = 0;"}, 120},
  };
  for (const Case& c : cases) {
    CSPLX_30Doc doc;
    Build(doc, c.lines);
    EXPECT_EQ(doc.GetBeamLength(), c.length) << (c.lines.empty() ? "" : c.lines.front());
  }
}

// Every item field at full precision, list by list.
std::string Dump(const CSPLX_30Doc& doc) {
  std::ostringstream out;
  out.precision(17);
  out << doc.GetUnits() << " " << doc.GetBeamLength() << "\n";
  for (const auto& i : doc.GetProperties())
    out << "P " << i.m_dX << " " << i.m_dE << " " << i.m_dI << "\n";
  for (const auto& i : doc.GetReleases()) out << "R " << i.m_dX << "\n";
  for (const auto& i : doc.GetSupports()) {
    out << "S " << i.m_dX << " " << i.m_dDisp << " " << int(i.m_bDisp) << " " << i.m_dRotation
        << " " << int(i.m_bRotation) << "\n";
  }
  for (const auto& i : doc.GetSprings())
    out << "K " << i.m_dX << " " << i.m_dVSpring << " " << i.m_dRSpring << "\n";
  for (const auto& i : doc.GetPointLoads())
    out << "L " << i.m_dX << " " << i.m_dPLoad << " " << i.m_dMoment << "\n";
  for (const auto& i : doc.GetUniformLoads()) {
    out << "U " << i.m_dXStart << " " << i.m_dXEnd << " " << i.m_dUStart << " " << i.m_dUEnd
        << "\n";
  }
  return out.str();
}

TEST(BuildItemsTest, LinesSplitOnceBuildTheSameItems) {
  CSPLX_30Doc whole;
  Build(whole, {"Member Property: X = 3; E = 2; I = 1;", "Units: Metric;",
                "Support: X = 1; Rotation = 0.5; Disp = 9;", "Support: X=2; Disp = 0.25;",
                "Spring: X = 4; RSpring = 7; RSpring = 8;", "/Units: English;", "Units: English;",
                "Point Load: X = 6; Moment = 3; PLoad = 1;",
                "Uniform Load: XStart = 9; XEnd = 2; UStart = -1.2; UEnd = 0.6;",
                "Moment Release: X = 5; /hinge", "Beam: X = 99;", "Member Property: X = 1;"});
  CSPLX_30Doc split;
  Build(split, {"Units: Metric;"});  // the build starts over in the Consistent system
  split.SetLines(nullptr, whole.GetLines());
  ASSERT_EQ(split.GetUnits(), kUnitsMetric);
  split.BuildItems(SplitSectionLines(split.GetLines()));
  EXPECT_EQ(Dump(split), Dump(whole));
  EXPECT_EQ(Dump(whole),
            "1 108\n"
            "P 3 2 1\nP 12 0 0\n"
            "R 60\n"
            "S 1 0 0 0.5 1\nS 2 0.00025000000000000001 1 0 0\n"
            "K 4 0 0.0080000000000000002\n"
            "L 72 0 36\n"
            "U 108 24 -0.099999999999999992 0.049999999999999996\n");
}

TEST(BuildItemsTest, LinesWithoutAnItemSectionAreIgnored) {
  CSPLX_30Doc doc;
  Build(doc, {"/Support: X = 9; Disp = 0;", "", "support: X = 9; Disp = 0;",
              "Support : X = 9; Disp = 0;", " Support: X = 9; Disp = 0;", "Supports: X = 9;",
              "Point Load X = 9; PLoad = 1;", "Units"});
  EXPECT_EQ(ItemCount(doc), 0u);
  EXPECT_EQ(doc.GetBeamLength(), 0.0);
  EXPECT_EQ(doc.GetUnits(), kUnitsConsistent);
}

TEST(BuildItemsTest, RebuildingReplacesTheItems) {
  CSPLX_30Doc doc;
  Build(doc, {"Units: English;", "Member Property: X = 0; E = 1; I = 1;", "Moment Release: X = 1;",
              "Support: X = 2; Disp = 0;", "Spring: X = 3; VSpring = 1;",
              "Point Load: X = 4; PLoad = 1;",
              "Uniform Load: XStart = 0; XEnd = 5; UStart = 1; UEnd = 1;"});
  ASSERT_EQ(ItemCount(doc), 6u);
  doc.BuildItems(true);
  EXPECT_EQ(ItemCount(doc), 6u);
  EXPECT_EQ(doc.GetBeamLength(), 60.0);

  // With the flag off only the items and the length go; the unit system stays.
  doc.BuildItems(false);
  EXPECT_EQ(ItemCount(doc), 0u);
  EXPECT_EQ(doc.GetBeamLength(), 0.0);
  EXPECT_EQ(doc.GetUnits(), kUnitsEnglish);
  EXPECT_EQ(doc.GetFactors(), kEnglish);

  doc.BuildItems(true);
  ASSERT_EQ(ItemCount(doc), 6u);
  doc.ClearItems();
  EXPECT_EQ(ItemCount(doc), 0u);

  // No lines at all: no items, and the build still resets the unit system.
  doc.SetLines(nullptr, {});
  doc.BuildItems(true);
  EXPECT_EQ(ItemCount(doc), 0u);
  EXPECT_EQ(doc.GetUnits(), kUnitsConsistent);
  EXPECT_EQ(doc.GetFactors(), AllOnes());
}

}  // namespace
}  // namespace spanlab
