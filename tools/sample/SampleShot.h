#pragma once
// A synthetic refraction shot for a first run of the program: a line of
// geophones beside a surface shot over one layer on a faster half-space. Each
// trace holds the direct wave and, past the critical distance, the head wave
// from the refractor, with a little noise, so the first arrival is plain.
#include <string>

#include "record/ShotRecord.h"

namespace sample_shot {

/// The ground and the spread the shot is made over.
struct Model {
  int traces = 36;              // geophones
  float spacing = 2.5f;         // m between geophones; the first is one spacing from the shot
  float upperVelocity = 600.0f;   // m/s, the layer
  float lowerVelocity = 2400.0f;  // m/s, the refractor below it
  float depth = 6.0f;           // m, thickness of the layer under the spread
  float sampleInterval = 0.25f;  // ms
  int samples = 512;
};

/// Time (ms) of the first arrival at OFFSET metres from the shot: the direct
/// wave or the head wave, whichever comes first.
double FirstArrival(const Model& m, double offset);

/// Fills REC with the shot over M (traces, geometry, headers).
void Make(vel::ShotRecord& rec, const Model& m = {});

/// Writes the shot as a SEG-2 file at PATH with the program's own writer;
/// false (WHY says why) when it could not be written.
bool Write(const std::string& path, std::string& why, const Model& m = {});

}  // namespace sample_shot
