#include "model/sections.h"

#include <algorithm>

#include "model/line_text.h"

namespace spanlab {

namespace {

using FC = FieldCheck;
using L = FieldLayout;

constexpr std::string_view kXValue = "Error F11 - Invalid X value: ";

// Every position "X" is read and checked alike.
constexpr SectionField kPosition = {.key = "X",
                                    .valueError = kXValue,
                                    .factor = kFactorLength,
                                    .quantity = kQuantityPosition,
                                    .dialogLabel = "X",
                                    .check = FC::kNonNegative,
                                    .optional = false};

constexpr SectionField Field(std::string_view key, std::string_view valueError, FactorIndex factor,
                             UnitQuantity quantity, const char* label, FieldCheck check,
                             bool optional = false) {
  return {key, valueError, factor, quantity, label, check, optional};
}

// A load factor of the Live Load line: a plain number >= 0, 1 when left out.
constexpr SectionField LoadFactor(std::string_view key, std::string_view valueError,
                                  const char* label) {
  return {key,  valueError, kFactorLength, UnitQuantity(0), label, FieldCheck::kOptionalNonNegative,
          true, true};
}

// A deflection limit's divisor: a plain number > 0, not checked when left out.
constexpr SectionField Divisor(std::string_view key, std::string_view valueError,
                               const char* label) {
  return {key,  valueError, kFactorLength, UnitQuantity(0), label, FieldCheck::kOptionalPositive,
          true, true};
}

// The name of a combination: its one fixed field (the factors follow it, any number of them).
constexpr SectionField kCombinationName = {.key = "Name",
                                           .valueError = "Error F33 - Invalid combination Name: ",
                                           .factor = kFactorLength,
                                           .quantity = UnitQuantity(0),
                                           .dialogLabel = "Name",
                                           .check = FC::kCaseName,
                                           .optional = false,
                                           .plain = true};

constexpr std::array<SectionRecord, kSectionCount> kSections = {{
    {.id = kSectionDescription,
     .name = "",
     .prefix = "/",
     .title = "Description",
     .stepName = "Description",
     .selectionHint = 10,
     .layout = L::kText,
     .dialog = SectionDialog::kDescription,
     .editTitle = "Edit Description",
     .helpTopic = "Editing the Model Description"},
    {.id = kSectionUnits,
     .name = "Units",
     .prefix = "Units:",
     .title = "Units",
     .stepName = "Units",
     .selectionHint = 10,
     .layout = L::kUnitsName,
     .keyError = "Error F4 - Invalid units specified.",
     .dialog = SectionDialog::kUnits,
     .editTitle = "Edit Units",
     .helpTopic = "Editing Units"},
    {.id = kSectionProperties,
     .name = "Member Property",
     .prefix = "Member Property:",
     .title = "Properties",
     .stepName = "Property",
     .selectionHint = 11,
     .layout = L::kKeyed,
     .keyError = "Error F5 - Invalid Member Property: ",
     .fieldCount = 3,
     .fields =
         {{kPosition,
           Field("E", "Error F12 - Invalid E value: ", kFactorE, kQuantityE, "E", FC::kPositive),
           Field("I", "Error F13 - Invalid I value: ", kFactorI, kQuantityI, "I", FC::kPositive)}},
     .reportColumnCount = 3,
     .reportColumns = {{{"X", kQuantityPosition}, {"E", kQuantityE}, {"I", kQuantityI}}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Properties",
     .addTitle = "Add Property",
     .helpTopic = "Editing Beam Properties"},
    {.id = kSectionReleases,
     .name = "Moment Release",
     .prefix = "Moment Release:",
     .title = "Moment Releases",
     .stepName = "Moment Release",
     .selectionHint = 12,
     .layout = L::kKeyed,
     .keyError = "Error F6 - Invalid Moment Release: ",
     .fieldCount = 1,
     .fields = {{kPosition}},
     .reportColumnCount = 1,
     .reportColumns = {{{"X", kQuantityPosition}}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Moment Releases",
     .addTitle = "Add Moment Release",
     .helpTopic = "Editing Moment Releases"},
    {.id = kSectionSupports,
     .name = "Support",
     .prefix = "Support:",
     .title = "Supports",
     .stepName = "Support",
     .selectionHint = 13,
     .layout = L::kEitherOr,
     .keyError = "Error F7 - Invalid Support: ",
     .fieldCount = 3,
     .fields = {{kPosition,
                 Field("Disp", "Error F14 - Invalid Disp value: ", kFactorDisp, kQuantityDisp,
                       "Displacement", FC::kOptionalNumber, true),
                 Field("Rotation", "Error F15 - Invalid Rotation value: ", kFactorRotation,
                       kQuantitySupportRotation, "Rotation", FC::kOptionalNumber, true)}},
     .reportColumnCount = 3,
     .reportColumns = {{{"X", kQuantityPosition},
                        {"Displacement", kQuantityDisp},
                        {"Rotation", kQuantitySupportRotation}}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Supports",
     .addTitle = "Add Support",
     .helpTopic = "Editing Supports",
     .pair = PairCheck::kAtLeastOne,
     .pairFirst = 1,
     .pairSecond = 2,
     .pairMessage = "Please enter a value for Displacement or Rotation or both."},
    {.id = kSectionSprings,
     .name = "Spring",
     .prefix = "Spring:",
     .title = "Springs",
     .stepName = "Spring",
     .selectionHint = 14,
     .layout = L::kEitherOr,
     .keyError = "Error F8 - Invalid Spring: ",
     .fieldCount = 3,
     .fields = {{kPosition,
                 Field("VSpring", "Error F16 - Invalid VSpring value: ", kFactorVSpring,
                       kQuantityVSpring, "V Spring", FC::kOptionalNonZero, true),
                 Field("RSpring", "Error F17 - Invalid RSpring value: ", kFactorRSpring,
                       kQuantityRSpring, "R Spring", FC::kOptionalNonZero, true)}},
     .reportColumnCount = 3,
     .reportColumns =
         {{{"X", kQuantityPosition}, {"VSpring", kQuantityVSpring}, {"RSpring", kQuantityRSpring}}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Springs",
     .addTitle = "Add Spring",
     .helpTopic = "Editing Springs",
     .pair = PairCheck::kAtLeastOne,
     .pairFirst = 1,
     .pairSecond = 2,
     .pairMessage = "Please enter a value for VSpring or RSpring or both."},
    {.id = kSectionPointLoads,
     .name = "Point Load",
     .prefix = "Point Load:",
     .title = "Point Loads",
     .stepName = "Point Load",
     .selectionHint = 15,
     .layout = L::kEitherOr,
     .keyError = "Error F9 - Invalid Point Load: ",
     .fieldCount = 3,
     .fields = {{kPosition,
                 Field("PLoad", "Error F18 - Invalid PLoad value: ", kFactorPLoad, kQuantityPLoad,
                       "Point Load", FC::kOptionalNonZero, true),
                 Field("Moment", "Error F19 - Invalid Moment value: ", kFactorMoment,
                       kQuantityPointMoment, "Moment", FC::kOptionalNonZero, true)}},
     .reportColumnCount = 3,
     .reportColumns =
         {{{"X", kQuantityPosition}, {"PLoad", kQuantityPLoad}, {"Moment", kQuantityPointMoment}}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Point Load",
     .addTitle = "Add Point Load",
     .helpTopic = "Editing Point Loads",
     .pair = PairCheck::kAtLeastOne,
     .pairFirst = 1,
     .pairSecond = 2,
     .pairMessage = "Please enter a value for Point Load or Moment or both.",
     .takesCase = true,
     .defaultCase = "D"},
    {.id = kSectionUniformLoads,
     .name = "Uniform Load",
     .prefix = "Uniform Load:",
     .title = "Uniform Loads",
     .stepName = "Uniform Load",
     .selectionHint = 16,
     .layout = L::kKeyed,
     .keyError = "Error F10 - Invalid Uniform Load: ",
     .fieldCount = 4,
     .fields = {{Field("XStart", "Error F20 - Invalid XStart value: ", kFactorLength,
                       kQuantityPosition, "X Start", FC::kNumber),
                 Field("XEnd", "Error F21 - Invalid XEnd value: ", kFactorLength, kQuantityPosition,
                       "X End", FC::kNumber),
                 Field("UStart", "Error F22 - Invalid UStart value: ", kFactorUniform,
                       kQuantityUniform, "U Start", FC::kNumber),
                 Field("UEnd", "Error F23 - Invalid UEnd value: ", kFactorUniform, kQuantityUniform,
                       "U End", FC::kNumber)}},
     .reportColumnCount = 2,
     .reportColumns = {{{"XStart & XEnd", kQuantityPosition}, {"UStart & UEnd", kQuantityUniform}}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Uniform Load",
     .addTitle = "Add Uniform Load",
     .helpTopic = "Editing Uniform Loads",
     .pair = PairCheck::kNotEqual,
     .pairFirst = 0,
     .pairSecond = 1,
     .pairMessage = "XStart can not be equal to XEnd.",
     .takesCase = true,
     .defaultCase = "D"},
    {.id = kSectionLiveLoad,
     .name = "Live Load",
     .prefix = "Live Load:",
     .title = "Live Load",
     .stepName = "Live Load",
     .selectionHint = 10,
     .layout = L::kAnyOrder,
     .keyError = "Error F24 - Invalid Live Load: ",
     .fieldCount = 4,
     .fields = {{Field("U", "Error F25 - Invalid U value: ", kFactorUniform, kQuantityUniform, "U",
                       FC::kNumber),
                 LoadFactor("LiveFactor", "Error F26 - Invalid LiveFactor value: ", "Live Factor"),
                 LoadFactor("DeadMax", "Error F27 - Invalid DeadMax value: ", "Dead Max"),
                 LoadFactor("DeadMin", "Error F28 - Invalid DeadMin value: ", "Dead Min")}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Live Load",
     .addTitle = "Add Live Load",
     .helpTopic = "Editing the Live Load",
     .takesCase = true,
     .defaultCase = "L"},
    {.id = kSectionLoadCombinations,
     .name = "Load Combination",
     .prefix = "Load Combination:",
     .title = "Load Combinations",
     .stepName = "Load Combination",
     .selectionHint = 10,
     .layout = L::kCombination,
     .keyError = "Error F31 - Invalid Load Combination: ",
     .fieldCount = 1,
     .fields = {{kCombinationName}},
     .dialog = SectionDialog::kCombination,
     .editTitle = "Edit Load Combination",
     .addTitle = "Add Load Combination",
     .helpTopic = "Editing Load Combinations"},
    {.id = kSectionServiceCombinations,
     .name = "Service Combination",
     .prefix = "Service Combination:",
     .title = "Service Combinations",
     .stepName = "Service Combination",
     .selectionHint = 10,
     .layout = L::kCombination,
     .keyError = "Error F32 - Invalid Service Combination: ",
     .fieldCount = 1,
     .fields = {{kCombinationName}},
     .dialog = SectionDialog::kCombination,
     .editTitle = "Edit Service Combination",
     .addTitle = "Add Service Combination",
     .helpTopic = "Editing Load Combinations"},
    {.id = kSectionDeflectionLimit,
     .name = "Deflection Limit",
     .prefix = "Deflection Limit:",
     .title = "Deflection Limit",
     .stepName = "Deflection Limit",
     .selectionHint = 10,
     .layout = L::kSomeOf,
     .keyError = "Error F35 - Invalid Deflection Limit: ",
     .fieldCount = 2,
     .fields = {{Divisor("Span", "Error F36 - Invalid Span value: ", "Span / "),
                 Divisor("Cantilever", "Error F37 - Invalid Cantilever value: ",
                         "Cantilever / ")}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Deflection Limit",
     .addTitle = "Add Deflection Limit",
     .helpTopic = "Editing Design Checks",
     .pair = PairCheck::kAtLeastOne,
     .pairFirst = 0,
     .pairSecond = 1,
     .pairMessage = "Please enter a value for Span or Cantilever or both."},
    {.id = kSectionCapacity,
     .name = "Capacity",
     .prefix = "Capacity:",
     .title = "Capacity",
     .stepName = "Capacity",
     .selectionHint = 10,
     .layout = L::kSomeOf,
     .keyError = "Error F38 - Invalid Capacity: ",
     .fieldCount = 3,
     .fields = {{Field("Moment", "Error F39 - Invalid Moment value: ", kFactorMoment,
                       kQuantityPointMoment, "Moment", FC::kOptionalPositive, true),
                 Field("Shear", "Error F40 - Invalid Shear value: ", kFactorPLoad, kQuantityPLoad,
                       "Shear", FC::kOptionalPositive, true),
                 Field("MomentNeg", "Error F41 - Invalid MomentNeg value: ", kFactorMoment,
                       kQuantityPointMoment, "Hogging Moment", FC::kOptionalPositive, true)}},
     .dialog = SectionDialog::kItemLine,
     .editTitle = "Edit Capacity",
     .addTitle = "Add Capacity",
     .helpTopic = "Editing Design Checks"},
    {.id = kSectionVehicles,
     .name = "Vehicle",
     .prefix = "Vehicle:",
     .title = "Vehicles",
     .stepName = "Vehicle",
     .selectionHint = 10,
     .layout = L::kVehicle,
     .keyError = "Error F42 - Invalid Vehicle: ",
     .dialog = SectionDialog::kLineText,
     .editTitle = "Edit Vehicle",
     .addTitle = "Add Vehicle",
     .helpTopic = "Editing Vehicles"},
}};

// The table is indexed by the enum.
constexpr bool InEnumOrder() {
  for (int s = 0; s < kSectionCount; ++s) {
    if (kSections[s].id != s) return false;
  }
  return true;
}
static_assert(InEnumOrder());

}  // namespace

const SectionRecord& SectionById(int id) { return kSections[static_cast<size_t>(id)]; }

const SectionRecord* FindSection(std::string_view name) {
  if (name.empty()) return nullptr;  // Description lines have no name
  for (const SectionRecord& s : kSections) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

int FieldIndexOfKey(const SectionRecord& section, std::string_view key) {
  for (int i = 0; i < section.fieldCount; ++i) {
    if (section.fields[i].key == key) return i;
  }
  return -1;
}

bool IsCaseName(std::string_view name) {
  if (name.empty() || name.size() > 12) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '_';
    if (!ok) return false;
  }
  return true;
}

namespace {

// The text after the section's ":" and before the comment's "/".
std::string_view BodyOf(std::string_view line) {
  line = line.substr(0, std::min(line.find('/'), line.size()));
  const size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
}

bool IsDataLayout(FieldLayout layout) {
  return layout != FieldLayout::kText && layout != FieldLayout::kUnitsName &&
         layout != FieldLayout::kCombination && layout != FieldLayout::kVehicle;
}

}  // namespace

LineExtras ReadLineExtras(std::string_view line) {
  LineExtras extras;
  extras.body = BodyOf(line);
  if (extras.body.find("Case") == std::string_view::npos) return extras;
  ForEachBodyField(extras.body, [&extras](std::string_view field) {
    const KeyValueView kv = SplitKeyValueView(field);
    if (kv.key == "Case" && extras.caseFields++ == 0) extras.caseName = kv.value;
  });
  return extras;
}

SectionLine SplitSectionLine(std::string_view line) {
  SectionLine split;
  if (!line.empty() && line[0] == '/') {
    split.section = &kSections[kSectionDescription];
    return split;
  }
  const LineView parts = SplitLineView(line);
  split.section = FindSection(parts.section);
  split.field = parts.field;
  // A data line's "Case" fields are left out of its four.
  if (split.section && IsDataLayout(split.section->layout) &&
      line.find("Case") != std::string_view::npos) {
    split.field = {};
    size_t next = 0;
    ForEachBodyField(BodyOf(line), [&split, &next](std::string_view field) {
      if (SplitKeyValueView(field).key != "Case" && next < split.field.size())
        split.field[next++] = field;
    });
  }
  return split;
}

std::vector<SectionLine> SplitSectionLines(const std::vector<std::string>& lines) {
  std::vector<SectionLine> split;
  split.reserve(lines.size());
  for (const std::string& line : lines) split.push_back(SplitSectionLine(line));
  return split;
}

void AppendField(std::string& line, std::string_view key, std::string_view value) {
  line += ' ';
  line += key;
  line += " = ";
  line += value;
  line += ';';
}

}  // namespace spanlab
