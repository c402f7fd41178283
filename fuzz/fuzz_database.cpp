// The material and section database reader on any bytes, with the trees of both unit systems
// and the values of their entries.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "edit/property_database.h"
#include "fuzz/fuzz_common.h"

namespace {

void VisitValues(const std::vector<spanlab::DatabaseNode>& nodes) {
  for (const spanlab::DatabaseNode& node : nodes) {
    if (node.selectable) spanlab::DatabaseEntryValue(node.text);
    VisitValues(node.children);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spanlab;
  fuzz::MemoryFileAccess files(std::string_view(reinterpret_cast<const char*>(data), size));
  DatabaseDocument doc;
  if (!LoadDatabase(files, "SPLX.mat", doc).ok()) return 0;
  for (DatabaseKind kind : {DatabaseKind::kMaterial, DatabaseKind::kSection}) {
    for (int units : {1, 2}) VisitValues(BuildDatabaseTree(doc, kind, units));
  }
  for (const std::string& line : doc.m_dbLines) DatabaseIconForCategory(line);
  return 0;
}
