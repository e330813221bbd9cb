#pragma once
// Text result files the shell keeps open for appending between saves: the
// NMO, refractor and refraction-interpretation lines.
#include <cstdio>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

/// One result file kept open for appending: the open file (nullptr while
/// closed) and its name.
struct ResultFile {
  std::FILE*& file;
  std::string& name;
};

/// Appends LINE (CR LF added) to the result file. While it is closed, asks
/// for a file with TITLE (the filter is TITLE + "|*.TXT|", FLAGS the
/// selection flags, REC's proposed name), opens it for appending (created
/// when missing) and writes HEADER first when the file did not exist. A
/// cancelled dialog or blank name writes nothing. A file that cannot be
/// opened gives "Cannot open file " + the name (256 characters) + "Be sure
/// file is not Read-Only"; a failed write gives "Error writing to file " +
/// the name and closes the file, so that the next save asks again. True when
/// the line was written.
bool AppendResultLine(ResultFile out, const ShotRecord& REC, std::string_view title, int flags,
                      std::string_view header, std::string line);

/// Closes the result file when it is open.
void CloseResultFile(ResultFile out);

}  // namespace vel
