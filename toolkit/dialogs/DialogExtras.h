#pragma once
// The dialog-extras text that goes with a dialog template: what a template
// cannot say about its fields (numeric ranges, option lists, check marks,
// tab pages, grids, colours, text limits, edit descriptors, fonts, flags and
// how the dialog follows a resize). It is read into entries first
// (ParseDialogExtras, pure) and then applied to a freshly made dialog
// (ReadDialogExtras).
//
// The text is line based; a line is a section header ("[Ranges]" ...
// "[Flags]", recognised as a prefix after leading blanks) or a field line of
// the section opened last: the field identifier and the section's values,
// separated by blanks. resources/FORMAT.md lists every section.
//
// The text is hostile: a line that cannot be read (a bad number, missing
// values, a field line before any section) is passed over and noted as a
// problem with its line number; reading goes on with the next line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace res {
struct DialogTemplate;
}

namespace tk {

enum class ExtrasSection : int {
  None = 0,
  Ranges = 1,
  Menus = 2,
  Checks = 3,
  Tabs = 4,
  Grids = 5,
  Colours = 6,
  Trackbars = 7,
  Lengths = 8,
  Dialog = 9,
  Formats = 10,
  Treeviews = 11,
  Fonts = 12,
  Flags = 13,
};

/// A line longer than this is cut to it.
constexpr std::size_t kExtrasLineLimit = 1024;

/// One tab item of a "[Tabs]" entry.
struct ExtrasTabPage {
  std::int32_t page = 0;  // the page dialog's identifier (and template number)
  std::string caption;
};

/// One field line (with the lines that belong to it) of the extras text.
///   Ranges     numbers = {low, high}
///   Menus      ints = {count, initial}, lines = the options
///   Checks     ints = {state}
///   Tabs       ints = {count, initial page}, pages
///   Grids      ints = {columns, rows, column dialog[, label width]}, lines = row labels
///   Colours    ints = {r, g, b, r, g, b} (text, then background)
///   Trackbars  ints = {tic frequency, line size, page size, selection start, end}
///   Lengths    ints = {n}
///   Dialog     field = resizable; ints = {stretch field, attach} (0 when absent)
///   Formats    text = the edit descriptor
///   Treeviews  ints = {menu, initial item}
///   Fonts      ints = {points, weight, italic}, text = face
///   Flags      ints = {value}
struct ExtrasEntry {
  ExtrasSection section = ExtrasSection::None;
  int line = 0;  // 1-based line of the field line
  std::int32_t field = 0;
  std::vector<std::int32_t> ints;
  std::vector<double> numbers;
  std::string text;
  std::vector<std::string> lines;
  std::vector<ExtrasTabPage> pages;
};

struct ExtrasProblem {
  int line = 0;
  std::string message;
};

struct DialogExtras {
  std::vector<ExtrasEntry> entries;  // in the order of the text
  std::vector<ExtrasProblem> problems;
};

/// The section a line opens (after its leading blanks), or None.
ExtrasSection ExtrasSectionOf(std::string_view line);
/// Compares A and B up to the first difference or the end of either:
/// 0 when one is a prefix of the other, else the difference of the differing
/// characters (as signed characters).
int SectionPrefixCompare(std::string_view a, std::string_view b);

/// Reads TEXT (up to its first NUL). TEMPLATE, when given, tells which grid
/// fields carry row-label lines after their "[Grids]" entry (the grid style
/// 0x400 without 0x80), so that those lines are skipped with the entry.
/// Returns false when a problem was noted; the entries read are kept.
bool ParseDialogExtras(std::string_view text, DialogExtras& out,
                       const res::DialogTemplate* dialogTemplate = nullptr);

/// "line N: message" for each problem, one per line.
std::string DescribeExtrasProblems(const DialogExtras& extras);

}  // namespace tk
