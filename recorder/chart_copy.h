// The records the chart shows, as text for the clipboard: each record's line
// read back from the record file exactly as it stands there, in file order.
// Lines are read in large pieces by their offsets, not one read per line,
// so that a million records copy in a fraction of a second.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/forms.h"
#include "platform/platform.h"
#include "recorder/chart_store.h"

namespace calorix::recorder {

struct CopiedRecords {
  std::string text;         // the lines, each ended with CR LF
  std::size_t inView = 0;   // records whose time is in the window
  std::size_t copied = 0;   // of those, lines found in the file as read
};

// True when `line` (without its line end) reads as the store's record
// `index`: the same minute and readings. A file changed since it was read
// has other lines at the records' places.
bool IsLineOfRecord(const ChartStore& store, std::size_t index, std::string_view line);

// The line of record `index` as the file has it, without its line end;
// nullopt when it cannot be read back as that record.
std::optional<std::string> RecordedLine(platform::Files& files, std::string_view fileName, const ChartStore& store,
                                        std::size_t index);

// The lines of the records whose time is in [from, to), as the chart draws
// them. A line is copied only while it still reads as its record: a file changed or cut short since it was read gives fewer lines,
// a missing one none. Records past 4 GiB, whose place is not kept, are left out.
CopiedRecords CopyRecordsInView(platform::Files& files, std::string_view fileName, const ChartStore& store,
                                double from, double to);

// The status line after a copy.
std::string CopyStatus(const CopiedRecords& records, ui::ClipboardCopy copy);

}  // namespace calorix::recorder
