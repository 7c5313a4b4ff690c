// A mail as a mail program saves it (.eml, MIME): the parts of it that may
// hold a reader's log.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

struct MailPart {
  std::string name;   // the attached file's name; empty for the text of the mail
  std::string bytes;  // its content, decoded from base64 or quoted-printable
};

// The files attached to `message` (in their order), then the plain texts
// of the mail itself: those of its parts that are neither HTML nor
// multipart. A message without MIME headers is one plain text.
std::vector<MailPart> MailParts(const std::string& message);

}  // namespace tarvo
