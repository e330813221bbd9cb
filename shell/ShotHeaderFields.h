#pragma once
// The fields of a shot header as both Shot Header Editors show them: the
// full editor (dialogs 116 and 145) and the one of a non-compliant SEG-Y
// read (dialog 126) use the same field identifiers.

#include "record/ShotRecord.h"

namespace vel {

enum ShotHeaderField : int {
  kHeaderSampleInterval = 1099,
  kHeaderDelay = 1100,
  kHeaderUphole = 1101,
  kHeaderShotNumber = 1102,
  kHeaderShotEasting = 1103,
  kHeaderShotElevation = 1104,
  kHeaderTraces = 1105,
  kHeaderSamples = 1106,
  kHeaderShotDepth = 1111,
  kHeaderShotNorthing = 1208,
  kHeaderAuxTraces = 1227,
};

/// Reads the shot number, the times and the shot position of the current
/// dialog into REC; a blank field keeps its value.
void GetShotHeaderFields(ShotRecord& REC);

}  // namespace vel
