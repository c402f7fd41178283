// Pairs of items at one position are counted, not enumerated: after sorting the items by
// position (and list order within a position), an item is followed in its list by exactly as
// many equal items as come after it in its group. Item i then gets that many copies of its
// pair message, which gives the same messages in the same order as comparing every pair.
#include "check/data_check.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/number_text.h"

namespace spanlab {

namespace {

// For each item, the number of later items (in list order) with an equal key.
template <class Key>
std::vector<int64_t> LaterEquals(const std::vector<Key>& keys) {
  std::vector<size_t> order(keys.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<int64_t> later(keys.size(), 0);
  size_t start = 0;
  for (size_t i = 1; i <= order.size(); ++i) {
    if (i < order.size() && !(keys[order[start]] < keys[order[i]])) continue;
    const size_t size = i - start;
    for (size_t rank = 0; rank < size; ++rank) later[order[start + rank]] = int64_t(size - rank - 1);
    start = i;
  }
  return later;
}

template <class Item>
std::vector<double> Positions(const std::vector<Item>& items) {
  std::vector<double> x;
  x.reserve(items.size());
  for (const Item& item : items) x.push_back(item.m_dX);
  return x;
}

std::string TooLarge(std::string_view what) {
  return "Error D16 - " + std::string(what) +
         " is too large. Converted to the units the analysis uses it exceeds 1.7e308.";
}

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The combinations, the deflection limit and the capacities.
template <class Error, class Warning>
void CheckDesignData(const ModelItems& items, Error&& error, Warning&& warning) {
  const auto& combinations = items.m_combinations;
  {
    std::vector<std::string_view> names;
    names.reserve(combinations.size());
    for (const auto& c : combinations) names.push_back(c.m_name);
    const std::vector<int64_t> later = LaterEquals(names);
    for (size_t i = 0; i < names.size(); ++i) {
      if (later[i] > 0) {
        error("Error D19 - Two load combinations were given the same Name = " +
                  std::string(names[i]) + ".",
              later[i]);
      }
    }
  }
  std::vector<uint8_t> hasLoads(items.m_caseNames.size());
  for (size_t i = 0; !combinations.empty() && i < hasLoads.size(); ++i)
    hasLoads[i] = items.CaseHasLoads(static_cast<int32_t>(i));
  for (const auto& c : combinations) {
    for (const auto& [index, factor] : c.m_factors) {
      if (!hasLoads[static_cast<size_t>(index)]) {
        warning("Warning W4 - Load combination " + c.m_name + " names case " +
                    items.m_caseNames[static_cast<size_t>(index)] + ", which no load has.",
                1);
      }
    }
  }
  const auto& live = items.m_liveLoads;
  if (!combinations.empty() &&
      std::any_of(live.begin(), live.end(), [](const auto& l) { return l.m_bFactorsGiven; })) {
    warning("Warning W5 - The Live Load's LiveFactor, DeadMax and DeadMin are ignored: the load "
            "combinations give the factors.",
            1);
  }
  for (size_t i = 1; i < items.m_deflectionLimits.size(); ++i) {
    error("Error D20 - Only one Deflection Limit line can be specified.");
  }
  for (size_t i = 1; i < items.m_capacities.size(); ++i) {
    error("Error D21 - Only one Capacity line can be specified.");
  }
  constexpr std::string_view kNotPositive =
      "Error D22 - Deflection limits and capacities must be greater than zero.";
  for (const auto& d : items.m_deflectionLimits) {
    if (((d.m_nGiven & 1) && !(d.m_dSpan > 0)) || ((d.m_nGiven & 2) && !(d.m_dCantilever > 0)))
      error(kNotPositive);
  }
  for (const auto& c : items.m_capacities) {
    if (!AllFinite({c.m_dMoment, c.m_dMomentNeg, c.m_dShear})) error(TooLarge("A capacity value"));
    else if (((c.m_nGiven & 1) && !(c.m_dMoment > 0)) || ((c.m_nGiven & 2) && !(c.m_dShear > 0)) ||
             ((c.m_nGiven & 4) && !(c.m_dMomentNeg > 0)))
      error(kNotPositive);
  }
}

// The vehicles: one spacing fewer than axles, unique names, finite values.
template <class Error>
void CheckVehicleData(const ModelItems& items, Error&& error) {
  std::vector<std::string_view> names;
  for (const CVehicleItem& v : items.m_vehicles) names.push_back(v.m_name);
  const std::vector<int64_t> later = LaterEquals(names);
  for (size_t i = 0; i < names.size(); ++i) {
    if (later[i] > 0)
      error("Error D24 - Two vehicles were given the same Name = " + std::string(names[i]) + ".",
            later[i]);
  }
  for (const CVehicleItem& v : items.m_vehicles) {
    if (!v.m_library.empty() && v.m_axles.empty()) {
      error("Error D25 - Vehicle " + v.m_name +
            " names a library vehicle, which needs English or Metric units.");
    }
    if (v.m_library.empty() && v.m_spacings.size() + 1 != v.m_axles.size()) {
      error("Error D23 - Vehicle " + v.m_name + " has " + std::to_string(v.m_axles.size()) +
            " axles and " + std::to_string(v.m_spacings.size()) +
            " spacings: give one spacing fewer than axles.");
    }
    bool finite = AllFinite({v.m_dLane, v.m_dVariableMax});
    for (const double a : v.m_axles) finite = finite && std::isfinite(a);
    for (const double a : v.m_spacings) finite = finite && std::isfinite(a);
    if (!finite) error(TooLarge("A vehicle value"));
  }
}

}  // namespace

void CheckModelData(const ModelItems& items, int64_t& errorCount, int64_t& warningCount,
                    MessageLog& log) {
  const double unit = items.m_factors[kFactorLength];
  auto error = [&](std::string_view text, int64_t count = 1) {
    errorCount += count;
    log.AddMessages(text, count);
  };
  auto warning = [&](std::string_view text, int64_t count) {
    warningCount += count;
    log.AddMessages(text, count);
  };
  auto at = [unit](double x) { return FormatFixed(x / unit, 6); };

  if (items.m_dBeamLength == 0) {
    error("Error D1- The beam has zero length. It can not be displayed.");
  }
  const auto& props = items.m_properties;
  if (std::none_of(props.begin(), props.end(), [](const auto& p) { return p.m_dX == 0; })) {
    error("Error D2 - Beam property must be specified at X = 0.");
  }
  {
    const std::vector<double> x = Positions(props);
    const std::vector<int64_t> later = LaterEquals(x);
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i] < 0) error("Error D3 - Member property X must be greater than or equal to zero.");
      if (later[i] > 0) {
        error("Error D4 - Two beam properties were specified at the same X = " + at(x[i]),
              later[i]);
      }
    }
  }
  bool restrained = false;
  auto restraints = [&](const std::vector<double>& x, std::string_view negative,
                        std::string_view pairText) {
    const std::vector<int64_t> later = LaterEquals(x);
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i] >= 0) restrained = true;
      else error(negative);
      if (later[i] > 0) error(std::string(pairText) + at(x[i]) + ".", later[i]);
    }
  };
  restraints(Positions(items.m_supports),
             "Error D5 - Support X must be greater than or equal to zero.",
             "Error D6 - Two beam supports were specified at the same X = ");
  restraints(Positions(items.m_springs),
             "Error D7 - Spring X must be greater than or equal to zero.",
             "Error D8 - Two beam springs were specified at the same X = ");
  if (!restrained) error("Error D9 - At least 1 Spring or Support must be defined.");
  {
    const std::vector<double> x = Positions(items.m_releases);
    const std::vector<int64_t> later = LaterEquals(x);
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i] == items.m_dBeamLength || x[i] == 0) {
        error("Error D10 - Moment Release can not be specified at member end.");
      }
      if (x[i] < 0) error("Error D11 - Moment release X must be greater than zero.");
      if (later[i] > 0) {
        error("Error D12 - Two moment releases were specified at the same X = " + at(x[i]) + ".",
              later[i]);
      }
    }
  }
  {
    // Loads of different cases at one place are no repetition: they are never applied together
    // at factor 1 but in the model as written.
    const std::vector<double> x = Positions(items.m_pointLoads);
    std::vector<std::pair<double, int32_t>> keys;
    keys.reserve(x.size());
    for (size_t i = 0; i < x.size(); ++i) keys.emplace_back(x[i], items.m_pointLoads[i].m_nCase);
    const std::vector<int64_t> later = LaterEquals(keys);
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i] < 0) error("Error D13 - Point load X must be greater than or equal to zero.");
      if (later[i] > 0) {
        warning("Warning W1 - Two point loads were specified at the same X = " + at(x[i]) + ".",
                later[i]);
      }
    }
  }
  {
    // Two loads cover the same span, in the same or in reverse order, exactly when their
    // (smaller end, larger end) pairs are equal.
    const auto& loads = items.m_uniformLoads;
    std::vector<std::tuple<double, double, int32_t>> spans;
    spans.reserve(loads.size());
    for (const auto& u : loads) {
      spans.emplace_back(std::min(u.m_dXStart, u.m_dXEnd), std::max(u.m_dXStart, u.m_dXEnd),
                         u.m_nCase);
    }
    const std::vector<int64_t> later = LaterEquals(spans);
    for (size_t i = 0; i < loads.size(); ++i) {
      const auto& u = loads[i];
      if (u.m_dXStart < 0) {
        error("Error D14 - Uniform load XStart must be greater than or equal to zero.");
      }
      if (u.m_dXEnd < 0) error("Error D15 - Uniform load XEnd must be greater than or equal to zero.");
      if (later[i] > 0) {
        warning("Warning W2 - Two Uniform loads were specified at the same XStart = " +
                    FormatGeneral(u.m_dXStart / unit, 6) + " and XEnd = " +
                    FormatGeneral(u.m_dXEnd / unit, 6) + ".",
                later[i]);
      }
    }
  }
  // Every value is a finite number when it is read, but the conversion to the analysis units
  // (feet to inches, MPa to kN/m^2, ...) can carry one beyond the range of a double; so can the
  // product E x I. Such a model has no meaningful results: it is refused here, once per item,
  // rather than analysed into infinities.
  double previousE = 0, previousI = 0;
  for (const auto& p : props) {
    if (!AllFinite({p.m_dX, p.m_dE, p.m_dI})) {
      error(TooLarge("A member property value"));
    } else {
      const double e = p.m_dE != 0 ? p.m_dE : previousE;
      const double i = p.m_dI != 0 ? p.m_dI : previousI;
      if (!std::isfinite(e * i)) error(TooLarge("A member property's E x I"));
      previousE = e;
      previousI = i;
    }
  }
  for (const auto& r : items.m_releases) {
    if (!AllFinite({r.m_dX})) error(TooLarge("A moment release value"));
  }
  for (const auto& s : items.m_supports) {
    if (!AllFinite({s.m_dX, s.m_dDisp, s.m_dRotation})) error(TooLarge("A support value"));
  }
  for (const auto& s : items.m_springs) {
    if (!AllFinite({s.m_dX, s.m_dVSpring, s.m_dRSpring})) error(TooLarge("A spring value"));
  }
  for (const auto& p : items.m_pointLoads) {
    if (!AllFinite({p.m_dX, p.m_dPLoad, p.m_dMoment})) error(TooLarge("A point load value"));
  }
  for (const auto& u : items.m_uniformLoads) {
    if (!AllFinite({u.m_dXStart, u.m_dXEnd, u.m_dUStart, u.m_dUEnd})) {
      error(TooLarge("A uniform load value"));
    }
  }
  // The live load: one line at most, with factors that do not turn loads around. (U is a uniform
  // intensity, which no unit system enlarges.)
  const auto& live = items.m_liveLoads;
  for (size_t i = 1; i < live.size(); ++i) {
    error("Error D17 - Only one Live Load line can be specified.");
  }
  for (const auto& l : live) {
    if (l.m_dLiveFactor < 0 || l.m_dDeadMax < 0 || l.m_dDeadMin < 0) {
      error("Error D18 - Live Load factors must be greater than or equal to zero.");
    }
  }
  CheckDesignData(items, error, warning);
  CheckVehicleData(items, error);
}

}  // namespace spanlab
