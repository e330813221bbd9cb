#pragma once
// Help files and documents: opened with the desktop's opener (xdg-open), a
// web page or address in the user's browser, a topic as a page anchor.
#include <functional>
#include <string>
#include <string_view>

namespace tk {

/// Shows help: NAME a ".hlp", ".chm", ".col", ".htm", ".html" or ".pdf" file
/// (looked for as given, then beside the program's file) or an "http://"
/// address; TOPIC above 0 becomes "#TOPIC" on web pages and addresses; MODE is
/// kept for the pop-up form and has no effect here. A blank NAME closes the
/// help viewers (they are separate programs here: nothing to do). Failures are
/// reported under "WHelpFile": 1 file not found, 1030 the opener failed, 1031
/// not a help file.
void WHelpFile(std::string_view name, int topic = -1, int mode = 0);

/// The work behind WHelpFile, with the topic's text ("(I11)", trimmed).
void HelpFileCore(std::string_view name, int topic, std::string_view topicText, int mode);

/// Runs the command line that opens a document; returns OsRunProgram's
/// status for a start without waiting (32 started). Tests install their own.
using DocumentOpener = std::function<int(const std::string& commandLine)>;
void SetDocumentOpener(DocumentOpener opener);

/// NAME (its size is the declared length) := the toolkit file or folder of
/// ITEM, blank-padded: 1 the screen-dump output file, 2 the hardcopy output
/// file, 3 the stroke-font file, 5 the stroke-font folder, 7 the home folder,
/// 8 the system folder, 9 the loaded stroke-font file (blank here: stroke
/// fonts belong to the graphics layer), 10 the folder for temporary files,
/// 11 a new temporary name "xx" + ten digits + ".tmp" in that folder; other
/// items blank. 1023 under "WInfoFilename" when the result does not fit.
void WInfoFilename(int item, std::string& name);

}  // namespace tk
