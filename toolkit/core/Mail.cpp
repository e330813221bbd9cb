// The message being prepared for the mail system, and its send.
#include "toolkit/core/Mail.h"

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/system/Process.h"

namespace tk {
namespace {

PreparedMail& Mail() {
  static PreparedMail mail = [] {
    PreparedMail m;
    m.cmcRecipients.resize(1);
    m.mapiRecipients.resize(1);
    m.cmcRecipients.back().flags = kMailLastElement;
    return m;
  }();
  return mail;
}

/// The caller's text as stored: at most SIZE characters, ended by its first NUL.
std::string Copy(std::string_view text, int size) {
  text = text.substr(0, static_cast<std::size_t>(std::max(size, 0)));
  return std::string(text.substr(0, text.find('\0')));
}

bool RecipientIndexOk(int index) {
  return index >= 0 && static_cast<std::size_t>(index) < Mail().cmcRecipients.size();
}

}  // namespace

const PreparedMail& MailPrepared() {
  return Mail();
}

void MailSetRecipients(int count) {
  PreparedMail& m = Mail();
  m.recipientCount = std::max(count, 0);
  const std::size_t entries = static_cast<std::size_t>(std::max(count, 1));
  m.cmcRecipients.assign(entries, CmcRecipient{});
  m.mapiRecipients.assign(entries, MapiRecipient{});
  m.cmcRecipients.back().flags = kMailLastElement;
}

void MailSetRecipientAddress(int index, std::string_view text, int size) {
  if (!RecipientIndexOk(index)) return;
  const std::string address = Copy(text, size);
  Mail().cmcRecipients[static_cast<std::size_t>(index)].address = address;
  Mail().mapiRecipients[static_cast<std::size_t>(index)].address = address;
}

void MailSetRecipientName(int index, std::string_view text, int size) {
  if (!RecipientIndexOk(index)) return;
  const std::string name = Copy(text, size);
  CmcRecipient& cmc = Mail().cmcRecipients[static_cast<std::size_t>(index)];
  cmc.name = name.empty() ? cmc.address : name;
  Mail().mapiRecipients[static_cast<std::size_t>(index)].name = name;
}

void MailSetRecipientRole(int index, int role) {
  if (!RecipientIndexOk(index)) return;
  CmcRecipient& cmc = Mail().cmcRecipients[static_cast<std::size_t>(index)];
  MapiRecipient& mapi = Mail().mapiRecipients[static_cast<std::size_t>(index)];
  switch (role) {
    case 2: cmc.role = 1, mapi.recipientClass = 2; break;
    case 3: cmc.role = 2, mapi.recipientClass = 3; break;
    default: cmc.role = 0, mapi.recipientClass = 1; break;
  }
}

void MailSetAttachments(int count) {
  PreparedMail& m = Mail();
  m.attachmentCount = std::max(count, 0);
  m.cmcAttachments.assign(static_cast<std::size_t>(m.attachmentCount), CmcAttachment{});
  m.mapiAttachments.assign(static_cast<std::size_t>(m.attachmentCount), MapiFileDescriptor{});
  if (!m.cmcAttachments.empty()) m.cmcAttachments.back().flags = kMailLastElement;
}

void MailSetAttachmentFile(int index, std::string_view path, int size) {
  PreparedMail& m = Mail();
  if (index < 0 || static_cast<std::size_t>(index) >= m.cmcAttachments.size()) return;
  const std::string file = Copy(path, size);
  m.cmcAttachments[static_cast<std::size_t>(index)].fileName = file;
  m.mapiAttachments[static_cast<std::size_t>(index)].pathName = file;
}

namespace {

/// The places a mail transfer agent keeps its sendmail interface when it is
/// not on the PATH.
const std::vector<std::string> kSendmailPlaces = {"/usr/sbin/sendmail", "/usr/lib/sendmail"};

/// A header value on one line: line breaks (which would start headers of
/// their own) and NULs become blanks.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return out;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string Base64(std::string_view bytes, bool wrap) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t column = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    if (n > 1) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (n > 2) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += n > 1 ? kDigits[(v >> 6) & 63] : '=';
    out += n > 2 ? kDigits[v & 63] : '=';
    column += 4;
    if (wrap && column >= 76) {
      out += '\n';
      column = 0;
    }
  }
  if (wrap && column > 0) out += '\n';
  return out;
}

/// A header text: as it is in plain ASCII, else an encoded word.
std::string HeaderText(std::string_view text) {
  const std::string line = OneLine(text);
  if (IsAscii(line)) return line;
  return "=?UTF-8?B?" + Base64(line, false) + "?=";
}

/// One recipient as a mailbox: "Name" <address>, or the address (or the
/// name, for the mailer to resolve) alone.
std::string Mailbox(const CmcRecipient& r) {
  const std::string address = OneLine(r.address.value_or(""));
  const std::string name = OneLine(r.name.value_or(""));
  if (address.empty()) return name;
  if (name.empty() || name == address) return address;
  if (!IsAscii(name)) return HeaderText(name) + " <" + address + ">";
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\" <" + address + ">";
}

/// The address the mail program is given for R (the name when it has none).
std::string PlainAddress(const CmcRecipient& r) {
  const std::string address = OneLine(r.address.value_or(""));
  return address.empty() ? OneLine(r.name.value_or("")) : address;
}

/// The recipients to send to: the first recipientCount entries that name
/// somebody.
std::vector<const CmcRecipient*> Recipients(const PreparedMail& m) {
  std::vector<const CmcRecipient*> out;
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(m.recipientCount, 0)),
                                 m.cmcRecipients.size());
  for (std::size_t i = 0; i < n; ++i)
    if (!PlainAddress(m.cmcRecipients[i]).empty()) out.push_back(&m.cmcRecipients[i]);
  return out;
}

std::vector<std::string> AttachmentPaths(const PreparedMail& m) {
  std::vector<std::string> out;
  for (const CmcAttachment& a : m.cmcAttachments)
    if (a.fileName && !a.fileName->empty()) out.push_back(*a.fileName);
  return out;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// The message as MIME for a mail transfer agent: the headers naming the
/// recipients by role (the agent takes the blind copies out), the text, and
/// each attachment as a base64 part. False with ERROR when an attachment
/// cannot be read.
bool BuildMessage(const PreparedMail& m, std::string_view subject, std::string_view text,
                  std::string& out, int& error) {
  out.clear();
  const char* kRoleHeaders[] = {"To", "Cc", "Bcc"};
  for (int role = 0; role < 3; ++role) {
    std::string list;
    for (const CmcRecipient* r : Recipients(m)) {
      if (std::clamp(r->role, 0, 2) != role) continue;
      if (!list.empty()) list += ",\n ";
      list += Mailbox(*r);
    }
    if (!list.empty()) out += std::string(kRoleHeaders[role]) + ": " + list + "\n";
  }
  out += "Subject: " + HeaderText(subject) + "\n";
  out += "MIME-Version: 1.0\n";
  // The text as it is when it is short-lined plain ASCII, else in base64.
  std::string body(text);
  body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
  bool plain = IsAscii(body) && body.find('\0') == std::string::npos;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; plain && i <= body.size(); ++i)
    if (i == body.size() || body[i] == '\n') {
      if (i - lineStart > 900 || body.compare(lineStart, 2, "--") == 0) plain = false;
      lineStart = i + 1;
    }
  std::string textPart = "Content-Type: text/plain; charset=utf-8\n";
  if (plain) {
    textPart += "Content-Transfer-Encoding: 7bit\n\n" + body;
    if (!body.empty() && body.back() != '\n') textPart += '\n';
  } else {
    textPart += "Content-Transfer-Encoding: base64\n\n" + Base64(body, true);
  }
  const std::vector<std::string> files = AttachmentPaths(m);
  if (files.empty()) {
    out += textPart;
    return true;
  }
  static std::atomic<unsigned> serial{0};
  const std::string boundary =
      "=_velloran_" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
      std::to_string(serial++);
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n";
  out += "--" + boundary + "\n" + textPart;
  for (const std::string& path : files) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      error = errno != 0 ? errno : ENOENT;
      return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
      error = EIO;
      return false;
    }
    std::string name = OneLine(BaseName(path));
    std::string quoted;
    for (const char c : name) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    if (!IsAscii(quoted)) quoted = HeaderText(name);
    out += "--" + boundary + "\n";
    out += "Content-Type: application/octet-stream; name=\"" + quoted + "\"\n";
    out += "Content-Disposition: attachment; filename=\"" + quoted + "\"\n";
    out += "Content-Transfer-Encoding: base64\n\n" + Base64(bytes, true);
  }
  out += "--" + boundary + "--\n";
  return true;
}

/// Status and code from the mailer's wait status.
void AnswerFromExit(int runError, int waitStatus, int& status, int& code) {
  status = -2;
  if (runError != 0) {
    code = runError;
  } else if (WIFEXITED(waitStatus)) {
    code = WEXITSTATUS(waitStatus);
    if (code == 0) status = 0;
  } else if (WIFSIGNALED(waitStatus)) {
    code = 128 + WTERMSIG(waitStatus);
  } else {
    code = -1;
  }
}

/// The user's mail program, through xdg-email, with the message filled in
/// for the user to see, change and send.
void SendThroughMailProgram(const std::string& program, const PreparedMail& m,
                            std::string_view subject, std::string_view text, int& status,
                            int& code) {
  std::vector<std::string> args = {program, "--utf8"};
  std::vector<std::string> to;
  for (const CmcRecipient* r : Recipients(m)) {
    const std::string address = PlainAddress(*r);
    // A word starting with "-" would be taken for an option.
    if (address.front() == '-') continue;
    const int role = std::clamp(r->role, 0, 2);
    if (role == 0) {
      to.push_back(address);
    } else {
      args.push_back(role == 1 ? "--cc" : "--bcc");
      args.push_back(address);
    }
  }
  args.push_back("--subject");
  args.push_back(OneLine(subject));
  args.push_back("--body");
  args.push_back(std::string(text));
  for (const std::string& path : AttachmentPaths(m)) {
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
      status = -2;
      code = errno != 0 ? errno : ENOENT;
      return;
    }
    args.push_back("--attach");
    args.push_back(path);
  }
  args.insert(args.end(), to.begin(), to.end());
  int waitStatus = 0;
  const int error = plat::RunProgramWithInput(args, {}, waitStatus);
  AnswerFromExit(error, waitStatus, status, code);
}

}  // namespace

void MailSend(int flags, int& status, int& code, std::string_view subject,
              std::string_view text) {
  // The mail system of this platform: a mail transfer agent's sendmail
  // (every one offers it), or the user's mail program through xdg-email.
  // Flag 2 (one mail interface rather than the other) has no meaning here.
  const PreparedMail& m = Mail();
  status = -1;
  code = 0;
  const bool showFirst = (flags & 1) != 0 || Recipients(m).empty();
  const std::string mailProgram = plat::FindProgramOnPath("xdg-email");
  const std::string sendmail =
      showFirst ? std::string() : plat::FindProgramOnPath("sendmail", kSendmailPlaces);
  if (!sendmail.empty()) {
    std::string message;
    int error = 0;
    if (!BuildMessage(m, subject, text, message, error)) {
      status = -2;
      code = error;
      return;
    }
    // -t: the recipients are read from the headers; -i: a line of a lone
    // dot is text, not the end of the message.
    int waitStatus = 0;
    const int runError = plat::RunProgramWithInput({sendmail, "-t", "-i"}, message, waitStatus);
    AnswerFromExit(runError, waitStatus, status, code);
    return;
  }
  if (!mailProgram.empty()) SendThroughMailProgram(mailProgram, m, subject, text, status, code);
}

}  // namespace tk
