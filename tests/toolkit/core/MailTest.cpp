// The prepared e-mail message: recipients in both forms with their roles and
// names, attachments, the release of old entries on a new count, and the
// send through a stand-in sendmail or xdg-email on the PATH (the message
// read back with Python's e-mail parser), or without either.
#include "toolkit/core/Mail.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"

namespace tk::testing {
namespace {

class MailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MailSetRecipients(0);
    MailSetAttachments(0);
  }
};

/// A PATH holding only the stand-in mail programs written into it.
class MailSendTest : public MailTest {
 protected:
  void SetUp() override {
    MailTest::SetUp();
    bin_ = dir_ / "bin";
    std::filesystem::create_directories(bin_);
    path_.emplace("PATH", bin_.string());
  }
  void TearDown() override {
    path_.reset();
    MailSetRecipients(0);
    MailSetAttachments(0);
  }
  /// A stand-in that keeps its arguments (NUL-ended) and its input in the
  /// test's folder and exits with EXIT.
  void StandIn(const std::string& name, int exit = 0) {
    const std::filesystem::path p = bin_ / name;
    testing_support::WriteFile(
        p, "#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s\\0' \"$@\" > '" + (dir_ / (name + ".args")).string() +
               "'\ncat > '" + (dir_ / (name + ".in")).string() + "'\nexit " +
               std::to_string(exit) + "\n");
    chmod(p.c_str(), 0755);
  }
  std::vector<std::string> Args(const std::string& name) {
    std::vector<std::string> out;
    std::stringstream all(testing_support::ReadFile(dir_ / (name + ".args")));
    for (std::string a; std::getline(all, a, '\0');) out.push_back(a);
    return out;
  }
  /// The message the stand-in sendmail got, as Python's parser reads it.
  std::vector<std::string> Parsed() {
    const std::filesystem::path script =
        std::filesystem::path(VELLORAN_SOURCE_DIR) / "tests/toolkit/core/mail_read.py";
    const std::string cmd = "/usr/bin/python3 '" + script.string() + "' '" +
                            (dir_ / "sendmail.in").string() + "' '" + (dir_ / "parsed").string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::vector<std::string> out;
    std::stringstream all(testing_support::ReadFile(dir_ / "parsed"));
    for (std::string line; std::getline(all, line);) out.push_back(line);
    return out;
  }
  void Prepare() {
    MailSetRecipients(3);
    MailSetRecipientAddress(0, "crew@example.org", 16);
    MailSetRecipientName(0, "Field \"A\" Crew", 14);
    MailSetRecipientAddress(1, "office@example.org", 18);
    MailSetRecipientRole(1, 2);
    MailSetRecipientAddress(2, "archive@example.org", 19);
    MailSetRecipientRole(2, 3);
    attachment_ = dir_ / "shot 12.sg2";
    testing_support::WriteFile(attachment_, std::string("\x55\x3a\0\x01\xff\r\n.\n", 9));
    MailSetAttachments(1);
    MailSetAttachmentFile(0, attachment_.string(), static_cast<int>(attachment_.string().size()));
  }

  testing_support::TempDir dir_;
  std::filesystem::path bin_;
  std::filesystem::path attachment_;
  std::optional<testing_support::ScopedEnv> path_;
};

TEST_F(MailSendTest, WithoutAMailerThereIsNoMailSystem) {
  if (std::filesystem::exists("/usr/sbin/sendmail") || std::filesystem::exists("/usr/lib/sendmail"))
    GTEST_SKIP() << "this machine has a mail transfer agent";
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
  // Only sendmail: a message the user is to see first has no mail program.
  StandIn("sendmail");
  int status = 9, code = 9;
  MailSend(1, status, code, "Shot 12", "Picks attached");
  EXPECT_EQ(status, -1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "sendmail.in"));
}

TEST_F(MailSendTest, SendmailGetsTheMessageAsMime) {
  if (!std::filesystem::exists("/usr/bin/python3")) GTEST_SKIP() << "python3 is absent";
  StandIn("sendmail");
  StandIn("xdg-email");  // not used: nobody asked to see the message first
  Prepare();
  const std::string text = "Picks of shot 12.\n.\n--\nR\xc3\xa9sum\xc3\xa9 attached.";
  int status = 9, code = 9;
  MailSend(2, status, code, "Shot 12 \xe2\x80\x93 picks\r\nBcc: evil@example.org", text);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Args("sendmail"), (std::vector<std::string>{"-t", "-i"}));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "xdg-email.args"));
  const std::string hex = "553a0001ff0d0a2e0a";
  EXPECT_EQ(Parsed(), (std::vector<std::string>{
                          "to=Field \"A\" Crew|crew@example.org",
                          "cc=|office@example.org",
                          "bcc=|archive@example.org",
                          "subject=Shot 12 \xe2\x80\x93 picks  Bcc: evil@example.org",
                          "defects=0",
                          "text=Picks of shot 12.\\n.\\n--\\nR\xc3\xa9sum\xc3\xa9 attached.",
                          "attachment=shot 12.sg2|" + hex,
                      }));
  // Without attachments the message is the text alone.
  MailSetAttachments(0);
  MailSend(0, status, code, "Plain", "One line");
  EXPECT_EQ(status, 0);
  const std::vector<std::string> plain = Parsed();
  ASSERT_GE(plain.size(), 6u);
  EXPECT_EQ(plain[5], "text=One line\\n");
  EXPECT_EQ(plain.size(), 6u);
}

TEST_F(MailSendTest, TheMailersFailureIsItsCode) {
  StandIn("sendmail", 75);
  Prepare();
  int status = 9, code = 9;
  MailSend(0, status, code, "Shot 12", "Picks");
  EXPECT_EQ(status, -2);
  EXPECT_EQ(code, 75);
  // An attachment that cannot be read stops the send before the mailer.
  std::filesystem::remove(dir_ / "sendmail.in");
  std::filesystem::remove(attachment_);
  MailSend(0, status, code, "Shot 12", "Picks");
  EXPECT_EQ(status, -2);
  EXPECT_EQ(code, ENOENT);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "sendmail.in"));
}

TEST_F(MailSendTest, TheUsersMailProgramShowsTheMessageFirst) {
  StandIn("sendmail");
  StandIn("xdg-email");
  Prepare();
  MailSetRecipientAddress(1, "-x@example.org", 14);  // never an option
  int status = 9, code = 9;
  MailSend(1, status, code, "Shot 12", "Picks\nattached");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "sendmail.args"));
  EXPECT_EQ(Args("xdg-email"),
            (std::vector<std::string>{"--utf8", "--bcc", "archive@example.org", "--subject",
                                      "Shot 12", "--body", "Picks\nattached", "--attach",
                                      attachment_.string(), "crew@example.org"}));
  // A message without recipients goes to the mail program too; its failure
  // is its exit status.
  StandIn("xdg-email", 4);
  MailSetRecipients(0);
  MailSetAttachments(0);
  MailSend(0, status, code, "Shot 12", "");
  EXPECT_EQ(status, -2);
  EXPECT_EQ(code, 4);
  EXPECT_EQ(Args("xdg-email"), (std::vector<std::string>{"--utf8", "--subject", "Shot 12",
                                                         "--body", ""}));
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
