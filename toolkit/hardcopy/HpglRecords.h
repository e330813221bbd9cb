#pragma once
// The record layer of the HP-GL plotter and HP-GL/2 printer drivers: one
// 50-character command record built in place and written with its blank runs
// collapsed, points in plotter units, labels, raw records and the annotation
// records that describe filled shapes, colours and page ends to a later
// reader of the file. Everything goes to plot-file stream 2, one record per
// line ended by CR LF.
//
// Plotter units: a core device point (x, y) becomes (trunc(FactorX x),
// trunc(FactorY y)); both drivers make the drawable span 0..32760 on both
// axes of the scaling "SC0 32760 0 32760".
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/graphics/Drivers.h"

namespace tk {

inline constexpr int kCommandRecordLength = 50;
/// The working scaling every annotation group restores.
inline constexpr std::string_view kWorkingScaling = "SC0 32760 0 32760";

/// The record being built (50 characters, blank-padded).
std::string& CommandRecord();
/// CommandRecord := TEXT, blank-padded or cut to 50 characters.
void CommandRecordSet(std::string_view text);
/// Places FIELD into CommandRecord from character POSITION (1-based); what
/// would pass character 50 is dropped.
void CommandRecordPut(int position, std::string_view field);

/// Blank collapsing of TEXT(1:N): the first two characters as they stand,
/// then every blank run after them dropped where it leads or trails and
/// turned into one blank inside.
std::string CollapseBlanks(std::string_view text, int n);

/// Writes CommandRecord, its content length being its length without
/// trailing blanks, collapsed, after one blank byte when RecordLeadIn is 1.
void YYHPREC();
/// CommandRecord := TEXT(1:N); written as YYHPREC does with content length N.
void YYHPCMD(std::string_view text, int n);
/// The two-letter MNEMONIC with the point (X, Y) in plotter units (2I6):
/// "PU" at (120, 3400) reads "PU120 3400".
void YYHPXY(std::string_view mnemonic, float x, float y);
/// " LB" (RecordLeadIn 1) or "LB", then TEXT(1:N) unchanged and CR LF.
void YYHPLB(std::string_view text, int n);
/// One blank byte when RecordLeadIn is 1, then TEXT(1:N) unchanged and CR LF.
void YYHPRAW(std::string_view text, int n);

// Annotation records: written only while hardcopy option 18 is non-zero.
/// The vertex record "SC-9 x y 0" of a point in plotter units.
void YYHPVTX(float x, float y);
/// The vertex record of two unscaled values in F10.4 (a pie's angles).
void YYHPVTXR(float a, float b);
/// "SC-" with K, A, B and C + 32760 ("(I1,I9,2I6)" for K = 1, "(I1,3I6)"
/// below 10, "(I2,3I6)" otherwise), then with CLOSE " ;SC0 32760 0 32760".
void YYHPNOTE(int k, bool close, int a, int b, int c);

/// The annotation kind of each fill operation (5, 7, 9, 11, 13, 15); 0 otherwise.
int FillAnnotationKind(int op);

/// trunc(FactorX X) and trunc(FactorY Y): plotter units of a device point.
std::int32_t PlotterUnitX(float x);
std::int32_t PlotterUnitY(float y);
/// VALUE right-justified in WIDTH characters; a value that needs more is
/// written in full.
std::string IntegerField(std::int64_t value, int width);
/// VALUE through the edit descriptor FORMAT ("(F7.1)"); stars when it does not fit.
std::string RealField(double value, std::string_view format);

/// Begin of a plot-file driver: keeps the toolkit's last error code, opens
/// stream 2 on the name in DriverText, turns hardcopy output off and answers
/// false when the open failed, otherwise restores the kept code.
bool OpenPlotOutput();

/// The scaling points of a plot of options 1-4 (points) at U plotter units
/// per point: P1 at the offsets (options 3, 4), P2 past the size (1, 2).
struct ScalingPoints {
  std::int32_t p1x = 0, p1y = 0, p2x = 0, p2y = 0;
};
ScalingPoints PlotScalingPoints(double u);

/// The isotropic scaling record of circles and arcs: the working scaling
/// with one axis stretched so that a circle stays round on a plot area of
/// option 1 x option 2 points drawn at the graphics state's plot-area
/// fractions, for an ellipse whose y radius is RATIO times its x radius.
/// RADIUS_SCALE and CENTRE_X_SCALE/CENTRE_Y_SCALE are what the radius and
/// the centre's coordinates must be multiplied by under it.
struct IsotropicScaling {
  double radiusScale = 1, centreXScale = 1, centreYScale = 1;
};
IsotropicScaling WriteIsotropicScaling(float ratio);

/// The arc of operation 34 and the pie of operation 13 (operands in
/// DriverParams: centre X(1), Y(1), radii X(2), Y(2), start and end angle
/// X(3), Y(3) in radians, start angle X(4) and sweep Y(4) in degrees). The
/// plotter's form; the HP-GL/2 form differs in PEN_DOWN ("PD;") and in a
/// comment written right after the first pen-up record (AFTER_PEN_UP).
struct ArcForm {
  std::string_view penDown = "PD";
  void (*afterPenUp)() = nullptr;
};
void YYHPARC(int op, const ArcForm& form = {});

/// "IW" with the graphics state's clip rectangle on the plot area between
/// the scaling points P at U plotter units per point, framed by "SC" and the
/// working scaling.
void WriteClipWindow(double u, const ScalingPoints& p);

/// The header records "IN; IP" and "RO90; IP" or "RO0; IP", each with the
/// scaling points in 4I7.
void WriteInitialisation(bool rotate, const ScalingPoints& p);

// --- What both drivers draw alike ------------------------------------------

/// YYHPCMD of the whole of TEXT.
void WriteCommand(std::string_view text);

/// The descriptor entries both drivers share: spooling, a text-angle
/// step of one degree, no true colour, gradients, device underline;
/// DEVICE_STRING_TEXT; the default file name "parvplot.plt".
void DescribePlotFileDriver(std::int32_t deviceStringText);

/// "PU" to (X, Y) unless the last pen position is there.
void PenUpUnlessAt(float x, float y);
/// Line (2) or point (26): the pen up to point 1 unless it is there, down
/// to point 2 (a point: to point 1 again); the pen stays at the end.
void WriteLineOperation(DriverOperation op);
/// The trapezium (7), rectangle (9) and triangle (11) filled by the device:
/// polygon mode with "FP", or "RA" for the rectangle; the pen stays at point 1.
void WriteDeviceFilledShape(int op);
/// The ellipse (5): "PU" at its centre, AFTER_PEN_UP, the isotropic
/// scaling, with FILLED polygon mode around "CI", then the working scaling.
void WriteCircle(bool filled, void (*afterPenUp)());
/// "LT" with the entry of TABLE for the graphics state's line type 0-7.
void WriteLineType(const std::array<std::string, 8>& table);
/// "DI" with the text direction.
void WriteTextDirection();
/// Where a label starts: the text operation's point moved along and across
/// the text by the offsets of the text font (0.22 and 0.22 for font 0, 0 and
/// 0.3 otherwise) so that the label's origin meets the character cell.
void LabelAnchor(float& x, float& y);

}  // namespace tk
