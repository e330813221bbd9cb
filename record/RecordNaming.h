#pragma once
// The one rule that names a record after the file it comes from, used by the
// imports, the command line, Open and Save As.
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

/// The record name of the file FNAME (as the caller has it: bare or with its
/// folder, blank-padded or not): the bare name (everything after the last
/// "/" or "\"), its first 32 characters, blanked from the first "." on.
/// "data/LINE7.SG2.bak" gives "LINE7".
RecordName RecordNameOfFile(std::string_view FNAME);

}  // namespace vel
