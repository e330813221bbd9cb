#include "shell/ResultFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "shell/ExportCommands.h"
#include "support/UserMessages.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/core/FileSelect.h"

namespace vel {
namespace {

constexpr std::size_t kNameChars = 256;

// Appends TEXT whole: a failed write (a full disk) cuts the file back to
// where it ended, so the lines before stay as they were and no part of the
// new one is left.
bool WriteAll(std::FILE* f, const std::string& text) {
  const long before = std::ftell(f);
  if (std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0) return true;
  const int error = errno != 0 ? errno : EIO;
  std::clearerr(f);
  if (before >= 0 && ::ftruncate(::fileno(f), static_cast<off_t>(before)) == 0)
    std::fseek(f, before, SEEK_SET);
  errno = error;
  return false;
}

// Asks for the file and opens it for appending; the header goes into a new
// file. False (the user told when it failed) when nothing is open.
bool OpenResultFile(ResultFile out, const ShotRecord& REC, std::string_view title, int flags,
                    std::string_view header) {
  std::string name = ProposedOutputName(REC);
  name.resize(kNameChars, ' ');
  const std::string filter = std::string(title) + "|*.TXT|";
  tk::WSelectFile(filter, flags, name, title);
  const std::string chosen(plat::TrimRight(name));
  if (tk::WDialogStatusQuery(4) != 1 || chosen.empty()) return false;
  std::error_code ec;
  const bool existed = std::filesystem::exists(chosen, ec);
  std::FILE* f = std::fopen(chosen.c_str(), "ab");
  if (f == nullptr) {
    sup::WINMSG("Cannot open file " + plat::Padded(chosen, kNameChars) +
                "Be sure file is not Read-Only");
    return false;
  }
  out.file = f;
  out.name = chosen;
  if (!existed && !WriteAll(f, std::string(header) + "\r\n")) {
    const int error = errno;
    CloseResultFile(out);
    std::filesystem::remove(chosen, ec);  // made here: nothing of it is left
    sup::WINMSG("Error writing to file " + chosen + ": " + plat::SystemErrorText(error));
    return false;
  }
  return true;
}

}  // namespace

bool AppendResultLine(ResultFile out, const ShotRecord& REC, std::string_view title, int flags,
                      std::string_view header, std::string line) {
  if (out.file == nullptr && !OpenResultFile(out, REC, title, flags, header)) return false;
  line += "\r\n";
  if (!WriteAll(out.file, line)) {
    const int error = errno;
    const std::string name = out.name;
    CloseResultFile(out);
    sup::WINMSG("Error writing to file " + name + ": " + plat::SystemErrorText(error));
    return false;
  }
  return true;
}

void CloseResultFile(ResultFile out) {
  if (out.file != nullptr) std::fclose(out.file);
  out.file = nullptr;
}

}  // namespace vel
