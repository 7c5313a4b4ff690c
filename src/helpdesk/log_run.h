// What the readers of a log's parts share: its recognised lines to look
// things up in, and the reading they add facts and findings to. Each part of
// the run has its reader, in the file of the product's room it reads.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "helpdesk/log_lines.h"
#include "helpdesk/log_reading.h"

namespace tarvo {

class LogRun {
 public:
  using Index = std::size_t;
  static constexpr Index None = static_cast<Index>(-1);

  explicit LogRun(const LogText& text);

  const LogText& Text() const { return text_; }
  const std::vector<LogEntry>& Entries() const { return entries_; }
  const LogEntry& At(Index i) const { return entries_[i]; }
  Index Size() const { return entries_.size(); }

  // The first entry of `kind` in [from, to); None when there is none.
  Index Find(LogLineKind kind, Index from = 0, Index to = None) const;
  Index FindLast(LogLineKind kind, Index from, Index to) const;
  Index FindInStage(LogLineKind kind, RunStage stage) const;
  const std::string& Value(Index i) const { return entries_[i].value; }
  std::string ValueOr(Index i, const std::string& otherwise) const;
  // As line 100 gives it, else the usual CD-ROM drive.
  std::string StartDirectory() const;

  // A fact of `section`, replacing one of the same key.
  void Set(const char* section, const char* key, const std::string& value);
  // A further fact of `section`, as for a key that repeats.
  void Add(const char* section, const char* key, const std::string& value);
  // A finding on the lines at `lines` (None among them is left out).
  void Report(const char* code, std::vector<Index> lines, std::string meaning, std::string advice);
  // An exception line a fact or finding accounts for, and so no other.
  void Explain(Index i) { explained_.insert(i); }
  bool Explained(Index i) const { return explained_.count(i) != 0; }

  LogReading& Reading() { return reading_; }

 private:
  const LogText& text_;
  const std::vector<LogEntry> entries_;
  LogReading reading_;
  std::set<Index> explained_;
};

// A decimal number as the launcher writes one; none for any other text.
std::optional<long long> DecimalNumber(const std::string& text);

// Advice that more than one part of the run gives, in Dutch.
extern const char* const AdministratorAdvice;
extern const char* const RepairExplorerAdvice;
extern const char* const InstallBrowserAdvice;
std::string DebugRunAdvice(const LogRun& run);

// The readers of the run's parts that have a file of their own, in the
// order of the run.
void ReadChecks(LogRun& run);
void ReadBrowserDetection(LogRun& run);
void ReadRegistration(LogRun& run);
void ReadWindow(LogRun& run);
void ReadStartPage(LogRun& run);
// A search of drive C: in [from, to), as the part `section`: the one that
// looks for a better browser, or the one the built-in checks make.
void ReadSearch(LogRun& run, LogRun::Index from, LogRun::Index to, const char* section);

}  // namespace tarvo
