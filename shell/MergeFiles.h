#pragma once
// File > Merge Files: reads several trace files, one record each, and writes
// one output file per trace position i, whose trace j is trace i of the j-th
// file chosen. A set of shot files thus becomes a set of common-channel
// gathers. SUSPENS files, of up to six component traces, give outputs named
// after the components (H1, H1R, V1, H2, H2R, V2).
//
// Every input is read into a record of its own; the gather is built in the
// shell's second record, started afresh for each merge. Every input must
// read as one record with traces before anything is written. The current
// record, the window and the loaded state are not touched, apart from
// closing the refraction window; all records are released when the command
// ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/ShotRecord.h"

namespace vel {

struct Velloran;

inline constexpr int kCommandMerge = 40012;

/// The records of the files being merged, in the order chosen.
using MergeInputs = std::vector<ShotRecord>;

/// The output name proposed for inputs in FOLDER whose first is FIRSTNAME:
/// that name without its folder, cut before its first ".", in FOLDER.
std::string MergeProposedOutput(const std::string& folder, std::string_view firstName);

/// How many leading characters of the output name OUTPUTNAME (blank-padded
/// or not) form the stem: those before the first "." of its file-name part
/// (after its last "/" or "\"), or its used length when that part holds no
/// ".". A "." in a folder plays no part.
std::size_t MergeStemLength(std::string_view outputName);

/// The seven characters that follow the stem in the name of component I:
/// for SUSPENS inputs the component name and ".SG2", blank-padded ("H1.SG2 ",
/// "H1R.SG2", ...); otherwise I in three digits with leading zeros ("***"
/// from 1000 on) and ".SGY" when SEGY, else ".SG2".
std::string MergeSuffix(std::int32_t i, bool suspens, bool segy);

/// OUTPUTNAME with the seven characters after its first STEMLENGTH replaced
/// by SUFFIX; the characters beyond them stay behind it. Trailing blanks are
/// cut.
std::string MergeOutputName(std::string_view outputName, std::size_t stemLength,
                            std::string_view suffix);

/// Gathers trace I of every input into MERGED, which holds one trace per
/// input and the largest sample count: trace J becomes trace I of input J,
/// with all its per-trace values but its type text, its column zeroed to
/// MERGED's length before the input's samples go in. The header comes from
/// the first input, the shot northing from the last; each trace's maximum
/// and the record's range follow the samples.
void GatherComponent(ShotRecord& merged, const MergeInputs& inputs, std::int32_t i);

/// The handler of the command table (40012).
void MergeFilesCommand(Velloran& app);

}  // namespace vel
