#pragma once
// Sorting the rows of a grid field by one column, and finding a text in its
// cells. Reports go through the error reporter under "WGridSort" or
// "WGridFind": 1005 no current dialog, 1006 no such grid, 1017 a sort
// column outside the grid.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tk {

/// Options of WGridSort.
enum GridSortFlags : std::int32_t {
  kSortDescending = 1,
  kSortFoldCase = 2,
  kSortMoveLabels = 4,
};

/// Options of WGridFind.
enum GridFindFlags : std::int32_t {
  kFindContinue = 1,  // start after the current cell
  kFindFoldCase = 2,
  kFindNumbers = 4,   // search integer, real and double columns too
};

/// Puts rows FIRSTROW..LASTROW (limited to the rows in use) in the order of
/// COLUMN's keys; cells without value go last either way.
void WGridSort(int field, int column, std::optional<int> flags = std::nullopt,
               std::optional<int> firstRow = std::nullopt,
               std::optional<int> lastRow = std::nullopt);

/// Searches the range column after column, each from top to bottom, for
/// TEXT (every character counts) within the cells' texts padded with
/// blanks to their column's length; the first match becomes the current
/// cell and FOUND -1, else FOUND 0.
void WGridFind(int field, std::string_view text, std::optional<int> flags = std::nullopt,
               std::int32_t* found = nullptr, std::optional<int> firstColumn = std::nullopt,
               std::optional<int> lastColumn = std::nullopt,
               std::optional<int> firstRow = std::nullopt,
               std::optional<int> lastRow = std::nullopt);

}  // namespace tk
