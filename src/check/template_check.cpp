#include "check/template_check.h"

#include <algorithm>
#include <set>

#include "app/start_page.h"
#include "platform/ascii_case.h"
#include "platform/text_lines.h"

namespace tarvo {

namespace {

const std::string Open = "<!--";
const std::string Close = "-->";

// Every comment of a line, in order; the first as the start page finds it.
std::vector<LineComment> Comments(const std::string& line) {
  std::vector<LineComment> comments;
  for (std::string::size_type from = 0;;) {
    const auto open = line.find(Open, from);
    if (open == std::string::npos) return comments;
    const auto close = line.find(Close, open);
    if (close == std::string::npos) return comments;
    from = close + Close.size();
    comments.push_back({open, line.substr(open, from - open)});
  }
}

// What a comment says between its "<!--" and "-->".
std::string Inside(const std::string& comment) {
  const auto length = Open.size() + Close.size();
  return comment.size() > length ? comment.substr(Open.size(), comment.size() - length) : "";
}

std::string WithoutBlanks(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; }),
             text.end());
  return text;
}

bool IsCapitalsAlone(const std::string& text) {
  return !text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
}

class TemplateCheck {
 public:
  explicit TemplateCheck(std::string file) : file_(std::move(file)) {}

  Findings Run(const std::string& text) {
    int number = 0;
    for (const std::string& line : TextLines(text)) CheckLine(line, ++number);
    for (const char* placeholder : Placeholders) {
      if (met_.count(placeholder) != 0) continue;
      findings_.push_back({"placeholder-missing", file_, 0,
                           std::string(placeholder) +
                               " stands nowhere in the template, so the start page lacks "
                               "what it would fill in"});
    }
    return std::move(findings_);
  }

 private:
  void Add(const char* code, int line, const std::string& message) {
    findings_.push_back({code, file_, line, message});
  }

  void CheckLine(const std::string& line, int number) {
    const auto first = FirstComment(line);
    const bool firstIsPlaceholder = first && IsPlaceholder(first->text);
    for (const LineComment& comment : Comments(line)) {
      if (first && comment.begin == first->begin && firstIsPlaceholder) {
        met_.insert(comment.text);
      } else if (IsPlaceholder(comment.text)) {
        met_.insert(comment.text);
        Add("placeholder-not-first", number,
            comment.text +
                (firstIsPlaceholder ? " follows another placeholder on its line"
                                    : " is not the first comment of its line") +
                ": the start page fills in only the first, and leaves this one as it stands");
      } else {
        CheckLookalike(comment.text, number);
      }
    }
  }

  // A comment that is no placeholder but was meant as one.
  void CheckLookalike(const std::string& comment, int number) {
    const std::string inside = Inside(comment);
    const std::string meant = Open + AsciiUpperCase(WithoutBlanks(inside)) + Close;
    const char* const stays = ": the start page leaves it in the page as it stands";
    if (IsPlaceholder(meant)) {
      met_.insert(meant);
      if (WithoutBlanks(inside) != inside) {
        Add("placeholder-spaces", number, comment + " has blanks inside, unlike " + meant + stays);
      } else {
        Add("placeholder-case", number,
            comment + " is not written in capitals as " + meant + stays);
      }
    } else if (IsCapitalsAlone(inside)) {
      Add("placeholder-unknown", number,
          comment + " is none of the seven placeholders (misspelt?)" + stays);
    }
  }

  std::string file_;
  std::set<std::string> met_;  // placeholders the template holds, well written or not
  Findings findings_;
};

}  // namespace

Findings CheckTemplate(const std::string& text, const std::string& file) {
  return TemplateCheck(file).Run(text);
}

}  // namespace tarvo
