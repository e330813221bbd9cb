#pragma once
// E-mail sending: the toolkit keeps one message being prepared (recipients
// and attached files) for the whole run; the caller sets the counts, fills
// each entry and sends. Each entry is kept twice, in the form of each of the
// platform's two mail interfaces (Common Messaging Calls and Simple MAPI).
//
// The send hands the message to the system's mail transfer agent (its
// sendmail interface, the message built as MIME) or, when the user is to
// see it first, to the user's mail program through xdg-email. Without
// either there is no mail system. The prepared message stays as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

/// The last-element flag of a Common Messaging Calls array.
inline constexpr std::uint32_t kMailLastElement = 2147483648u;

/// A recipient as Common Messaging Calls take it: role 0 to, 1 copy, 2 blind copy.
struct CmcRecipient {
  std::optional<std::string> name;
  std::optional<std::string> address;
  std::int32_t role = 0;
  std::uint32_t flags = 0;
};
/// A recipient as Simple MAPI takes it: class 1 to, 2 copy, 3 blind copy.
struct MapiRecipient {
  std::optional<std::string> name;
  std::optional<std::string> address;
  std::int32_t recipientClass = 1;
};
struct CmcAttachment {
  std::optional<std::string> title;
  std::string type = "? ? ? ? ? ?";
  std::optional<std::string> fileName;
  std::uint32_t flags = 0;
};
struct MapiFileDescriptor {
  std::uint32_t flags = 0;
  std::int32_t position = -1;
  std::optional<std::string> pathName;
  std::optional<std::string> fileName;
};

/// The message being prepared. The recipient arrays always hold at least
/// one entry; the attachment arrays hold attachmentCount entries.
struct PreparedMail {
  std::int32_t recipientCount = 0;
  std::vector<CmcRecipient> cmcRecipients;
  std::vector<MapiRecipient> mapiRecipients;
  std::int32_t attachmentCount = 0;
  std::vector<CmcAttachment> cmcAttachments;
  std::vector<MapiFileDescriptor> mapiAttachments;
};
const PreparedMail& MailPrepared();

/// Releases the recipients and makes COUNT fresh ones (one when COUNT is
/// below 2), each addressed to nobody in the role "to".
void MailSetRecipients(int count);
/// INDEX from 0; TEXT up to SIZE characters (and its first NUL). An index
/// outside the recipients changes nothing.
void MailSetRecipientAddress(int index, std::string_view text, int size);
/// The Simple MAPI name is TEXT; the Common Messaging Calls name is TEXT,
/// or a copy of the address when TEXT is empty.
void MailSetRecipientName(int index, std::string_view text, int size);
/// ROLE 2 copy, 3 blind copy, anything else to.
void MailSetRecipientRole(int index, int role);
/// Releases the attachments and makes COUNT fresh ones (none below 1).
void MailSetAttachments(int count);
/// Both forms of attachment INDEX name the file PATH.
void MailSetAttachmentFile(int index, std::string_view path, int size);

/// Sends the prepared message with SUBJECT and TEXT. FLAGS 1 asks for the
/// user to see the message in the mail program first (as does a message
/// without recipients); 2 has no meaning on this platform. STATUS 0 sent
/// (or handed to the mail program), -1 no mail system, -2 the mail system
/// failed with its own CODE (its exit status; the system's error number when
/// it could not be run or an attachment could not be read), 0 otherwise.
void MailSend(int flags, int& status, int& code, std::string_view subject,
              std::string_view text);

}  // namespace tk
