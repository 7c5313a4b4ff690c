#include "helpdesk/log_normalising.h"

#include <algorithm>
#include <optional>

#include "platform/text_lines.h"

namespace tarvo {

namespace {

// What mail programs put before a quoted or indented line.
constexpr std::string_view QuoteCharacters = "> \t";
constexpr std::string_view Blanks = " \t";
// More different quotes than this are told as one "other".
constexpr std::size_t MostPrefixes = 4;

// One line of the file with its quote and its blanks at the end taken off.
struct FileLine {
  std::uint32_t number = 0;
  std::size_t start = 0;    // of the line as the file holds it
  std::size_t content = 0;  // after its quote
  std::size_t end = 0;      // before its blanks at the end
  std::size_t rawEnd = 0;   // before its line end
  std::size_t width() const { return end - start; }
  bool empty() const { return content == end; }
};

FileLine LineOf(std::string_view text, std::uint32_t number, std::size_t start, std::size_t end) {
  FileLine line{number, start, start, end, end};
  line.content = std::min(text.find_first_not_of(QuoteCharacters, start), end);
  while (line.end > line.content && Blanks.find(text[line.end - 1]) != std::string_view::npos) {
    --line.end;
  }
  return line;
}

// The widest line of the text, blanks at its end left out: what a mail
// program that wrapped the text wrapped it at, or more.
std::size_t WidestLine(std::string_view text) {
  std::size_t widest = 0;
  for (std::size_t start = 0; start < text.size();) {
    const LineSpan span = LineAt(text, start);
    widest = std::max(widest, LineOf(text, 0, start, span.end).width());
    start = span.next;
  }
  return widest;
}

class Normaliser {
 public:
  explicit Normaliser(std::string text) : size_(text.size()) {
    result_.store = std::move(text);
    widest_ = WidestLine(result_.store);
  }

  LogLines Run() {
    std::uint32_t number = 0;
    for (std::size_t start = 0; start < size_;) {
      const LineSpan span = LineAt(std::string_view(result_.store).substr(0, size_), start);
      Take(LineOf(result_.store, ++number, start, span.end));
      start = span.next;
    }
    Settle();
    result_.fileLines = static_cast<int>(number);
    result_.endsWithLineEnd =
        size_ > 0 && (Store()[size_ - 1] == '\r' || Store()[size_ - 1] == '\n');
    std::stable_sort(result_.prefixes.begin(), result_.prefixes.end(),
                     [](const auto& a, const auto& b) { return a.lines > b.lines; });
    return std::move(result_);
  }

 private:
  // The line read last, which the next one may still continue.
  struct Pending {
    LogEntry entry;
    FileLine last;  // its last piece
    bool damagedAccent = false;
  };

  std::string_view Store() const { return result_.store; }
  std::string_view Content(const FileLine& line) const {
    return Store().substr(line.content, line.end - line.content);
  }

  void Take(const FileLine& line) {
    if (line.empty()) {
      result_.trailingBlanks += line.end < line.rawEnd;
      Settle();
      return;
    }
    CountPrefix(Store().substr(line.start, line.content - line.start));
    bool damagedAccent = false;
    const LineFormId form = RecogniseLogLine(Content(line), damagedAccent);
    // The launcher writes the blank before an empty value at a line's end.
    const bool ownBlank = form != NoForm && EndsInItsValue(form) && line.rawEnd == line.end + 1 &&
                          ValueOf(form, Content(line)).empty();
    result_.trailingBlanks += line.end < line.rawEnd && !ownBlank;
    if (form == NoForm && pending_ && Continue(line)) return;
    Settle();
    LogEntry entry;
    entry.number = line.number;
    entry.offset = static_cast<std::uint32_t>(line.content);
    entry.length = static_cast<std::uint32_t>(line.rawEnd - line.content);
    entry.form = form;
    entry.kind = FormOf(form).kind;
    pending_ = Pending{entry, line, damagedAccent};
  }

  // Joins `line` onto the pending line where they make one of the
  // launcher's lines that a mail program wrapped.
  bool Continue(const FileLine& line) {
    Pending& pending = *pending_;
    const std::string_view next = Content(line);
    const std::size_t firstWord = std::min(next.find_first_of(Blanks), next.size());
    const bool open = pending.entry.form == NoForm || EndsInItsValue(pending.entry.form);
    if (!open || pending.last.width() + 1 + firstWord <= widest_) return false;
    std::string joined(WithoutBlanksAtTheEnd(TextOf(result_, pending.entry)));
    joined += ' ';
    joined += next;
    bool damagedAccent = false;
    const LineFormId form = RecogniseLogLine(joined, damagedAccent);
    if (form == NoForm || (pending.entry.form != NoForm && form != pending.entry.form)) {
      return false;
    }
    pending.entry.offset = static_cast<std::uint32_t>(result_.store.size());
    pending.entry.length = static_cast<std::uint32_t>(joined.size());
    pending.entry.lines = line.number - pending.entry.number + 1;
    pending.entry.form = form;
    pending.entry.kind = FormOf(form).kind;
    pending.last = line;
    pending.damagedAccent = damagedAccent;
    result_.store += joined;
    return true;
  }

  // The pending line can be continued no more: it becomes an entry.
  void Settle() {
    if (!pending_) return;
    Pending pending = *pending_;
    pending_.reset();
    LogEntry& entry = pending.entry;
    if (entry.form == NoForm) return AddToStretch(pending.last);
    if (entry.lines > 1) result_.rejoined.push_back(static_cast<int>(entry.number));
    if (pending.damagedAccent) result_.damagedAccents.push_back(static_cast<int>(entry.number));
    if (const auto stage = FormOf(entry.form).stage) {
      stage_ = *stage;
      entry.detail = false;
    }
    entry.stage = stage_;
    result_.entries.push_back(entry);
  }

  // A line that is none of the launcher's goes into the stretch of such
  // lines that ends the entries, or starts one.
  void AddToStretch(const FileLine& line) {
    std::vector<LogEntry>& entries = result_.entries;
    if (entries.empty() || entries.back().kind != LogLineKind::Unknown) {
      LogEntry stretch;
      stretch.number = line.number;
      stretch.offset = static_cast<std::uint32_t>(line.start);
      stretch.stage = stage_;
      entries.push_back(stretch);
    }
    LogEntry& stretch = entries.back();
    stretch.lines = line.number - stretch.number + 1;
    stretch.length = static_cast<std::uint32_t>(line.rawEnd - stretch.offset);
  }

  void CountPrefix(std::string_view prefix) {
    if (prefix.empty()) return;
    auto& prefixes = result_.prefixes;
    auto known = std::find_if(prefixes.begin(), prefixes.end(),
                              [prefix](const LogLines::Prefix& p) { return p.text == prefix; });
    if (known == prefixes.end()) {
      if (prefixes.size() < MostPrefixes) {
        prefixes.push_back({std::string(prefix), 0});
        known = prefixes.end() - 1;
      } else {
        known = prefixes.end() - 1;
        known->text = "";  // others
      }
    }
    ++known->lines;
  }

  const std::size_t size_;  // of the file's text, before the joined lines
  LogLines result_;
  std::size_t widest_ = 0;
  std::optional<Pending> pending_;
  RunStage stage_ = RunStage::Header;
};

}  // namespace

LogLines NormaliseLogLines(std::string text) { return Normaliser(std::move(text)).Run(); }

std::string_view WithoutBlanksAtTheEnd(std::string_view text) {
  return text.substr(0, text.find_last_not_of(Blanks) + 1);
}

std::string_view TextOf(const LogLines& lines, const LogEntry& entry) {
  return std::string_view(lines.store).substr(entry.offset, entry.length);
}

std::vector<NumberedLine> StretchLines(const LogLines& lines, const LogEntry& stretch,
                                       std::size_t most, bool firstBlock, std::size_t& count) {
  const std::string_view text = TextOf(lines, stretch);
  std::vector<NumberedLine> found;
  count = 0;
  int number = static_cast<int>(stretch.number);
  for (std::size_t start = 0; start < text.size(); ++number) {
    const LineSpan span = LineAt(text, start);
    const FileLine line = LineOf(text, 0, start, span.end);
    if (line.empty() && firstBlock) break;
    if (!line.empty() && count++ < most) {
      found.push_back({number, std::string(text.substr(start, span.end - start))});
    }
    start = span.next;
  }
  return found;
}

}  // namespace tarvo
