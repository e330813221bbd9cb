# Reads a message handed to a stand-in sendmail with Python's own e-mail
# parser and writes what it finds, one item a line ("key=value", line breaks
# in values written as \n), for the mail test to compare.
import sys
from email import policy
from email.parser import BytesParser
from email.utils import getaddresses


def flat(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n")


def main(message_path, out_path):
    with open(message_path, "rb") as f:
        msg = BytesParser(policy=policy.default).parse(f)
    lines = []
    for header in ("To", "Cc", "Bcc"):
        pairs = getaddresses([str(v) for v in msg.get_all(header, [])])
        lines.append(header.lower() + "=" + ";".join(n + "|" + a for n, a in pairs))
    lines.append("subject=" + flat(str(msg["Subject"])))
    lines.append("defects=" + str(len(msg.defects)))
    body = msg.get_body(preferencelist=("plain",))
    lines.append("text=" + flat(body.get_content() if body is not None else "<none>"))
    for part in msg.iter_attachments():
        data = part.get_content()
        if isinstance(data, str):
            data = data.encode("utf-8")
        lines.append("attachment=" + part.get_filename() + "|" + data.hex())
    with open(out_path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
