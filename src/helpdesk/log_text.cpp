#include "helpdesk/log_text.h"

#include <optional>
#include <string_view>

#include "platform/utf8_text.h"
#include "platform/windows1252.h"

namespace tarvo {

namespace {

const char Utf16LittleEndianMark[] = "\xFF\xFE";
const char Utf16BigEndianMark[] = "\xFE\xFF";
// Of the pairs of bytes of a text in UTF-16 without its mark, all but a
// few have their high byte zero: the launcher's lines are Latin-1.
constexpr std::size_t Utf16PairsPerMiss = 20;

bool StartsWith(std::string_view text, const char* start) {
  return text.compare(0, std::char_traits<char>::length(start), start) == 0;
}

bool IsCombiningMark(char32_t character) { return character >= 0x300 && character < 0x370; }

// Windows-1252 text as it is decoded, with the lines where it was mended.
class Decoded {
 public:
  void Append(char32_t character) {
    const char previous = text_.empty() ? '\0' : text_.back();
    const char composed = IsCombiningMark(character) ? ComposedLetter(previous, character) : 0;
    if (composed) {
      text_.back() = composed;
      Mark(composed_);
      return;
    }
    Count(character);
    text_ += Windows1252OfUnicode(character);
  }

  // A byte that is no UTF-8, taken for the Windows-1252 character it is.
  void AppendStray(char byte) {
    Mark(stray_);
    text_ += byte;
  }

  void Reserve(std::size_t size) { text_.reserve(size); }

  void MoveInto(LogText& log) {
    log.text = std::move(text_);
    log.strayBytes = std::move(stray_);
    log.composedAccents = std::move(composed_);
  }

 private:
  void Count(char32_t character) {
    if (character == '\r' || (character == '\n' && (text_.empty() || text_.back() != '\r'))) {
      ++line_;
    }
  }
  void Mark(std::vector<int>& lines) const {
    if (lines.empty() || lines.back() != line_) lines.push_back(line_);
  }

  std::string text_;
  int line_ = 1;
  std::vector<int> stray_;
  std::vector<int> composed_;
};

// Whether text without a mark is UTF-8: it holds characters beyond ASCII in
// proper UTF-8, at least as many as bytes that are no UTF-8 (a Windows-1252
// text holds no proper UTF-8 beyond ASCII, as a rule).
bool LooksLikeUtf8(std::string_view text) {
  std::size_t proper = 0;
  std::size_t stray = 0;
  for (std::size_t at = 0; at < text.size();) {
    const bool ascii = static_cast<unsigned char>(text[at]) < 0x80;
    const bool read = Utf8Character(text, at).has_value();
    proper += read && !ascii;
    stray += !read;
  }
  return proper > 0 && proper >= stray;
}

void FromUtf8(std::string_view text, LogText& log) {
  Decoded decoded;
  decoded.Reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    if (const auto character = Utf8Character(text, at)) {
      decoded.Append(*character);
    } else {
      decoded.AppendStray(text[start]);
    }
  }
  decoded.MoveInto(log);
}

void FromUtf16(std::string_view text, bool bigEndian, LogText& log) {
  Decoded decoded;
  decoded.Reserve(text.size() / 2);
  for (std::size_t at = 0; at + 1 < text.size(); at += 2) {
    const auto first = static_cast<unsigned char>(text[at]);
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const char32_t unit = bigEndian ? first << 8 | second : second << 8 | first;
    // A pair of surrogates is one character beyond Windows-1252: one "?".
    if (unit >= 0xDC00 && unit < 0xE000) continue;
    decoded.Append(unit >= 0xD800 && unit < 0xDC00 ? U'?' : unit);
  }
  decoded.MoveInto(log);
}

// UTF-16 without its mark shows by its zero bytes, all in the same half of
// the pairs of bytes: none when they are not; else whether it is big-endian.
std::optional<bool> UnmarkedUtf16(std::string_view bytes) {
  std::size_t pairs = 0, little = 0, big = 0;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const bool first = bytes[at] != '\0';
    const bool second = bytes[at + 1] != '\0';
    if (!first && !second) continue;
    ++pairs;
    little += first && !second;
    big += !first && second;
  }
  const std::size_t misses = pairs / Utf16PairsPerMiss;
  if (pairs > 0 && little + misses >= pairs) return false;
  if (pairs > 0 && big + misses >= pairs) return true;
  return std::nullopt;
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

// Decodes `bytes` into `log`; returns how many bytes each zero character of
// the text took in the file.
std::size_t Decode(std::string bytes, LogText& log) {
  const std::string_view view = bytes;
  const bool utf16Marked =
      StartsWith(view, Utf16LittleEndianMark) || StartsWith(view, Utf16BigEndianMark);
  const std::optional<bool> unmarkedUtf16 = utf16Marked ? std::nullopt : UnmarkedUtf16(view);
  if (utf16Marked) {
    log.encoding = "UTF-16";
    FromUtf16(view.substr(2), StartsWith(view, Utf16BigEndianMark), log);
    return 2;
  }
  if (unmarkedUtf16) {
    log.encoding = std::string("UTF-16 ") + (*unmarkedUtf16 ? "big" : "little") +
                   "-endian, without its byte-order mark";
    FromUtf16(view, *unmarkedUtf16, log);
    return 2;
  }
  if (StartsWith(view, Utf8ByteOrderMark)) {
    log.encoding = "UTF-8";
    FromUtf8(view.substr(3), log);
  } else if (LooksLikeUtf8(view.substr(0, view.find_last_not_of('\0') + 1))) {
    log.encoding = "UTF-8";
    FromUtf8(view, log);
  } else {
    log.encoding = "Windows-1252";
    log.text = std::move(bytes);
  }
  return 1;
}

}  // namespace

LogText DecodeLogText(std::string bytes) {
  LogText log;
  const std::size_t bytesPerZero = Decode(std::move(bytes), log);
  const std::size_t end = log.text.find_last_not_of('\0') + 1;
  log.padding = (log.text.size() - end) * bytesPerZero;
  log.text.resize(end);
  if (log.text.find('\0') != std::string::npos) {
    log.problem = LogTextProblem::Binary;
  } else if (log.text.find_first_not_of(" \t\r\n") == std::string::npos) {
    log.problem = LogTextProblem::Empty;
  } else {
    log.lineEnds = LineEnds(log.text);
  }
  return log;
}

}  // namespace tarvo
