// What the readers of a log's parts share: its recognised lines to look
// things up in, and the reading they add facts and findings to. Each part of
// the run has its reader, in the file of the product's room it reads.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "helpdesk/log_lines.h"
#include "helpdesk/log_normalising.h"
#include "helpdesk/log_reading.h"

namespace tarvo {

class LogRun {
 public:
  using Index = std::size_t;
  static constexpr Index None = static_cast<Index>(-1);

  // The run whose entries are [from, to) of `lines`: from its first line to
  // its last, with the stretches between them.
  LogRun(const LogLines& lines, std::size_t from, std::size_t to);

  const LogLines& Lines() const { return lines_; }
  const LogEntry& At(Index i) const { return lines_.entries[from_ + i]; }
  Index Size() const { return to_ - from_; }
  // The entry of the file after the run's last line; none at the file's end.
  const LogEntry* After() const;

  // The first entry of `kind` in [from, to); None when there is none.
  Index Find(LogLineKind kind, Index from = 0, Index to = None) const;
  Index FindLast(LogLineKind kind, Index from, Index to) const;
  Index FindInStage(LogLineKind kind, RunStage stage) const;
  std::string_view Text(Index i) const { return TextOf(lines_, At(i)); }
  std::string Value(Index i) const { return ValueOf(At(i).form, WithoutBlanksAtTheEnd(Text(i))); }
  std::string ValueOr(Index i, const std::string& otherwise) const;
  // Whether no line of the file stands between the entry `a` and the next
  // (or the file's end).
  bool FollowedDirectly(Index a) const;
  // As line 100 gives it, else the usual CD-ROM drive.
  std::string StartDirectory() const;

  // A fact of `section`, replacing one of the same key.
  void Set(const char* section, const char* key, const std::string& value);
  // A further fact of `section`, as for a key that repeats.
  void Add(const char* section, const char* key, const std::string& value);
  // A finding on the lines at `lines` (None among them is left out).
  void Report(const char* code, std::vector<Index> lines, std::string meaning, std::string advice);
  // A finding on lines as the file holds them.
  void ReportLines(const char* code, std::vector<NumberedLine> lines, std::string meaning,
                   std::string advice);
  // An exception line a fact or finding accounts for, and so no other.
  void Explain(Index i) { explained_.insert(i); }
  bool Explained(Index i) const { return explained_.count(i) != 0; }

  LogReading& Reading() { return reading_; }

 private:
  const LogLines& lines_;
  const std::size_t from_;
  const std::size_t to_;
  LogReading reading_;
  std::set<Index> explained_;
};

// How a run's log ends, and so how much of its story it tells.
enum class EndingKind {
  Complete,             // as the launcher ends a run, closing lines and all
  WithoutClosingLines,  // the same, the closing empty lines lost on the way
  BrokeOff,             // an error no routine caught ended the run
  CutOff,               // the file was cut short
  Damaged,              // lines of it cannot be read, or are missing
};

struct Ending {
  EndingKind kind = EndingKind::Complete;
  LogRun::Index last = 0;  // the last line the launcher wrote before its closing lines
};

// The end of the run as the facts "ending" and "outcome" of "log", and the
// finding of a run that broke off or of a file that was cut short or
// damaged: with lines that cannot be read, or without the line that made
// the launcher keep the log of a run without switches.
Ending ReadEnding(LogRun& run);

// Whether the run ended of itself after line `i`: a stop, or the launch.
bool EndsTheRun(const LogRun& run, LogRun::Index i);

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

// What the readers of one part learn for another: the code the browser the
// launcher chose got (empty when the log does not tell), and whether the
// .htm repair of /CHECKS pointed .htm at its file type but could not give
// that type its open command.
std::string ChosenBrowserCode(const LogRun& run);
bool HtmRepairLeftHalfDone(const LogRun& run);

}  // namespace tarvo
