#pragma once
// Drawing inside a GraphAxes frame: the frame with ticks and labelled axes,
// data series as clipped polylines or markers, dashed lines, clipped pen
// moves, clipped rectangle fills and number labels. Positions handed to the
// pen plotter are relative to the frame origin: the caller first makes the
// frame origin the pen origin with PLOTXY(XORIGIN, YORIGIN, -3, AXES).
#include <span>
#include <string>

#include "support/GraphAxes.h"

namespace sup {

/// The frame, its division ticks and the labelled axes AXES selects; the
/// drawn extents go to XDRAWNMIN, XDRAWNMAX, LABELBOTTOM and NXDIV, NYDIV are
/// stored back as absolute values.
void GNGRID(GraphAxes& AXES);

/// Horizontal and vertical linear axes: ticks of length T from (X0, Y0) at
/// every CELL for NDIV divisions, labels START + j STEP (START * STEP^j when
/// NMINOR <= 0), NMINOR minor intervals, label size H.
void LNHAX(float X0, float Y0, float T, float START, float STEP, float CELL, float H, int NMINOR,
           int NDIV, GraphAxes& AXES);
void LNVAX(float X0, float Y0, float T, float START, float STEP, float CELL, float H, int NMINOR,
           int NDIV, GraphAxes& AXES);
/// Logarithmic axes of NDIV decades from exponent E0, decade length CELL:
/// horizontal along y = Y0 from x = 0, vertical along x = X0 from y = 0.
void LGHAX(float Y0, float T, int E0, int NDIV, float CELL, float H, GraphAxes& AXES);
void LGVAX(float X0, float T, int E0, int NDIV, float CELL, float H, GraphAxes& AXES);

/// N data points as a clipped polyline (LSYMB false; the pen lifts at
/// missing values and where x turns back) or as markers (LSYMB true).
/// Clipping to the frame stays on afterwards.
void GNPLOT(std::span<const float> X, std::span<const float> Y, int N, bool LSYMB, GraphAxes& AXES);
/// Marker IMARKER of half-sizes W, H centred on (X, Y) in plot units.
void BOX(float X, float Y, float W, float H, bool ALT, GraphAxes& AXES);

/// A dashed polyline through N points in plot units relative to the origin.
void DS_PLOTPL(std::span<const float> X, std::span<const float> Y, int N, float DASH, float GAP,
               GraphAxes& AXES);

/// PLOTXY with lines cut to the clip window while clipping is on.
void PLOTCP(float X, float Y, int IPEN, GraphAxes& AXES);
/// Sets the clip window and switches clipping on.
void PCLIP(float XMIN, float XMAX, float YMIN, float YMAX);
/// Switches clipping off; DS_PLOTPL then clips nothing.
void PCLIPOFF();
/// Whether clipping is on.
bool PClipOn();
/// Cuts a segment to the rectangle in place; L true when a part remains
/// (the ends change only then).
void CLIPLN(float& X1, float& Y1, float& X2, float& Y2, float XMIN, float XMAX, float YMIN,
            float YMAX, bool& L);

/// Fills a rectangle (plot units relative to the origin) in colour ICOL after
/// limiting it to the frame's clip limits; W receives the width.
void GNFILL(float& X1, float& Y1, float& X2, float& Y2, float& W, int ICOL, GraphAxes& AXES);
/// Pen move and draw to a data point.
void GN_MOVE(float X, float Y, GraphAxes& AXES);
void GN_DRAW(float X, float Y, GraphAxes& AXES);

/// V with NDEC decimals (at most 9) as text of at most NW characters; NDEC
/// returns its length. A negative NDEC gives no decimal point.
void MAKNUM(float V, std::string& STR, int NW, int& NDEC);
/// Draws V with SYMBOL.
void NUMBER(float X, float Y, float H, float V, float ANG, int NDEC);
/// Decimals for an axis label of V.
int JSIG(float V);

}  // namespace sup
