#pragma once
// The picking dialogs: "Automatic Picking Parameters" (PARMPK) with its four
// tab pages, "Wavelet Parameters" (WAVEPARMDLG), and the four training
// dialogs that edit the parameter ranges of a training session
// (PickTrainingRanges), which no command of the program opens.
#include <cstdint>

#include "display/Pickers.h"

namespace vel {

/// Dialog identifiers.
inline constexpr int kPickParametersDialog = 106;
inline constexpr int kPickParametersTab = 1036;
inline constexpr int kRepickNowButton = 1037;
inline constexpr int kSimplePage = 103;
inline constexpr int kHatherlyPage = 104;
inline constexpr int kBoxPage = 105;
inline constexpr int kWaveletPage = 109;
inline constexpr int kWaveletParametersDialog = 149;
inline constexpr int kSimpleTrainingDialog = 107;
inline constexpr int kHatherlyTrainingDialog = 111;
inline constexpr int kBoxTrainingDialog = 119;
inline constexpr int kWaveletTrainingDialog = 120;
inline constexpr int kBoxTrainingCountField = 1146;

/// Edits the four groups of PARS on the pages of dialog 106, opening the
/// page PAGE (the one left open last time; 103 at first). OK and "Repick
/// Now" store every field (fractions shown x 100 and divided by 100 again;
/// a blank field stores -999, -9.99 for a fraction) and remember the open
/// page in PAGE; OK sets METHOD 0, "Repick Now" the picker of the open page
/// (1-4). Cancel changes nothing, METHOD 0, STATUS -1; else STATUS 0.
void PARMPK(PickParameters& PARS, std::int32_t& METHOD, std::int32_t& STATUS,
            std::int32_t& PAGE);

/// Dialog 149: TAPER in "Apply Cosine Taper", NORMALISE in "Normalize
/// Wavelet"; OK reads both back (STATUS 0), Cancel changes nothing (-1).
void WAVEPARMDLG(bool& TAPER, bool& NORMALISE, std::int32_t& STATUS);

/// A start, end and increment.
struct TrainingRange {
  float start = 0.0f;
  float end = 0.0f;
  float increment = 0.0f;
};
struct TrainingIntegerRange {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t increment = 0;
};

/// The parameter ranges of a training session, with their start values.
/// Fractions are kept as fractions (the dialogs show them x 100).
struct PickTrainingRanges {
  TrainingRange svMinInc{0.001f, 0.06f, 0.003f};
  TrainingRange svSpike{0.003f, 0.1f, 0.006f};
  TrainingRange svPulse{3.0f, 30.0f, 2.0f};
  TrainingRange hlyNoise{0.0001f, 0.3f, 0.001f};
  TrainingRange wvMinAmp{0.01f, 1.0f, 0.05f};
  TrainingRange wvGrowth{2.0f, 8.0f, 1.0f};
  TrainingRange wvSide{0.001f, 0.5f, 0.05f};
  TrainingRange bxPerMin{5.0f, 10.0f, 5.0f};
  TrainingRange bxPerMax{15.0f, 25.0f, 5.0f};
  TrainingIntegerRange bxSteps{5, 15, 5};
  TrainingIntegerRange bxMaxima{10, 20, 5};
  bool bxPowerStart = false;
  bool bxPowerEnd = true;
  bool bxAverageStart = false;
  bool bxAverageEnd = true;
  TrainingRange bxAvgPct{5.0f, 30.0f, 5.0f};
  TrainingRange bxThresh{5.0f, 30.0f, 5.0f};
  TrainingRange bxTol{5.0f, 25.0f, 5.0f};
  TrainingIntegerRange bxCycles{0, 2, 1};
};

/// The number of box-picker parameter combinations of R: the product over
/// the real and integer rows (not the cycles) of (end - start) / increment
/// + 1, doubled when the power start and end differ and again when the
/// average start and end differ.
float BoxTrainingCount(const PickTrainingRanges& R);

/// The modal training dialogs 107, 111 and 120: OK reads the fields back
/// (STATUS 0), Cancel changes nothing (-1).
void SVTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS);
void HLYTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS);
void WVTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS);
/// Dialog 119, run in its own loop: 10 ms after it shows, and after every
/// field change, field 1146 shows the number of combinations of the fields
/// as they stand. OK reads the fields back (STATUS 0), Cancel -1.
void BXTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS);

}  // namespace vel
