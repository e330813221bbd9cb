#pragma once
// The Shot Header Editor (dialog 116, or 145 with plain keyboard movement):
// the shot header of a record in edit fields and its receiver geometry in a
// grid of one row per trace, with geometry files, adding to and multiplying
// a column from the current row down, and generated geophone layouts
// (dialog 139). OK writes everything back, recomputes the trace spacing and
// the source-receiver distances and keeps the record's stored SEG-Y headers
// in step; Cancel leaves the record as it was.
#include <array>
#include <cstdint>
#include <span>

#include "record/ShotRecord.h"

namespace vel {

inline constexpr int kHeaderEditorDialog = 116;
inline constexpr int kHeaderEditorPlainDialog = 145;
inline constexpr int kGeophoneLayoutDialog = 139;
inline constexpr int kGeometryGrid = 1107;
inline constexpr int kLayoutGrid = 1214;
inline constexpr int kLayoutRows = 60;

/// What the editor remembers for the rest of the run: the proposals of the
/// number prompts, the layout spacing (taken from the record's trace spacing
/// whenever the editor opens while it is 0 or less), the layout type (1
/// constant spacing, 2 symmetric tapered spread, 3 asymmetric tapered
/// spread) and the spread table (rows of number of spacings and spacing).
struct HeaderEditorMemory {
  float addValue = 0.0f;
  float multiplyValue = 1.0f;
  float layoutSpacing = 0.0f;
  std::int32_t layoutType = 1;
  std::int32_t spreadRows = 0;
  std::array<std::int32_t, kLayoutRows> spreadCounts{};
  std::array<float, kLayoutRows> spreadSpacings{};
};

/// The values remembered for the run.
HeaderEditorMemory& HeaderEditorRemembered();

/// Edits REC in the Shot Header Editor until OK (IERR 0) or Cancel (IERR
/// -1, REC unchanged). LSAMPEDIT enables the sample-interval field. A
/// positive NAVINDEX loads the editor with plain keyboard movement
/// (dialog 145); NAVVALUE is the shell's shot-navigation value, passed on
/// and not used by this single-record editor.
void HEADEDITDLG(ShotRecord& REC, bool LSAMPEDIT, std::int32_t NAVINDEX, std::int32_t& NAVVALUE,
                 int& IERR);

/// Dialog 139 over the N receivers of EASTING: on OK generates eastings 2
/// to N from easting 1 by the layout chosen; NORTHING is never changed.
/// SPACING and TYPE are the remembered layout spacing and type, in and out;
/// the spread table is the remembered one. False when the window system's
/// events ended the dialog before OK or Cancel.
bool CREATEGEOMETRY(std::int32_t N, std::span<float> EASTING, std::span<float> NORTHING,
                    float& SPACING, std::int32_t& TYPE);

/// Selects dialog 139 and shows layout TYPE: its radio button, which of the
/// spacing field and the spread table can be edited, and the label under
/// the table.
void IGENSHOW(std::int32_t TYPE);

/// Generates the layout of TYPE into X (X[0] is the fixed start) from the
/// constant SPACING or from the first ROWS rows of the spread table (COUNTS,
/// SPACINGS). A tapered spread without rows changes nothing.
void GenerateLayout(std::span<float> X, std::int32_t TYPE, float SPACING,
                    std::span<const std::int32_t> COUNTS, std::span<const float> SPACINGS,
                    std::int32_t ROWS);

}  // namespace vel
