// tarvo-check log's output: the reading of a log for people, or as one JSON
// object for scripts.
#pragma once

#include <ostream>
#include <string>

#include "helpdesk/log_reading.h"

namespace tarvo {

// The file's name, the run part by part ("key: value" lines, keys with
// blanks for underscores), then each finding with its lines, meaning and
// advice, and how many there were.
void WriteLogReadingText(const LogReading& reading, const std::string& file, std::ostream& out);

// {"file", "runs", "log": {...}, "run": {"<part>": {...}, ...}, "findings":
// [{"code", "lines": [{"number", "text"}], "meaning", "advice"}, ...]}
// without a line end after it; a key that repeats within a part holds an
// array. "runs" counts the launcher's runs in the file; the last is read.
void WriteLogReadingJson(const LogReading& reading, const std::string& file, std::ostream& out);

}  // namespace tarvo
