// Where the sections and keys of an INI file stand in its text, so that a
// finding can name the line. Values are never taken from here: they come
// through the system's profile lookup, as the launcher reads them.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

class IniLayout {
 public:
  struct Key {
    std::string name;  // as written, without blanks at either end
    int line;          // from 1
  };
  struct Section {
    std::string name;  // as written, without blanks at either end
    int line;
    std::vector<Key> keys;
  };

  // Lines end at LF; a key is a line with "=" in a section, unless it
  // begins with ";" as comments for people do. Names are matched as the profile lookup matches
  // them, without regard to letter case and blanks at either end.
  explicit IniLayout(const std::string& text);

  // The line of the first section named `section`; 0 when there is none.
  int SectionLine(const std::string& section) const;
  // The line of the first `key` in the first section named `section`, which
  // is the one the lookup reads; 0 when it has none.
  int KeyLine(const std::string& section, const std::string& key) const;
  // Every section in order, repeated names included.
  const std::vector<Section>& Sections() const { return sections_; }
  // The keys of the first section named `section`, in order.
  std::vector<Key> Keys(const std::string& section) const;

  static bool SameName(const std::string& first, const std::string& second);

 private:
  const Section* FirstSection(const std::string& name) const;

  std::vector<Section> sections_;
};

}  // namespace tarvo
