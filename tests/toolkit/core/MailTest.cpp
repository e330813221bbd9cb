// The prepared e-mail message: recipients in both forms with their roles and
// names, attachments, the release of old entries on a new count, and a send
// that finds no mail system.
#include "toolkit/core/Mail.h"

#include <gtest/gtest.h>

#include <string>

namespace tk::testing {
namespace {

class MailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MailSetRecipients(0);
    MailSetAttachments(0);
  }
};

TEST_F(MailTest, SendReportsThatThereIsNoMailSystem) {
  MailSetRecipients(1);
  MailSetRecipientAddress(0, "crew@example.org", 16);
  for (int flags : {0, 1, 2, 3}) {
    int status = 9, code = 9;
    MailSend(flags, status, code, "Shot 12", "Picks attached");
    EXPECT_EQ(status, -1) << flags;
    EXPECT_EQ(code, 0) << flags;
  }
  // The message stays prepared.
  EXPECT_EQ(MailPrepared().cmcRecipients[0].address, "crew@example.org");
}

TEST_F(MailTest, RolesMapToBothForms) {
  struct Case {
    int role, cmcRole, mapiClass;
  };
  MailSetRecipients(5);
  const Case cases[] = {{2, 1, 2}, {3, 2, 3}, {1, 0, 1}, {0, 0, 1}, {7, 0, 1}};
  for (int i = 0; i < 5; ++i) MailSetRecipientRole(i, cases[i].role);
  const PreparedMail& m = MailPrepared();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(m.cmcRecipients[static_cast<std::size_t>(i)].role, cases[i].cmcRole) << cases[i].role;
    EXPECT_EQ(m.mapiRecipients[static_cast<std::size_t>(i)].recipientClass, cases[i].mapiClass)
        << cases[i].role;
  }
  // A role set back to "to".
  MailSetRecipientRole(0, 1);
  EXPECT_EQ(m.cmcRecipients[0].role, 0);
  EXPECT_EQ(m.mapiRecipients[0].recipientClass, 1);
}

TEST_F(MailTest, AnEmptyNameIsTheAddressOnlyForCommonMessagingCalls) {
  MailSetRecipients(2);
  MailSetRecipientAddress(0, "lab@example.org", 15);
  MailSetRecipientName(0, "", 0);
  MailSetRecipientAddress(1, "office@example.org", 18);
  MailSetRecipientName(1, "Field office", 12);
  const PreparedMail& m = MailPrepared();
  EXPECT_EQ(m.cmcRecipients[0].name, "lab@example.org");
  EXPECT_EQ(m.mapiRecipients[0].name, "");
  EXPECT_EQ(m.mapiRecipients[0].address, "lab@example.org");
  EXPECT_EQ(m.cmcRecipients[1].name, "Field office");
  EXPECT_EQ(m.mapiRecipients[1].name, "Field office");
}

TEST_F(MailTest, TextsAreCopiedToTheStatedSize) {
  MailSetRecipients(1);
  const std::string buffer = std::string("geo@example.org") + '\0' + "junk";
  MailSetRecipientAddress(0, buffer, static_cast<int>(buffer.size()));
  EXPECT_EQ(MailPrepared().cmcRecipients[0].address, "geo@example.org");
  MailSetRecipientName(0, "Geophysics group", 10);
  EXPECT_EQ(MailPrepared().mapiRecipients[0].name, "Geophysics");
  MailSetRecipientName(0, "Geo", -4);  // no size: an empty text, named by the address
  EXPECT_EQ(MailPrepared().cmcRecipients[0].name, "geo@example.org");
}

TEST_F(MailTest, ANewCountReleasesThePreviousEntries) {
  MailSetRecipients(3);
  MailSetRecipientAddress(2, "a@example.org", 13);
  MailSetRecipientRole(2, 3);
  const PreparedMail& m = MailPrepared();
  EXPECT_EQ(m.recipientCount, 3);
  ASSERT_EQ(m.cmcRecipients.size(), 3u);
  EXPECT_EQ(m.cmcRecipients[0].flags, 0u);
  EXPECT_EQ(m.cmcRecipients[2].flags, kMailLastElement);

  MailSetRecipients(2);
  EXPECT_EQ(m.recipientCount, 2);
  ASSERT_EQ(m.cmcRecipients.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_FALSE(m.cmcRecipients[i].address.has_value());
    EXPECT_FALSE(m.mapiRecipients[i].name.has_value());
    EXPECT_EQ(m.cmcRecipients[i].role, 0);
    EXPECT_EQ(m.mapiRecipients[i].recipientClass, 1);
  }
  EXPECT_EQ(m.cmcRecipients[1].flags, kMailLastElement);

  // No recipients still leaves one empty entry; indexes past it change nothing.
  MailSetRecipients(0);
  EXPECT_EQ(m.recipientCount, 0);
  ASSERT_EQ(m.cmcRecipients.size(), 1u);
  ASSERT_EQ(m.mapiRecipients.size(), 1u);
  MailSetRecipientAddress(1, "b@example.org", 13);
  MailSetRecipientRole(-1, 2);
  EXPECT_FALSE(m.cmcRecipients[0].address.has_value());
  EXPECT_EQ(m.cmcRecipients[0].role, 0);
}

TEST_F(MailTest, AttachmentsNameTheirFileInBothForms) {
  MailSetAttachments(2);
  MailSetAttachmentFile(0, "/data/shot12.sg2", 16);
  MailSetAttachmentFile(1, "/data/shot12.pck", 16);
  MailSetAttachmentFile(2, "/data/ignored", 13);
  const PreparedMail& m = MailPrepared();
  ASSERT_EQ(m.cmcAttachments.size(), 2u);
  EXPECT_EQ(m.cmcAttachments[0].fileName, "/data/shot12.sg2");
  EXPECT_EQ(m.mapiAttachments[1].pathName, "/data/shot12.pck");
  EXPECT_FALSE(m.mapiAttachments[1].fileName.has_value());
  EXPECT_EQ(m.mapiAttachments[1].position, -1);
  EXPECT_EQ(m.cmcAttachments[0].type, "? ? ? ? ? ?");
  EXPECT_EQ(m.cmcAttachments[0].flags, 0u);
  EXPECT_EQ(m.cmcAttachments[1].flags, kMailLastElement);
  MailSetAttachments(0);
  EXPECT_EQ(m.attachmentCount, 0);
  EXPECT_TRUE(m.cmcAttachments.empty());
  EXPECT_TRUE(m.mapiAttachments.empty());
}

}  // namespace
}  // namespace tk::testing
