#include "model/vehicle_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/units.h"

namespace spanlab {
namespace {

void ExpectRelative(double actual, double expected) {
  EXPECT_NEAR(actual, expected, 1e-13 * std::abs(expected));
}

TEST(VehicleLibraryTest, ShippedFileParsesAndEveryEntryIsWellFormed) {
  std::vector<LibraryVehicle> parsed;
  const Status status = ParseVehicleLibrary(VehicleLibraryText(), parsed);
  ASSERT_TRUE(status.ok()) << status.message();
  const std::vector<LibraryVehicle>& library = VehicleLibrary();
  ASSERT_EQ(library.size(), parsed.size());
  ASSERT_GE(library.size(), 4u);
  std::set<std::string> names;
  for (size_t i = 0; i < library.size(); ++i) {
    const LibraryVehicle& v = library[i];
    SCOPED_TRACE(v.name);
    EXPECT_TRUE(names.insert(v.name).second);
    EXPECT_EQ(FindLibraryVehicle(v.name), &v);
    EXPECT_EQ(LibraryVehicleNames()[i], v.name);
    EXPECT_FALSE(v.standard.empty());
    EXPECT_TRUE(v.units == kUnitsEnglish || v.units == kUnitsMetric);
    ASSERT_FALSE(v.axles.empty());
    ASSERT_EQ(v.spacings.size(), v.axles.size() - 1);
    for (double a : v.axles) EXPECT_LT(a, 0);
    for (double s : v.spacings) EXPECT_GT(s, 0);
    EXPECT_LE(v.lane, 0);
    ASSERT_GE(v.variableGap, -1);
    ASSERT_LT(v.variableGap, static_cast<int>(v.spacings.size()));
    if (v.variableGap >= 0) {
      EXPECT_LT(v.spacings[v.variableGap], v.variableMax);
    }
  }
}

TEST(VehicleLibraryTest, WellKnownEntriesCarryTheirStandardsValues) {
  const LibraryVehicle* truck = FindLibraryVehicle("HL93-Truck");
  ASSERT_NE(truck, nullptr);
  EXPECT_EQ(truck->units, kUnitsEnglish);
  EXPECT_EQ(truck->axles, (std::vector<double>{-8, -32, -32}));
  EXPECT_EQ(truck->spacings, (std::vector<double>{14, 14}));
  EXPECT_EQ(truck->variableGap, 1);
  EXPECT_EQ(truck->variableMax, 30);
  EXPECT_EQ(truck->lane, -0.64);

  const LibraryVehicle* tandem = FindLibraryVehicle("HL93-Tandem");
  ASSERT_NE(tandem, nullptr);
  EXPECT_EQ(tandem->axles, (std::vector<double>{-25, -25}));
  EXPECT_EQ(tandem->spacings, (std::vector<double>{4}));
  EXPECT_EQ(tandem->variableGap, -1);
  EXPECT_EQ(tandem->lane, -0.64);

  const LibraryVehicle* hs20 = FindLibraryVehicle("HS20-44");
  ASSERT_NE(hs20, nullptr);
  EXPECT_EQ(hs20->axles, truck->axles);
  EXPECT_EQ(hs20->variableMax, 30);
  EXPECT_EQ(hs20->lane, 0);

  const LibraryVehicle* lm1 = FindLibraryVehicle("LM1-Lane1");
  ASSERT_NE(lm1, nullptr);
  EXPECT_EQ(lm1->units, kUnitsMetric);
  EXPECT_EQ(lm1->axles, (std::vector<double>{-300, -300}));
  EXPECT_EQ(lm1->spacings, (std::vector<double>{1.2}));
  EXPECT_EQ(lm1->lane, -27);

  EXPECT_EQ(FindLibraryVehicle("hl93-truck"), nullptr);  // names compare exactly
  EXPECT_EQ(FindLibraryVehicle(""), nullptr);
}

TEST(VehicleLibraryTest, ConvertsBetweenEnglishAndMetricByTheExactFactors) {
  // Hand values: 1 kip = 4.4482216152605 kN, 1 ft = 0.3048 m.
  ASSERT_NE(FindLibraryVehicle("HL93-Truck"), nullptr);
  ASSERT_NE(FindLibraryVehicle("LM1-Lane1"), nullptr);
  const LibraryVehicle& truck = *FindLibraryVehicle("HL93-Truck");
  const std::optional<LibraryVehicle> metric = LibraryVehicleInUnits(truck, kUnitsMetric);
  ASSERT_TRUE(metric.has_value());
  EXPECT_EQ(metric->units, kUnitsMetric);
  ExpectRelative(metric->axles[0], -35.585772922084);
  ExpectRelative(metric->axles[2], -142.343091688336);
  ExpectRelative(metric->spacings[1], 4.2672);
  ExpectRelative(metric->variableMax, 9.144);
  ExpectRelative(metric->lane, -9.34009787981207349);
  EXPECT_EQ(metric->variableGap, 1);
  EXPECT_EQ(metric->name, "HL93-Truck");

  const LibraryVehicle& lm1 = *FindLibraryVehicle("LM1-Lane1");
  const std::optional<LibraryVehicle> english = LibraryVehicleInUnits(lm1, kUnitsEnglish);
  ASSERT_TRUE(english.has_value());
  ExpectRelative(english->axles[1], -67.4426829299131449);
  ExpectRelative(english->spacings[0], 3.93700787401574803);
  ExpectRelative(english->lane, -1.85008767813337739);

  // There and back again; an entry already in the units is unchanged.
  const LibraryVehicle back = *LibraryVehicleInUnits(*metric, kUnitsEnglish);
  for (size_t i = 0; i < truck.axles.size(); ++i) ExpectRelative(back.axles[i], truck.axles[i]);
  ExpectRelative(back.variableMax, 30);
  ExpectRelative(back.lane, -0.64);
  EXPECT_EQ(LibraryVehicleInUnits(truck, kUnitsEnglish)->axles, truck.axles);

  EXPECT_FALSE(LibraryVehicleInUnits(truck, kUnitsConsistent).has_value());
  EXPECT_FALSE(LibraryVehicleInUnits(truck, kUnitsUserDefined).has_value());
  EXPECT_FALSE(LibraryVehicleInUnits(lm1, 0).has_value());
}

TEST(VehicleLibraryTest, ParserRefusesEveryMalformedEntryWithItsLine) {
  const std::string head = "# c\nName: T\nStandard: S\nUnits: English\n";
  const std::pair<std::string, std::string> cases[] = {
      {head + "Axles: -8, -32\nSpacing: 14, 14\n", "line 6: entry \"T\" has 2 axles and 2 spacings"},
      {head + "Axles: -8, -32\n", "line 5: entry \"T\" has 2 axles and 0 spacings"},
      {head + "Axles: -8,, -32\nSpacing: 14\n", "line 5: the list has an empty item"},
      {head + "Axles:\n", "line 5: the list is empty"},
      {head + "Axles: -8, 32\nSpacing: 14\n", "line 5: an axle load is not negative (downward)"},
      {head + "Axles: -8, -3 2\n", "line 5: \"-3 2\" is not a number"},
      {head + "Axles: -8, -1e999\n", "line 5: \"-1e999\" is not a number"},
      {head + "Axles: -8, -32\nSpacing: 30..14\n", "line 6: the range \"30..14\" does not increase"},
      {head + "Axles: -8, -32, -3\nSpacing: 1..2, 3..4\n", "line 6: only one spacing may be a range"},
      {head + "Axles: -8, -32\nSpacing: 1...4\n",
       "line 6: \"1...4\" is not a number or a range MIN..MAX"},
      {head + "Axles: -8, -32\nSpacing: 0\n", "line 6: a spacing is not positive"},
      {head + "Axles: -8\nLane: 0\n", "line 6: the lane load is not negative (downward)"},
      {head + "Axles: -8\nUnits: Metric\n", "line 6: Units repeated or out of order in entry \"T\""},
      {head + "Axles: -8\nWeight: 3\n",
       "line 6: \"Weight: 3\" is not a field (Name, Standard, Units, Axles, Spacing or Lane, a "
       "colon and a value)"},
      {"Name: T\nUnits: English\nAxles: -8\n", "line 3: entry \"T\" has no Standard line"},
      {"Units: English\n", "line 1: a field before the first Name line"},
      {"Name: T\nStandard: S\nUnits: Imperial\n",
       "line 3: the units \"Imperial\" are not English or Metric"},
      {"Name: H 20\n",
       "line 1: the name \"H 20\" is empty or holds characters other than letters, digits, -, _ "
       "and ."},
      {head + "Axles: -8\nName: T\n", "line 6: the name \"T\" is used twice"},
  };
  for (const auto& [text, message] : cases) {
    std::vector<LibraryVehicle> out(1);
    const Status status = ParseVehicleLibrary(text, out);
    EXPECT_EQ(status.message(), "vehicles.txt " + message) << text;
    EXPECT_TRUE(out.empty());
  }

  // Blank and comment lines anywhere, CR LF line ends, a single axle without spacings, a
  // colon inside the standard's text.
  std::vector<LibraryVehicle> out;
  ASSERT_TRUE(ParseVehicleLibrary("\r\n# one\r\nName: A\r\n  \r\nStandard: EN 1:2003\r\n"
                                  "Units: Metric\r\n# two\r\nAxles: -100\r\n",
                                  out)
                  .ok());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].standard, "EN 1:2003");
  EXPECT_EQ(out[0].axles, (std::vector<double>{-100}));
  EXPECT_TRUE(out[0].spacings.empty());
}

}  // namespace
}  // namespace spanlab
