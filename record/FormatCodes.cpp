#include "record/FormatCodes.h"

namespace vel {

std::string_view ToString(FileFormatCode code) {
  switch (code) {
    case kFormatCannotOpen:
      return "cannot open";
    case kFormatUnknown:
      return "unknown";
    case kFormatAbem:
      return "ABEM";
    case kFormatBison1:
      return "BISON-1";
    case kFormatBison2:
      return "BISON-2";
    case kFormatEgg985:
      return "EG&G";
    case kFormatEgg1197:
      return "EG&G (1197-byte header)";
    case kFormatEggGeometrics2401:
      return "EG&G Geometrics 2401";
    case kFormatOyo:
      return "OYO";
    case kFormatScintrexS2:
      return "SCINTREX S-2 Echo";
    case kFormatSeg2:
      return "SEG-2";
    case kFormatSegy:
      return "SEG-Y";
    case kFormatMultiplexedTf:
      return "multiplexed .TF";
    case kFormatDolang:
      return "DOLANG";
    case kFormatFpx:
      return "FPX";
    case kFormatSuspens:
      return "SUSPENS";
    case kFormatRx2:
      return "RX2";
    case kFormatAnt:
      return "ANT";
    case kFormatDcf:
      return "DCF";
  }
  return "invalid";
}

}  // namespace vel
