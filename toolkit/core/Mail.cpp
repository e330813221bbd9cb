// The message being prepared for the mail system, and its send.
#include "toolkit/core/Mail.h"

#include <algorithm>

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

void MailSend(int /*flags*/, int& status, int& code, std::string_view /*subject*/,
              std::string_view /*text*/) {
  // Neither mail interface exists on this platform, whichever the flags ask
  // for.
  status = -1;
  code = 0;
}

}  // namespace tk
