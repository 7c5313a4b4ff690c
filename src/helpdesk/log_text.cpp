#include "helpdesk/log_text.h"

#include <cstdint>
#include <optional>

#include "platform/text_lines.h"
#include "platform/windows1252.h"

namespace tarvo {

namespace {

const char Utf8Mark[] = "\xEF\xBB\xBF";
const char Utf16LittleEndianMark[] = "\xFF\xFE";
const char Utf16BigEndianMark[] = "\xFE\xFF";

bool StartsWith(const std::string& text, const char* start) {
  return text.compare(0, std::char_traits<char>::length(start), start) == 0;
}

// The character of one UTF-8 sequence at `at`, which moves past it; none for
// a sequence that is no proper UTF-8 (moving past its first byte only).
std::optional<char32_t> Utf8Character(const std::string& text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (more == 0 || lead > 0xF4 || at + more > text.size()) return std::nullopt;
  char32_t character = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    character = character << 6 | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  if (character < smallest[more] || character > 0x10FFFF ||
      (character >= 0xD800 && character < 0xE000)) {
    return std::nullopt;
  }
  at += more;
  return character;
}

// The text as Windows-1252 when it is UTF-8 that holds more than ASCII (or
// carries the mark); none when it is not.
std::optional<std::string> FromUtf8(const std::string& text, bool marked) {
  std::string converted;
  bool beyondAscii = false;
  for (std::size_t at = 0; at < text.size();) {
    const auto character = Utf8Character(text, at);
    if (!character && !marked) return std::nullopt;
    beyondAscii = beyondAscii || !character || *character >= 0x80;
    converted += character ? Windows1252OfUnicode(*character) : '?';
  }
  if (!beyondAscii && !marked) return std::nullopt;
  return converted;
}

std::string FromUtf16(const std::string& text, bool bigEndian) {
  std::string converted;
  for (std::size_t at = 0; at + 1 < text.size(); at += 2) {
    const auto first = static_cast<unsigned char>(text[at]);
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const char32_t unit = bigEndian ? first << 8 | second : second << 8 | first;
    // A pair of surrogates is one character beyond Windows-1252: one "?".
    if (unit >= 0xDC00 && unit < 0xE000) continue;
    converted += unit >= 0xD800 && unit < 0xDC00 ? '?' : Windows1252OfUnicode(unit);
  }
  return converted;
}

std::string LineEnds(const std::string& text) {
  std::size_t crLf = 0, cr = 0, lf = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 2, "\r\n") == 0) {
      ++crLf;
      ++at;
    } else if (text[at] == '\r') {
      ++cr;
    } else if (text[at] == '\n') {
      ++lf;
    }
  }
  const int kinds = (crLf > 0) + (cr > 0) + (lf > 0);
  if (kinds > 1) return "mixed";
  return crLf ? "CR LF" : cr ? "CR" : lf ? "LF" : "none";
}

}  // namespace

LogText DecodeLogText(const std::string& bytes) {
  LogText log;
  std::string text = bytes;
  log.encoding = "Windows-1252";
  if (StartsWith(bytes, Utf16LittleEndianMark) || StartsWith(bytes, Utf16BigEndianMark)) {
    text = FromUtf16(bytes.substr(2), StartsWith(bytes, Utf16BigEndianMark));
    log.encoding = "UTF-16";
  } else {
    const bool marked = StartsWith(bytes, Utf8Mark);
    if (const auto converted = FromUtf8(bytes.substr(marked ? 3 : 0), marked)) {
      text = *converted;
      log.encoding = "UTF-8";
    }
  }
  if (text.find('\0') != std::string::npos) {
    log.problem = LogTextProblem::Binary;
  } else if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
    log.problem = LogTextProblem::Empty;
  } else {
    log.lines = TextLines(text);
    log.lineEnds = LineEnds(text);
    log.endsWithLineEnd = text.back() == '\r' || text.back() == '\n';
  }
  return log;
}

}  // namespace tarvo
