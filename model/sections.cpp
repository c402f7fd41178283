#include "model/sections.h"

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
     .pairMessage = "Please enter a value for Point Load or Moment or both."},
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
     .pairMessage = "XStart can not be equal to XEnd."},
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
     .helpTopic = "Editing the Live Load"},
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

SectionLine SplitSectionLine(std::string_view line) {
  SectionLine split;
  if (!line.empty() && line[0] == '/') {
    split.section = &kSections[kSectionDescription];
    return split;
  }
  const LineView parts = SplitLineView(line);
  split.section = FindSection(parts.section);
  split.field = parts.field;
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
