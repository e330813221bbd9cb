#include "record/FreshRecord.h"

#include <array>
#include <utility>

namespace vel {

ShotRecord FreshRecord(ShotRecord& HELD, ReadStart START) {
  ShotRecord fresh;
  switch (START) {
    case ReadStart::Spacing:
      fresh.SPACING = HELD.SPACING;
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
