#include "record/FreshRecord.h"

#include <array>
#include <utility>

namespace vel {

ShotRecord FreshRecord(ShotRecord& HELD, ReadStart START) {
  ShotRecord fresh;
  switch (START) {
    case ReadStart::Spacing:
      fresh.SPACING = HELD.SPACING;
      // No reader sets the NMO curve or the refractor line: they are the
      // user's and stay as they were.
      fresh.T0NMO = HELD.T0NMO;
      fresh.VNMO = HELD.VNMO;
      fresh.T0REF = HELD.T0REF;
      fresh.VREF = HELD.VREF;
      break;
    case ReadStart::Scalars: {
      // Copying a record whose arrays are empty copies its scalars alone; the
      // held record's arrays are moved aside for the copy and moved back.
      ShotRecord arrays = std::move(HELD);
      ReleaseTraceArrays(HELD);
      fresh = HELD;
      HELD = std::move(arrays);
      break;
    }
    case ReadStart::MainHeader: {
      std::array<std::byte, kMainHeaderBytes> header{};
      if (WriteMainHeader(HELD, header)) (void)ReadMainHeader(fresh, header);
      fresh.LSEGYHDR = false;
      break;
    }
  }
  return fresh;
}

bool ReadThenCommit(ShotRecord& REC, ReadStart START,
                    const std::function<bool(ShotRecord& fresh)>& READ) {
  ShotRecord fresh = FreshRecord(REC, START);
  if (!READ(fresh)) return false;
  REC = std::move(fresh);
  return true;
}

}  // namespace vel
