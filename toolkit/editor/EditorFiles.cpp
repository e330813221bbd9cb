// Loading and saving editor documents, the held file, clearing and the
// bookmark.
#include "toolkit/editor/EditorFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"
#include "platform/system/File.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/editor/EditorFont.h"
#include "toolkit/dialogs/Dialogs.h"

namespace tk {
namespace {

namespace fs = std::filesystem;

std::string SystemText(int code) {
  return std::strerror(code);
}

void Warn(const EditorRecord& rec, const std::string& text, const std::string& title) {
  plat::MessageBox({.owner = rec.window,
                    .text = text,
                    .caption = title,
                    .buttons = plat::MessageBoxButtons::Ok,
                    .icon = plat::MessageBoxIcon::Exclamation});
}

bool WriteAll(int fd, std::string_view data) {
  std::size_t at = 0;
  while (at < data.size()) {
    const ssize_t n = ::write(fd, data.data() + at, data.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string EditorFileFilter(const EditorRecord& rec) {
  if (!rec.userFilter.empty()) return rec.userFilter;
  if (rec.formatting)
    return "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*|";
  return "Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*|";
}

std::string EditorFullPath(std::string_view name) {
  if (name.empty()) return {};
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(std::string(name), ec);
  return ec ? std::string(name) : p.lexically_normal().string();
}

namespace {

bool Rich(const EditorRecord& rec) {
  return rec.formatting && EditorIsRtfName(rec.documentName);
}

/// Holds the document's file open for reading.
bool HoldFile(EditorRecord& rec, int& error) {
  EditorReleaseFile(rec, rec.currentDocument);
  const int fd = ::open(rec.documentName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return false;
  }
  rec.openFile[static_cast<std::size_t>(rec.currentDocument)] = fd + 1;
  return true;
}

}  // namespace

void EditorDecodeFlags(EditorRecord& rec, std::uint32_t flags) {
  const auto has = [flags](std::uint32_t bit) { return (flags & bit) != 0; };
  rec.readOnly = has(kEditorViewer);
  rec.allowNew = !has(kEditorNoNewOpen) && !rec.readOnly;
  rec.allowOpen = !has(kEditorNoNewOpen);
  rec.allowSave = !has(kEditorNoSave) && !rec.readOnly;
  rec.allowSaveAs = rec.allowSave && !has(kEditorNoSaveAs);
  rec.allowPrint = !has(kEditorNoPrint);
  rec.formatting = has(kEditorFormatting);
  rec.multiDocument = has(kEditorMultiDocument);
  rec.allowClose = rec.multiDocument && !has(kEditorNoClose);
  rec.promptWithoutName = has(kEditorPromptWithoutName);
  rec.quietMissingFile = has(kEditorQuietMissingFile);
  rec.printByApplication = has(kEditorPrintByApplication);
  rec.rawPositions = has(kEditorRawPositions);
  rec.keepBackup = has(kEditorKeepBackup);
  rec.starModified = has(kEditorStarModified);
}

bool EditorIsRtfName(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view tail = name.substr(name.size() - 4);
  return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 'r' &&
         std::tolower(static_cast<unsigned char>(tail[2])) == 't' &&
         std::tolower(static_cast<unsigned char>(tail[3])) == 'f';
}

std::string EditorPlainFileText(std::string bytes) {
  std::replace(bytes.begin(), bytes.end(), '\0', ' ');
  if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
  return bytes;
}

bool EditorReadFile(const std::string& path, std::int64_t limit, std::string& bytes,
                    std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = SystemText(errno);
    return false;
  }
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (!ok) error = SystemText(errno);
  const std::int64_t size = ok ? static_cast<std::int64_t>(st.st_size) : 0;
  if (ok && size > limit) {
    error = "The file holds " + std::to_string(size) +
            " bytes, more than the editor can hold; it was not loaded.";
    ok = false;
  }
  if (ok) {
    bytes.assign(static_cast<std::size_t>(size), '\0');
    std::size_t at = 0;
    while (ok && at < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + at, bytes.size() - at);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) error = SystemText(errno);
      if (n == 0) error = "The file ended before its size.";
      ok = n > 0;
      if (ok) at += static_cast<std::size_t>(n);
    }
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

EditorWriteResult EditorWriteFile(const std::string& target, std::string_view data, bool backup,
                                  std::string& error) {
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && (::access(target.c_str(), W_OK) != 0 || (st.st_mode & S_IWUSR) == 0)) {
    error = SystemText(EACCES);
    return EditorWriteResult::OpenFailed;
  }
  // A folder without write permission (the read-only mark, which even a
  // privileged user is held to here) takes no new file.
  std::string folder = fs::path(target).parent_path().string();
  if (folder.empty()) folder = ".";
  struct stat dst {};
  const bool folderWritable = ::stat(folder.c_str(), &dst) == 0 &&
                              ::access(folder.c_str(), W_OK) == 0 && (dst.st_mode & S_IWUSR) != 0;
  if (!exists && !folderWritable) {
    error = SystemText(EACCES);
    return EditorWriteResult::OpenFailed;
  }
  if (backup && exists) {
    std::error_code ec;
    if (folderWritable)
      fs::copy_file(target, target + ".bak", fs::copy_options::overwrite_existing, ec);
    if (ec || !folderWritable) {
      if (!ec) ec = std::make_error_code(std::errc::permission_denied);
      error = ec.message();
      return EditorWriteResult::OpenFailed;
    }
  }
  if (folderWritable) {
    // A temporary file beside the target renamed over it: a failed save
    // leaves the old file as it was.
    const plat::ReplaceResult r = plat::ReplaceFileContents(target, data.data(), data.size());
    if (r.opened) {
      if (r.error == 0) return EditorWriteResult::Written;
      error = SystemText(r.error);
      return EditorWriteResult::WriteFailed;
    }
  }
  // No temporary file in this folder: write in place, as a plain save does.
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = SystemText(errno);
    return EditorWriteResult::OpenFailed;
  }
  const bool ok = WriteAll(fd, data);
  const int code = errno;
  if (::close(fd) != 0 || !ok) {
    error = SystemText(ok ? errno : code);
    return EditorWriteResult::WriteFailed;
  }
  return EditorWriteResult::Written;
}

void EditorReleaseFile(EditorRecord& rec, int document) {
  if (document < 1 || document > kEditorMaxDocuments) return;
  int& held = rec.openFile[static_cast<std::size_t>(document)];
  if (held > 0) ::close(held - 1);
  held = 0;
}

int EditorControlLength(const EditorRecord& rec) {
  return plat::RichEditGetTextLength(rec.textControl);
}

void EditorClearText(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  const auto zoom = plat::RichEditGetZoom(c);
  const int protection = rec.protectionOn;
  rec.protectionOn = 0;
  plat::RichEditStreamIn(c, plat::RichStream::Plain, "", false);
  EditorApplyFont(rec);
  plat::RichEditSetSel(c, 0, -1);
  plat::RichEditSetParaFormat(c, plat::kPfmAlign | plat::kPfmBullet, plat::ParaFormat{});
  plat::RichEditSetZoom(c, zoom.first, zoom.second);
  rec.protectionOn = protection;
  rec.positionCache.Clear();
}

int EditorLoadFile(EditorRecord& rec, bool quiet) {
  const plat::Hwnd c = rec.textControl;
  rec.protectionOn = 0;
  int code = 0;
  if (!HoldFile(rec, code)) {
    if (!(quiet && rec.quietMissingFile)) Warn(rec, SystemText(code), "Open Error");
    rec.protectionOn = 1;
    return 0;
  }
  const bool rich = Rich(rec);
  // A plain line end is two bytes but one character: a file of twice the
  // limit cannot fit in any case.
  const std::int64_t byteLimit = 2 * static_cast<std::int64_t>(rec.textLimit) + 2;
  std::string bytes, error;
  bool ok = EditorReadFile(rec.documentName, byteLimit, bytes, error);
  int result = 0;
  if (ok) {
    plat::RichPiece piece;
    const bool isRtf = rich && plat::ReadRtf(bytes, plat::CharFormat{}, piece);
    if (!rich) bytes = EditorPlainFileText(std::move(bytes));
    if (!isRtf) piece = plat::PlainPiece(bytes, plat::CharFormat{});
    if (static_cast<std::int64_t>(piece.text.size()) > rec.textLimit) {
      error = "The file holds " + std::to_string(piece.text.size()) +
              " characters, more than the editor can hold (" + std::to_string(rec.textLimit) +
              "); it was not loaded.";
      ok = false;
    }
  }
  if (!ok) {
    Warn(rec, error, "Read Error");
    EditorReleaseFile(rec, rec.currentDocument);
  } else {
    if (rich) {
      plat::RichEditStreamIn(c, plat::RichStream::Rtf, bytes, false);
    } else {
      EditorClearText(rec);
      plat::RichEditSetSel(c, 0, 0);
      // A text that begins as rich text does goes in without its first
      // three characters, which follow at position 0: so it stays plain.
      if (bytes.size() >= 5 && bytes.compare(0, 3, "{\\r") == 0) {
        plat::RichEditReplaceSel(c, std::string_view(bytes).substr(3), false);
        plat::RichEditSetSel(c, 0, 0);
        plat::RichEditReplaceSel(c, "{\\r", false);
      } else {
        plat::RichEditReplaceSel(c, bytes, false);
      }
      plat::RichEditSetSel(c, 0, 0);
      plat::RichEditScrollCaret(c);
      plat::RichEditEmptyUndo(c);
    }
    plat::RichEditSetModify(c, false);
    rec.changedFlag = 0;
    result = 1;
  }
  rec.positionCache.Clear();
  rec.bookmark[static_cast<std::size_t>(rec.currentDocument)] = -1;
  if (rec.readOnly) EditorReleaseFile(rec, rec.currentDocument);
  rec.protectionOn = 1;
  return result;
}

int EditorSaveFile(EditorRecord& rec, bool saveAs) {
  if (saveAs || rec.documentName.empty()) {
    std::string name = rec.documentName;
    name.resize(std::max<std::size_t>(name.size(), 260), ' ');
    int index = std::max(1, rec.fileType[static_cast<std::size_t>(rec.currentDocument)]);
    WSelectFile(EditorFileFilter(rec), kSelectSave | kSelectConfirm | kSelectDefaultExtension, name, {},
                &index);
    if (WDialogStatusQuery(4) != 1) return 0;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) return 0;
    rec.fileType[static_cast<std::size_t>(rec.currentDocument)] = index;
    rec.documentName = name;
  }
  EditorReleaseFile(rec, rec.currentDocument);
  const std::string data = plat::RichEditStreamOut(
      rec.textControl, Rich(rec) ? plat::RichStream::Rtf : plat::RichStream::Plain, false);
  std::string error;
  const EditorWriteResult r = EditorWriteFile(rec.documentName, data, rec.keepBackup, error);
  int result = 0;
  if (r == EditorWriteResult::OpenFailed) {
    Warn(rec, error, "Open Error");
  } else if (r == EditorWriteResult::WriteFailed) {
    Warn(rec, error, "Write Error");
  } else {
    plat::RichEditSetModify(rec.textControl, false);
    result = 1;
  }
  if (!rec.readOnly) {
    int code = 0;
    HoldFile(rec, code);
  }
  return result;
}

void EditorBookmarkAfterChange(EditorRecord& rec) {
  const auto d = static_cast<std::size_t>(rec.currentDocument);
  if (rec.bookmark[d] < 0) return;
  const int length = EditorControlLength(rec);
  const int delta = length - rec.bookmarkLength[d];
  const int start = plat::RichEditGetSel(rec.textControl).first;
  if (rec.bookmark[d] >= start - delta) rec.bookmark[d] = std::max(0, rec.bookmark[d] + delta);
  rec.bookmarkLength[d] = length;
}

void EditorSetBookmark(EditorRecord& rec) {
  const auto d = static_cast<std::size_t>(rec.currentDocument);
  rec.bookmark[d] = plat::RichEditGetSel(rec.textControl).second;
  rec.bookmarkLength[d] = EditorControlLength(rec);
}

}  // namespace tk
