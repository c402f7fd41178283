#include "cli/moving_commands.h"

#include <iostream>
#include <memory>

#include "analysis/moving_export.h"
#include "cli/design_commands.h"
#include "analysis/moving_load.h"
#include "analysis/results_export.h"
#include "model/number_text.h"
#include "run/run_driver.h"

namespace spanlab {

namespace {

std::string VehicleNames(const std::vector<CVehicleItem>& vehicles) {
  std::string text;
  for (size_t i = 0; i < vehicles.size(); ++i) {
    if (i > 0) text += i + 1 == vehicles.size() ? " and " : ", ";
    text += vehicles[i].m_name;
  }
  return text;
}

}  // namespace

int RunMoving(const Options& o) {
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  const CSPLX_30Doc& doc = model.doc;
  const int status = SoundModel(doc, !doc.GetItems().m_vehicles.empty(),
                                "the model has no Vehicle line (add one such as 'Vehicle: Name = "
                                "T; Axles = -8, -32, -32; Spacing = 14, 14;')");
  if (status != kExitClean) return status;
  const MovingLoadEnvelope envelope =
      ComputeMovingLoadEnvelope(doc.GetAnalysis(), doc.GetItems());
  if (envelope.empty()) {
    std::cerr << "spanlab-cli: the model has no results to move the vehicles on\n";
    return kExitModelErrors;
  }
  if (o.format == "csv") WriteMovingCsv(std::cout, envelope, doc.GetItems().m_vehicles);
  else WriteMovingJson(std::cout, envelope, doc.GetItems().m_vehicles);
  return FlushStdout();
}

int RunVehicleResults(const Options& o, const std::string& name, const std::string& front,
                      bool backward, const std::string& gap) {
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  const CSPLX_30Doc& doc = model.doc;
  if (doc.GetLastRun().errors != 0) {
    std::cerr << WithLineFeeds(doc.GetLastRun().text);
    return kExitModelErrors;
  }
  const ModelItems& items = doc.GetItems();
  const CVehicleItem* chosen = nullptr;
  for (const CVehicleItem& v : items.m_vehicles) {
    if (v.m_name == name && !chosen) chosen = &v;
  }
  if (!chosen) {
    return CannotRun(items.m_vehicles.empty()
                         ? "--vehicle " + name + ": the model has no Vehicle line"
                         : "--vehicle " + name + ": the model has no vehicle of that name; its "
                           "vehicles are " + VehicleNames(items.m_vehicles));
  }
  if (!IsValidNumber(front))
    return CannotRun("--front " + front + ": give the front axle's X as a number");
  const double unit = items.m_factors[kFactorLength];
  VehiclePosition at{static_cast<int32_t>(chosen - items.m_vehicles.data()), backward,
                     ConvertNumber(front) * unit, 0};
  if (chosen->m_nVariableGap >= 0) {
    const double low = chosen->m_spacings[static_cast<size_t>(chosen->m_nVariableGap)];
    at.gap = gap.empty() ? low : ConvertNumber(gap) * unit;
    if (!gap.empty() && (!IsValidNumber(gap) || at.gap < low || at.gap > chosen->m_dVariableMax))
      return CannotRun("--gap " + gap + ": give a length within the vehicle's variable spacing");
  } else if (!gap.empty()) {
    return CannotRun("--gap " + gap + ": vehicle " + name + " has no variable spacing");
  }
  // The vehicle alone at that position, run as a model of its own (no settlements).
  ModelItems alone = items;
  alone.m_pointLoads = VehicleAxleLoads(*chosen, at, items.m_dBeamLength);
  alone.m_uniformLoads.clear();
  alone.m_liveLoads.clear();
  alone.m_combinations.clear();
  alone.m_deflectionLimits.clear();
  alone.m_capacities.clear();
  alone.m_vehicles.clear();
  for (CSupportItem& s : alone.m_supports) s.m_dDisp = 0, s.m_dRotation = 0;
  return PrintSingleRun(o, doc.GetLines(), alone);
}

}  // namespace spanlab
