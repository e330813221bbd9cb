#pragma once
// What the grid's file, sort and find routines share: the checked grid of a
// routine and the clamping of its 1-based bounds.
#include <algorithm>
#include <optional>
#include <string_view>

#include "toolkit/core/Errors.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk {

/// The grid FIELD names, after the current-dialog test (1005) and the grid
/// test (1006), both reported under NAME; null after a report.
inline GridRecord* RoutineGrid(int field, std::string_view name) {
  if (GridNeedsDialog(field, name)) return nullptr;
  GridRecord* g = FindGrid(field);
  if (g == nullptr) ReportLibraryError(kErrBadField, name);
  return g;
}

/// A 1-based range within 1..COUNT: an absent or smaller first bound is 1,
/// an absent or larger last bound is COUNT.
struct GridSpan {
  int first = 1;
  int last = 0;
};
inline GridSpan ClampSpan(std::optional<int> first, std::optional<int> last, int count) {
  GridSpan s;
  s.first = std::max(1, first.value_or(1));
  s.last = std::min(count, last.value_or(count));
  return s;
}

}  // namespace tk
