#pragma once
// The editor's documents and their files: loading plain and rich text,
// saving safely, the held file, clearing and the bookmark.
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// The file dialogs' filter: the caller's, else by formatting.
std::string EditorFileFilter(const EditorRecord& rec);
/// NAME as a full path (empty stays empty).
std::string EditorFullPath(std::string_view name);

/// True when NAME's last four characters are ".rtf" in any case.
bool EditorIsRtfName(std::string_view name);

/// What a plain file's bytes become before they enter the control: every
/// NUL a blank, and a last Ctrl-Z dropped.
std::string EditorPlainFileText(std::string bytes);

/// Reads a whole file of at most LIMIT bytes. False with ERROR (the
/// system's text, or why the file is refused) when it cannot be read.
bool EditorReadFile(const std::string& path, std::int64_t limit, std::string& bytes,
                    std::string& error);

/// How a write ended.
enum class EditorWriteResult { Written, OpenFailed, WriteFailed };

/// Writes DATA to TARGET without putting the old file at risk: into a
/// temporary file in the same folder renamed over it (with the old file's
/// permissions), or in place when no temporary file can be made there. A
/// target that exists and cannot be written is refused before anything is
/// written. With BACKUP the old file is first copied to TARGET + ".bak".
EditorWriteResult EditorWriteFile(const std::string& target, std::string_view data, bool backup,
                                  std::string& error);

/// Loads the current document from its file (the record's documentName).
/// QUIET suppresses the open error when the record says so. 1 loaded, 0 not.
int EditorLoadFile(EditorRecord& rec, bool quiet);

/// Saves the current document (asking for a name with SAVE_AS or when it
/// has none). 1 saved, 0 not.
int EditorSaveFile(EditorRecord& rec, bool saveAs);

/// Empties the text, keeping the zoom, and resets the paragraph format.
void EditorClearText(EditorRecord& rec);

/// Closes the current document's held file.
void EditorReleaseFile(EditorRecord& rec, int document);

/// The text length in control positions.
int EditorControlLength(const EditorRecord& rec);

/// Moves the current document's bookmark after a change of the text.
void EditorBookmarkAfterChange(EditorRecord& rec);
/// Set Bookmark: at the selection's end.
void EditorSetBookmark(EditorRecord& rec);

}  // namespace tk
