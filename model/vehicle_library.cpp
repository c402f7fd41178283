// The library file is read line by line. Comment lines ("#" first) and blank lines are
// skipped; every other line is "Key: value". A "Name:" line closes the entry before it (which
// must then be complete) and opens a new one; the other keys must follow in the file's order
// (Standard, Units, Axles, Spacing, Lane), each at most once, so a field can neither repeat nor
// stand before a field that precedes it. Lists are comma-separated numbers in the model lines'
// decimal syntax (model/number_text.h); a spacing "MIN..MAX" is the variable gap. The first
// fault ends the parse with its line number: the shipped file is part of the program, so a
// fault in it is a programming error that the tests catch, and the program then has an empty
// library rather than a partial one.
#include "model/vehicle_library.h"

#include <algorithm>
#include <cstddef>

#include "model/number_text.h"
#include "model/units.h"

namespace spanlab {

namespace {

constexpr double kKipInKN = 4.4482216152605;  // 1 kip = 4.4482216152605 kN (exact by definition)
constexpr double kFootInM = 0.3048;           // 1 ft = 0.3048 m (exact by definition)

enum Field : int { kName, kStandard, kUnits, kAxles, kSpacing, kLane, kFieldCount };
constexpr std::string_view kKeys[kFieldCount] = {"Name", "Standard", "Units",
                                                 "Axles", "Spacing", "Lane"};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '-' || c == '_' || c == '.';
}

// One number in the model lines' syntax, or an error text.
bool ReadNumber(std::string_view text, double& value, std::string& error) {
  if (!IsValidNumber(text)) {
    error = "\"" + std::string(Trim(text)) + "\" is not a number";
    return false;
  }
  value = ConvertNumber(text);
  return true;
}

// A comma-separated list: each item a number, or, where `ranges` is given, "MIN..MAX" (its
// index goes to *rangeIndex, its ends to the list and *rangeMax).
bool ReadList(std::string_view text, std::vector<double>& values, int* rangeIndex,
              double* rangeMax, std::string& error) {
  values.clear();
  if (Trim(text).empty()) {
    error = "the list is empty";
    return false;
  }
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string_view item =
        Trim(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    if (item.empty()) {
      error = "the list has an empty item";
      return false;
    }
    const size_t dots = item.find("..");
    double value = 0;
    if (dots == std::string_view::npos) {
      if (!ReadNumber(item, value, error)) return false;
    } else {
      double high = 0;
      if (rangeIndex == nullptr || item.find("...") != std::string_view::npos ||
          !ReadNumber(item.substr(0, dots), value, error) ||
          !ReadNumber(item.substr(dots + 2), high, error)) {
        error = "\"" + std::string(item) + "\" is not a number or a range MIN..MAX";
        return false;
      }
      if (*rangeIndex >= 0) {
        error = "only one spacing may be a range";
        return false;
      }
      if (!(value < high)) {
        error = "the range \"" + std::string(item) + "\" does not increase";
        return false;
      }
      *rangeIndex = static_cast<int>(values.size());
      *rangeMax = high;
    }
    values.push_back(value);
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

// Checks an entry whose fields have all been read: the required fields are there, counts and
// signs are right.
bool CheckEntry(const LibraryVehicle& v, const bool (&seen)[kFieldCount], std::string& error) {
  for (Field f : {kStandard, kUnits, kAxles}) {
    if (!seen[f]) {
      error = "entry \"" + v.name + "\" has no " + std::string(kKeys[f]) + " line";
      return false;
    }
  }
  if (v.spacings.size() + 1 != v.axles.size()) {
    error = "entry \"" + v.name + "\" has " + std::to_string(v.axles.size()) +
            " axles and " + std::to_string(v.spacings.size()) + " spacings";
    return false;
  }
  return true;
}

// Reads one field's value into `v`; the order and the entry's completeness are checked by the
// caller.
bool ReadField(Field field, std::string_view value, LibraryVehicle& v, std::string& error) {
  switch (field) {
    case kName:
      if (value.empty() || !std::all_of(value.begin(), value.end(), IsNameCharacter)) {
        error = "the name \"" + std::string(value) +
                "\" is empty or holds characters other than letters, digits, -, _ and .";
        return false;
      }
      v.name = std::string(value);
      return true;
    case kStandard:
      v.standard = std::string(value);
      if (value.empty()) error = "the standard is empty";
      return !value.empty();
    case kUnits:
      v.units = value == "English" ? kUnitsEnglish : value == "Metric" ? kUnitsMetric : 0;
      if (v.units == 0) error = "the units \"" + std::string(value) + "\" are not English or Metric";
      return v.units != 0;
    case kAxles:
      if (!ReadList(value, v.axles, nullptr, nullptr, error)) return false;
      if (std::any_of(v.axles.begin(), v.axles.end(), [](double a) { return !(a < 0); })) {
        error = "an axle load is not negative (downward)";
        return false;
      }
      return true;
    case kSpacing:
      if (!ReadList(value, v.spacings, &v.variableGap, &v.variableMax, error)) return false;
      if (std::any_of(v.spacings.begin(), v.spacings.end(), [](double s) { return !(s > 0); })) {
        error = "a spacing is not positive";
        return false;
      }
      return true;
    case kLane:
      if (!ReadNumber(value, v.lane, error)) return false;
      if (!(v.lane < 0)) error = "the lane load is not negative (downward)";
      return v.lane < 0;
    case kFieldCount:
      break;
  }
  return false;
}

}  // namespace

Status ParseVehicleLibrary(std::string_view text, std::vector<LibraryVehicle>& out) {
  out.clear();
  std::vector<LibraryVehicle> entries;
  bool seen[kFieldCount] = {};
  int last = -1;  // the last field read in the current entry
  std::string error;
  int lineNumber = 0;
  auto fail = [&](const std::string& message) {
    return Status::Error("vehicles.txt line " + std::to_string(lineNumber) + ": " + message);
  };
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Trim(line).empty() || line.front() == '#') continue;
    const size_t colon = line.find(':');
    const auto key = std::find(std::begin(kKeys), std::end(kKeys),
                               line.substr(0, colon == std::string_view::npos ? 0 : colon));
    if (colon == std::string_view::npos || key == std::end(kKeys)) {
      return fail("\"" + std::string(line) + "\" is not a field (Name, Standard, Units, Axles, "
                  "Spacing or Lane, a colon and a value)");
    }
    const Field field = static_cast<Field>(key - std::begin(kKeys));
    if (field == kName) {
      if (!entries.empty() && !CheckEntry(entries.back(), seen, error)) return fail(error);
      entries.emplace_back();
      std::fill(std::begin(seen), std::end(seen), false);
      last = -1;
    } else if (entries.empty()) {
      return fail("a field before the first Name line");
    } else if (field <= last) {
      return fail(std::string(kKeys[field]) + " repeated or out of order in entry \"" +
                  entries.back().name + "\"");
    }
    seen[field] = true;
    last = field;
    if (!ReadField(field, Trim(line.substr(colon + 1)), entries.back(), error)) return fail(error);
    for (size_t i = 0; field == kName && i + 1 < entries.size(); ++i) {
      if (entries[i].name == entries.back().name) {
        return fail("the name \"" + entries.back().name + "\" is used twice");
      }
    }
  }
  if (!entries.empty() && !CheckEntry(entries.back(), seen, error)) return fail(error);
  out = std::move(entries);
  return Status::Ok();
}

const std::vector<LibraryVehicle>& VehicleLibrary() {
  static const std::vector<LibraryVehicle> library = [] {
    std::vector<LibraryVehicle> entries;
    ParseVehicleLibrary(VehicleLibraryText(), entries);  // empty on a fault (see the header)
    return entries;
  }();
  return library;
}

const LibraryVehicle* FindLibraryVehicle(std::string_view name) {
  for (const LibraryVehicle& v : VehicleLibrary()) {
    if (v.name == name) return &v;
  }
  return nullptr;
}

std::optional<LibraryVehicle> LibraryVehicleInUnits(const LibraryVehicle& vehicle, int units) {
  if (units != kUnitsEnglish && units != kUnitsMetric) return std::nullopt;
  LibraryVehicle v = vehicle;
  if (v.units == units) return v;
  // English to Metric multiplies forces by kKipInKN and lengths by kFootInM; Metric to English
  // divides by them.
  const bool toMetric = units == kUnitsMetric;
  auto force = [&](double f) { return toMetric ? f * kKipInKN : f / kKipInKN; };
  auto length = [&](double x) { return toMetric ? x * kFootInM : x / kFootInM; };
  for (double& a : v.axles) a = force(a);
  for (double& s : v.spacings) s = length(s);
  v.variableMax = length(v.variableMax);
  v.lane = toMetric ? v.lane * kKipInKN / kFootInM : v.lane * kFootInM / kKipInKN;
  v.units = units;
  return v;
}

std::vector<std::string> LibraryVehicleNames() {
  std::vector<std::string> names;
  for (const LibraryVehicle& v : VehicleLibrary()) names.push_back(v.name);
  return names;
}

}  // namespace spanlab
