#include "recorder/chart_file.h"

#include <algorithm>
#include <string_view>

#include "recorder/recorder.h"

namespace calorix::recorder {

ChartFile::~ChartFile() {
  if (load_) load_->cancelled = true;
}

ChartFile::Change ChartFile::Sync() {
  if (load_) return Change::kNone;
  const auto size = files_.Size(kRecordFileName);
  const bool hadRecords = fed_ > 0;
  if (!size) {
    if (!hadRecords) return Change::kNone;
    Forget();
    return Change::kEmptied;
  }
  if (hadRecords) {
    const std::uint64_t before = fed_;
    switch (ReadOn(*size)) {
      case Check::kUnreadable:
        return Change::kNone;  // locked for now; the next record tries again
      case Check::kSame:
        return fed_ != before ? Change::kAppended : Change::kNone;
      case Check::kChanged:
        Forget();
        break;
    }
  }
  if (*size == 0) return hadRecords ? Change::kEmptied : Change::kNone;
  StartLoad(*size);
  return Change::kLoading;
}

// The recorder only appends, so the bytes read before are checked through
// the samples only: the first and the last 4 KiB fed are read back and
// compared, and whatever follows them is fed. An edit that keeps the file's
// length (or makes it longer) and leaves both samples as they were, such as
// a reading changed in the middle of the file to one of as many characters,
// is not noticed: the chart keeps the old values until it is opened again.
ChartFile::Check ChartFile::ReadOn(std::uint64_t size) {
  if (size < fed_) return Check::kChanged;
  const auto head = files_.ReadRange(kRecordFileName, 0, samples_.head.size());
  if (!head) return Check::kUnreadable;
  if (*head != samples_.head) return Check::kChanged;
  // The tail sample and what follows it, in one read.
  const std::size_t tailBytes = samples_.tail.size();
  const auto afterTail = static_cast<std::size_t>(std::min<std::uint64_t>(kChartChunkBytes, size - fed_));
  const auto read = files_.ReadRange(kRecordFileName, fed_ - tailBytes, tailBytes + afterTail);
  if (!read) return Check::kUnreadable;
  const std::string_view bytes = *read;
  if (bytes.substr(0, tailBytes) != samples_.tail) return Check::kChanged;
  Feed(bytes.substr(tailBytes));
  // More than a piece appended at once: unusual, read on in pieces.
  while (fed_ < size) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kChartChunkBytes, size - fed_));
    const auto piece = files_.ReadRange(kRecordFileName, fed_, wanted);
    if (!piece || piece->empty()) break;  // what is left waits for the next sync
    Feed(*piece);
  }
  return Check::kSame;
}

void ChartFile::Feed(std::string_view bytes) {
  store_.Feed(bytes);
  samples_.Note(bytes);
  fed_ += bytes.size();
}

// The load owns its store until `done`; `done` looks at the load's own flag
// before anything else, so a load dropped by Forget (or by this object's end)
// never touches the chart again.
void ChartFile::StartLoad(std::uint64_t size) {
  auto load = std::make_shared<ChartLoad>();
  load->name = kRecordFileName;
  load->size = size;
  load_ = load;
  platform::Files& files = files_;
  process_.RunInBackground([load, &files] { LoadChartFile(files, *load); },
                           [this, load] {
                             if (!load->cancelled) Loaded(load);
                           });
}

void ChartFile::Loaded(const std::shared_ptr<ChartLoad>& load) {
  load_.reset();
  // A file that could not be read is tried again at the next sync (the next
  // record), not at once, so a locked file is not read in a loop.
  if (!load->failed) {
    store_ = std::move(load->store);
    samples_ = std::move(load->samples);
    fed_ = load->fed;
    Sync();  // what was appended (or changed) while the file was read
  }
  if (onLoaded) onLoaded();
}

std::optional<double> ChartFile::LoadProgress() const {
  if (!load_) return std::nullopt;
  if (load_->size == 0) return 0.0;
  return static_cast<double>(load_->bytesRead) / static_cast<double>(load_->size);
}

void ChartFile::Forget() {
  if (load_) {
    load_->cancelled = true;
    load_.reset();
  }
  store_ = ChartStore();  // its memory too, not only its records
  samples_ = ChartSamples();
  fed_ = 0;
}

}  // namespace calorix::recorder
