#pragma once
// Record types and constants of the Windows metafile (16-bit records) and
// enhanced metafile (32-bit records) formats, as the published format
// documents give them; shared by the writer and the player.
#include <cstddef>
#include <cstdint>

namespace tk::metafile {

// Windows metafile: an 18-byte header, then records of (size in words,
// function, parameters).
inline constexpr int kWmfHeaderSize = 18;
inline constexpr int kMetaEof = 0x0000;
inline constexpr int kMetaSetBkColor = 0x0201;
inline constexpr int kMetaSetBkMode = 0x0102;
inline constexpr int kMetaSetMapMode = 0x0103;
inline constexpr int kMetaSetRop2 = 0x0104;
inline constexpr int kMetaSetPolyFillMode = 0x0106;
inline constexpr int kMetaSetTextColor = 0x0209;
inline constexpr int kMetaSetWindowOrg = 0x020B;
inline constexpr int kMetaSetWindowExt = 0x020C;
inline constexpr int kMetaSetViewportOrg = 0x020D;
inline constexpr int kMetaSetViewportExt = 0x020E;
inline constexpr int kMetaSaveDc = 0x001E;
inline constexpr int kMetaRestoreDc = 0x0127;
inline constexpr int kMetaSetTextAlign = 0x012E;
inline constexpr int kMetaSelectObject = 0x012D;
inline constexpr int kMetaDeleteObject = 0x01F0;
inline constexpr int kMetaLineTo = 0x0213;
inline constexpr int kMetaMoveTo = 0x0214;
inline constexpr int kMetaCreatePenIndirect = 0x02FA;
inline constexpr int kMetaCreateFontIndirect = 0x02FB;
inline constexpr int kMetaCreateBrushIndirect = 0x02FC;
inline constexpr int kMetaPolygon = 0x0324;
inline constexpr int kMetaPolyline = 0x0325;
inline constexpr int kMetaIntersectClipRect = 0x0416;
inline constexpr int kMetaEllipse = 0x0418;
inline constexpr int kMetaRectangle = 0x041B;
inline constexpr int kMetaSetPixel = 0x041F;
inline constexpr int kMetaTextOut = 0x0521;
inline constexpr int kMetaArc = 0x0817;
inline constexpr int kMetaPie = 0x081A;
inline constexpr int kMetaExtTextOut = 0x0A32;
inline constexpr int kMetaStretchDib = 0x0F43;

// Enhanced metafile: records of (type, size in bytes, parameters), each a
// multiple of 4 bytes, the first a header.
inline constexpr std::uint32_t kEmrHeader = 1;
inline constexpr std::uint32_t kEmrPolygon = 3;
inline constexpr std::uint32_t kEmrPolyline = 4;
inline constexpr std::uint32_t kEmrSetWindowExtEx = 9;
inline constexpr std::uint32_t kEmrSetWindowOrgEx = 10;
inline constexpr std::uint32_t kEmrSetViewportExtEx = 11;
inline constexpr std::uint32_t kEmrSetViewportOrgEx = 12;
inline constexpr std::uint32_t kEmrEof = 14;
inline constexpr std::uint32_t kEmrSetPixelV = 15;
inline constexpr std::uint32_t kEmrSetMapMode = 17;
inline constexpr std::uint32_t kEmrSetBkMode = 18;
inline constexpr std::uint32_t kEmrSetPolyFillMode = 19;
inline constexpr std::uint32_t kEmrSetRop2 = 20;
inline constexpr std::uint32_t kEmrSetTextAlign = 22;
inline constexpr std::uint32_t kEmrSetTextColor = 24;
inline constexpr std::uint32_t kEmrSetBkColor = 25;
inline constexpr std::uint32_t kEmrMoveToEx = 27;
inline constexpr std::uint32_t kEmrIntersectClipRect = 30;
inline constexpr std::uint32_t kEmrSaveDc = 33;
inline constexpr std::uint32_t kEmrRestoreDc = 34;
inline constexpr std::uint32_t kEmrSelectObject = 37;
inline constexpr std::uint32_t kEmrCreatePen = 38;
inline constexpr std::uint32_t kEmrCreateBrushIndirect = 39;
inline constexpr std::uint32_t kEmrDeleteObject = 40;
inline constexpr std::uint32_t kEmrEllipse = 42;
inline constexpr std::uint32_t kEmrRectangle = 43;
inline constexpr std::uint32_t kEmrArc = 45;
inline constexpr std::uint32_t kEmrPie = 47;
inline constexpr std::uint32_t kEmrLineTo = 54;
inline constexpr std::uint32_t kEmrExtSelectClipRgn = 75;
inline constexpr std::uint32_t kEmrStretchDiBits = 81;
inline constexpr std::uint32_t kEmrExtCreateFontIndirectW = 82;
inline constexpr std::uint32_t kEmrExtTextOutW = 84;
inline constexpr std::uint32_t kEmrExtCreatePen = 95;
inline constexpr std::uint32_t kEmrGradientFill = 118;

inline constexpr int kEmfHeaderSize = 108;           // with both header extensions
inline constexpr std::uint32_t kEmrExtTextOutFixed = 76;   // record before its string
inline constexpr std::uint32_t kEmrStretchDiBitsFixed = 80;  // record before its bitmap
inline constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
inline constexpr std::size_t kFaceNameChars = 32;
inline constexpr std::uint32_t kGradientFillTriangle = 2;
inline constexpr std::uint32_t kStockObject = 0x80000000u;

// Pen styles, brush styles, text alignment, region mode.
inline constexpr int kPsSolid = 0, kPsDash = 1, kPsDot = 2, kPsDashDot = 3, kPsDashDotDot = 4,
                     kPsNull = 5, kPsUserStyle = 7;
inline constexpr int kPsStyleMask = 0x0F;
inline constexpr int kPsEndcapSquare = 0x100, kPsJoinBevel = 0x1000, kPsGeometric = 0x10000;
inline constexpr int kBsSolid = 0, kBsNull = 1, kBsHatched = 2;
inline constexpr int kTaTop = 0, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;
inline constexpr int kRgnCopy = 5;

}  // namespace tk::metafile
