#include "recorder/chart_loader.h"

#include <algorithm>

namespace calorix::recorder {

namespace {

// Records a file of `size` bytes holds, judged from its first piece's lines,
// with a little to spare: a file's lines are mostly of one length. Trimmed
// once the file is read, so a guess too high costs nothing lasting, and one
// too low grows the arrays by eighths.
std::size_t EstimatedRecords(std::string_view firstPiece, std::uint64_t size) {
  const auto lines = static_cast<std::uint64_t>(std::count(firstPiece.begin(), firstPiece.end(), '\n'));
  if (lines == 0) return 0;
  if (firstPiece.size() >= size) return static_cast<std::size_t>(lines);
  const std::uint64_t estimate = size / firstPiece.size() * lines +
                                 size % firstPiece.size() * lines / firstPiece.size();
  return static_cast<std::size_t>(estimate + estimate / 64);
}

}  // namespace

void ChartSamples::Note(std::string_view bytes) {
  if (head.size() < kBytes) head.append(bytes.substr(0, kBytes - head.size()));
  if (bytes.size() >= kBytes) {
    tail.assign(bytes.substr(bytes.size() - kBytes));
    return;
  }
  tail.append(bytes);
  if (tail.size() > kBytes) tail.erase(0, tail.size() - kBytes);
}

void LoadChartFile(platform::Files& files, ChartLoad& load) {
  while (load.fed < load.size && !load.cancelled) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kChartChunkBytes, load.size - load.fed));
    const auto piece = files.ReadRange(load.name, load.fed, wanted);
    if (!piece) {
      load.failed = true;
      return;
    }
    if (piece->empty()) break;  // shorter now; the next look at the file sees why
    if (load.fed == 0) load.store.Reserve(EstimatedRecords(*piece, load.size));
    load.store.Feed(*piece);
    load.samples.Note(*piece);
    load.fed += piece->size();
    load.bytesRead = load.fed;
  }
  load.store.ShrinkToFit();
}

}  // namespace calorix::recorder
