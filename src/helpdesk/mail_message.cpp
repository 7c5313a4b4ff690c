#include "helpdesk/mail_message.h"

#include <optional>
#include <string_view>

#include "platform/ascii_case.h"
#include "platform/text_lines.h"

namespace tarvo {

namespace {

// Parts nested deeper than this are left unread: no mail program nests so,
// and it keeps a hostile message from exhausting the stack.
constexpr int DeepestPart = 8;

struct Header {
  std::string name;   // in lower case
  std::string value;  // unfolded
};

struct Part {
  std::vector<Header> headers;
  std::string_view body;
};

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(" \t") + 1 - first));
}

// "Name: value", the name a word of letters, digits and "-" that begins
// with a letter, as every header of a mail is.
bool IsHeader(std::string_view line) {
  const auto colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  for (std::size_t i = 0; i < colon; ++i) {
    if (!letter(line[i]) && (i == 0 || !((line[i] >= '0' && line[i] <= '9') || line[i] == '-'))) {
      return false;
    }
  }
  return true;
}

// The headers up to the first empty line, continuation lines joined on;
// text that does not begin with a header is all body.
Part Split(std::string_view text) {
  Part part;
  if (!IsHeader(text.substr(0, LineAt(text, 0).end))) {
    part.body = text;
    return part;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    const LineSpan line = LineAt(text, start);
    const std::string_view content = text.substr(start, line.end - start);
    start = line.next;
    if (content.empty()) break;
    if ((content[0] == ' ' || content[0] == '\t') && !part.headers.empty()) {
      part.headers.back().value += " " + Trimmed(content);
      continue;
    }
    const auto colon = content.find(':');
    if (colon == std::string_view::npos) continue;
    part.headers.push_back({AsciiLowerCase(std::string(content.substr(0, colon))),
                            Trimmed(content.substr(colon + 1))});
  }
  part.body = text.substr(std::min(start, text.size()));
  return part;
}

std::string HeaderValue(const Part& part, const char* name) {
  for (const Header& header : part.headers) {
    if (header.name == name) return header.value;
  }
  return "";
}

// The value before the first ";", in lower case: "multipart/mixed".
std::string MainValue(const std::string& header) {
  return AsciiLowerCase(Trimmed(std::string_view(header).substr(0, header.find(';'))));
}

// A parameter of a header value, such as boundary="abc" or name=x.log (also
// as name*=charset''x.log); none when it is missing.
std::optional<std::string> Parameter(const std::string& header, const std::string& name) {
  for (std::size_t at = header.find(';'); at != std::string::npos; at = header.find(';', at + 1)) {
    std::string_view rest = std::string_view(header).substr(at + 1);
    const auto equals = rest.find('=');
    if (equals == std::string_view::npos) continue;
    std::string key = AsciiLowerCase(Trimmed(rest.substr(0, equals)));
    const bool extended = !key.empty() && key.back() == '*';
    if (extended) key.pop_back();
    if (key != name) continue;
    rest = rest.substr(equals + 1);
    while (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t')) rest.remove_prefix(1);
    if (!rest.empty() && rest[0] == '"') {
      return std::string(rest.substr(1, rest.find('"', 1) - 1));
    }
    std::string value = Trimmed(rest.substr(0, rest.find(';')));
    if (extended && value.find("''") != std::string::npos) {
      value = value.substr(value.find("''") + 2);
    }
    return value;
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "=" at a line's end is a soft line break; "=XX" a byte.
std::string FromQuotedPrintable(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '=') {
      bytes += text[at];
      continue;
    }
    const std::size_t next = text.find_first_not_of(" \t", at + 1);
    if (next == std::string_view::npos) break;
    if (text[next] == '\r' || text[next] == '\n') {
      at = next + (text.compare(next, 2, "\r\n") == 0 ? 1 : 0);
      continue;
    }
    const int high = at + 2 < text.size() ? HexDigit(text[at + 1]) : -1;
    const int low = at + 2 < text.size() ? HexDigit(text[at + 2]) : -1;
    if (high < 0 || low < 0) {
      bytes += '=';
      continue;
    }
    bytes += static_cast<char>(high << 4 | low);
    at += 2;
  }
  return bytes;
}

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Characters that are no base64 digit (line ends, "=") are passed over.
std::string FromBase64(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    const int digit = Base64Digit(c);
    if (digit < 0) continue;
    bits = (bits << 6 | static_cast<unsigned>(digit)) & 0xFFFFFF;
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes += static_cast<char>(bits >> count & 0xFF);
    }
  }
  return bytes;
}

std::string Decoded(const Part& part) {
  const std::string encoding = MainValue(HeaderValue(part, "content-transfer-encoding"));
  if (encoding == "base64") return FromBase64(part.body);
  if (encoding == "quoted-printable") return FromQuotedPrintable(part.body);
  return std::string(part.body);
}

// The parts of a multipart body between its boundary lines.
std::vector<std::string_view> BodyParts(std::string_view body, const std::string& boundary) {
  const std::string mark = "--" + boundary;
  std::vector<std::string_view> parts;
  std::optional<std::size_t> begin;
  for (std::size_t start = 0; start < body.size();) {
    const LineSpan line = LineAt(body, start);
    const std::string_view content = body.substr(start, line.end - start);
    if (content.substr(0, mark.size()) == mark) {
      // The line end before a boundary belongs to the boundary.
      std::size_t end = start;
      if (end > 0 && body[end - 1] == '\n') --end;
      if (end > 0 && body[end - 1] == '\r') --end;
      if (begin && end >= *begin) parts.push_back(body.substr(*begin, end - *begin));
      if (content.substr(mark.size(), 2) == "--") return parts;
      begin = line.next;
    }
    start = line.next;
  }
  return parts;
}

void Collect(const Part& part, int depth, std::vector<MailPart>& attached,
             std::vector<MailPart>& texts) {
  const std::string type = HeaderValue(part, "content-type");
  const std::string mainType = MainValue(type);
  if (mainType.compare(0, 10, "multipart/") == 0) {
    const auto boundary = Parameter(type, "boundary");
    if (!boundary || boundary->empty() || depth >= DeepestPart) return;
    for (const std::string_view inner : BodyParts(part.body, *boundary)) {
      Collect(Split(inner), depth + 1, attached, texts);
    }
    return;
  }
  const std::string disposition = HeaderValue(part, "content-disposition");
  std::optional<std::string> name = Parameter(disposition, "filename");
  if (!name) name = Parameter(type, "name");
  if (name || MainValue(disposition) == "attachment") {
    attached.push_back({name.value_or("(no name)"), Decoded(part)});
  } else if (mainType.empty() || mainType == "text/plain") {
    texts.push_back({"", Decoded(part)});
  }
}

}  // namespace

std::vector<MailPart> MailParts(const std::string& message) {
  std::vector<MailPart> attached;
  std::vector<MailPart> texts;
  Collect(Split(message), 0, attached, texts);
  attached.insert(attached.end(), texts.begin(), texts.end());
  return attached;
}

}  // namespace tarvo
