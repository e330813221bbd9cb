#pragma once
// Reads into a record go through a fresh record that replaces the one held
// only when the read succeeds, so a failed, refused or cancelled read leaves
// the record, its name and everything shown from it as they were. The fresh
// record starts from the defaults, with the values a reader is meant to keep
// from the record held copied over first.
#include <functional>

#include "record/ShotRecord.h"

namespace vel {

/// What a fresh record takes over from the record held.
enum class ReadStart {
  /// The trace spacing (a file without receiver positions keeps it) and the
  /// NMO and refractor values (`T0NMO`, `VNMO`, `T0REF`, `VREF`), which no
  /// reader sets.
  Spacing,
  /// Every value but the per-trace arrays: a reader that fills some header
  /// values and leaves the others as they were.
  Scalars,
  /// The values of the 124-byte main header, without the SEG-Y headers: the
  /// header a user-described import starts from.
  MainHeader,
};

/// A record with the defaults and what START takes over from HELD. HELD ends
/// as it began (its arrays are set aside while its scalars are copied, so
/// nothing of their size is allocated).
ShotRecord FreshRecord(ShotRecord& HELD, ReadStart START);

/// Runs READ on a fresh record started from REC as START says; when READ
/// returns true the fresh record replaces REC. Returns READ's answer.
bool ReadThenCommit(ShotRecord& REC, ReadStart START,
                    const std::function<bool(ShotRecord& fresh)>& READ);

}  // namespace vel
