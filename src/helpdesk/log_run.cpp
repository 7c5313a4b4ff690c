#include "helpdesk/log_run.h"

#include <algorithm>
#include <utility>

namespace tarvo {

const char* const AdministratorAdvice =
    "Start de cd-rom één keer met beheerdersrechten: op Windows NT, 2000 en XP aangemeld als "
    "beheerder, op Windows Vista en later met de rechtermuisknop op TARVO32.EXE op de cd-rom en "
    "dan 'Als administrator uitvoeren'. Houdt een beveiligingsprogramma wijzigingen in het "
    "register tegen, sta ze dan toe voor TARVO32.EXE.";
const char* const RepairExplorerAdvice =
    "Herstel Internet Explorer of installeer hem opnieuw (de meest recente versie staat op de "
    "cd-rom) en start daarna de cd-rom opnieuw.";
const char* const InstallBrowserAdvice =
    "Installeer een ondersteunde browser (de meest recente versies staan op de cd-rom) en start "
    "daarna de cd-rom opnieuw.";

std::optional<long long> DecimalNumber(const std::string& text) {
  const bool negative = text.compare(0, 1, "-") == 0;
  const std::size_t first = negative ? 1 : 0;
  if (text.size() == first || text.size() - first > 18) return std::nullopt;
  long long number = 0;
  for (std::size_t i = first; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    number = number * 10 + (text[i] - '0');
  }
  return negative ? -number : number;
}

std::string DebugRunAdvice(const LogRun& run) {
  return "Start de cd-rom opnieuw met de optie /DEBUG (Start, Uitvoeren: " + run.StartDirectory() +
         "TARVO32.EXE /DEBUG) en stuur het nieuwe logbestand C:\\LMRSTART.LOG mee.";
}

LogRun::LogRun(const LogLines& lines, std::size_t from, std::size_t to)
    : lines_(lines), from_(from), to_(to) {}

const LogEntry* LogRun::After() const {
  return to_ < lines_.entries.size() ? &lines_.entries[to_] : nullptr;
}

bool LogRun::FollowedDirectly(Index a) const {
  const LogEntry& entry = At(a);
  const LogEntry* next = a + 1 < Size() ? &At(a + 1) : After();
  const std::uint32_t end = entry.number + entry.lines;
  return next ? next->number == end : end > static_cast<std::uint32_t>(lines_.fileLines);
}

LogRun::Index LogRun::Find(LogLineKind kind, Index from, Index to) const {
  for (Index i = from; i < std::min(to, Size()); ++i) {
    if (At(i).kind == kind) return i;
  }
  return None;
}

LogRun::Index LogRun::FindLast(LogLineKind kind, Index from, Index to) const {
  Index found = None;
  for (Index i = from; i < std::min(to, Size()); ++i) {
    if (At(i).kind == kind) found = i;
  }
  return found;
}

LogRun::Index LogRun::FindInStage(LogLineKind kind, RunStage stage) const {
  for (Index i = 0; i < Size(); ++i) {
    if (At(i).kind == kind && At(i).stage == stage) return i;
  }
  return None;
}

std::string LogRun::ValueOr(Index i, const std::string& otherwise) const {
  return i == None ? otherwise : Value(i);
}

std::string LogRun::StartDirectory() const { return ValueOr(Find(LogLineKind::StartDir), "D:\\"); }

void LogRun::Set(const char* section, const char* key, const std::string& value) {
  auto named = std::find_if(reading_.sections.begin(), reading_.sections.end(),
                            [section](const LogSection& s) { return s.name == section; });
  if (named != reading_.sections.end()) {
    for (LogFact& fact : named->facts) {
      if (fact.key == key) {
        fact.value = value;
        return;
      }
    }
  }
  Add(section, key, value);
}

void LogRun::Add(const char* section, const char* key, const std::string& value) {
  auto named = std::find_if(reading_.sections.begin(), reading_.sections.end(),
                            [section](const LogSection& s) { return s.name == section; });
  if (named == reading_.sections.end()) {
    reading_.sections.push_back({section, {}});
    named = reading_.sections.end() - 1;
  }
  named->facts.push_back({key, value});
}

void LogRun::Report(const char* code, std::vector<Index> lines, std::string meaning,
                    std::string advice) {
  lines.erase(std::remove(lines.begin(), lines.end(), None), lines.end());
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  std::vector<NumberedLine> numbered;
  for (const Index i : lines) {
    numbered.push_back({static_cast<int>(At(i).number), std::string(Text(i))});
  }
  ReportLines(code, std::move(numbered), std::move(meaning), std::move(advice));
}

void LogRun::ReportLines(const char* code, std::vector<NumberedLine> lines, std::string meaning,
                         std::string advice) {
  reading_.findings.push_back({code, std::move(lines), std::move(meaning), std::move(advice)});
}

}  // namespace tarvo
