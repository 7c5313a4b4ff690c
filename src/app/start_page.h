// The personalised start page: lmrstart.htm in the temporary directory,
// made from the disc's template.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvo {

inline constexpr const char* PlaceholderX = "<!--INTFACEX-->";
inline constexpr const char* PlaceholderY = "<!--INTFACEY-->";
inline constexpr const char* PlaceholderMainPage = "<!--TEMPLATE-->";
inline constexpr const char* PlaceholderStatus = "<!--STATUSTEKST-->";
inline constexpr const char* PlaceholderMusic = "<!--MUZIEK-->";
inline constexpr const char* PlaceholderTrack = "<!--NUMMER-->";
inline constexpr const char* PlaceholderVolume = "<!--VOLUME-->";
// Every placeholder, in the order a line's first comment is compared.
inline constexpr const char* Placeholders[] = {
    PlaceholderX,     PlaceholderY,     PlaceholderMainPage, PlaceholderStatus,
    PlaceholderMusic, PlaceholderTrack, PlaceholderVolume,
};

// The first comment of a template line, the only one the start page looks
// at: from the line's first "<!--" through its first "-->", unless that
// begins before it.
struct LineComment {
  std::size_t begin;  // where its "<!--" stands
  std::string text;
};
std::optional<LineComment> FirstComment(const std::string& line);

// True when `comment` is one of the placeholders, exactly as written.
bool IsPlaceholder(const std::string& comment);

// `document` holds the start directory on entry. Fills in the template's
// placeholders (the window centred in the work area, the disc's main page for
// BrowserCode, the status text, the music settings), writes the page and
// leaves its path in `document`. A file that cannot be read or written ends
// the run through the file-error diagnosis; after any other error, which is
// logged as a problem, `document` keeps what it held then.
void CreateStartPage(std::string& document, std::int32_t desktopHeight, std::int32_t desktopWidth,
                     std::int32_t browserHeight, std::int32_t browserWidth);

}  // namespace tarvo
