#include "shell/ShotHeaderFields.h"

#include "shell/DialogHelpers.h"

namespace vel {

void GetShotHeaderFields(ShotRecord& REC) {
  GetIntegerIfSet(kHeaderShotNumber, REC.ISHOT);
  GetRealIfSet(kHeaderSampleInterval, REC.SAMPINT);
  GetRealIfSet(kHeaderUphole, REC.TUPHOLE);
  GetRealIfSet(kHeaderDelay, REC.TDELAY);
  GetRealIfSet(kHeaderShotEasting, REC.SHOTX);
  GetRealIfSet(kHeaderShotNorthing, REC.SHOTY);
  GetRealIfSet(kHeaderShotElevation, REC.SHOTELEV);
  GetRealIfSet(kHeaderShotDepth, REC.SHOTDEPTH);
}

}  // namespace vel
