#pragma once
// The selected wavelet drawn against time in an 8 by 6 frame, as the wavelet
// window and its printout show it: SCALEWAVE sets the frame up, PLOTWAVE
// draws frame, axes and wavelet into the current window or hardcopy page
// (the caller starts the page).
#include <cstdint>
#include <span>

#include "support/GraphAxes.h"

namespace vel {

/// Frame of wavelet W(1..N) at interval DT ms: time 0..(N - 1) DT across,
/// the amplitude range upwards, origin (1.25, 1.25), bottom, left and right
/// axes labelled. N < 1: "NO SAMPLES AVAILABLE FOR SCALING" and no change.
void SCALEWAVE(std::span<const float> W, float DT, std::int32_t N, sup::GraphAxes& AXES);

/// Draws the frame (interior pen 15, frame and label pen 2), the label
/// "Travel Time (ms)" under the bottom axis and the wavelet in pen 4, sample
/// k at time (k - 1) DT, the time advanced by addition. With fewer than one
/// sample (or none in W) the wavelet is not drawn and no sample is read.
void PLOTWAVE(std::span<const float> W, float DT, std::int32_t N, sup::GraphAxes& AXES);

}  // namespace vel
