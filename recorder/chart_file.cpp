#include "recorder/chart_file.h"

#include <algorithm>

#include "recorder/recorder.h"

namespace calorix::recorder {

namespace {

// The store is fed in pieces of this size, as a stream would bring them.
constexpr std::size_t kChunkBytes = 1 << 20;
// About the length of a record line, to reserve room for a file's records.
constexpr std::size_t kTypicalLineBytes = 60;

}  // namespace

std::uint64_t ChartFile::Digest(std::uint64_t digest, std::string_view bytes) {
  for (const char byte : bytes) {
    digest ^= static_cast<unsigned char>(byte);
    digest *= 1099511628211ull;
  }
  return digest;
}

ChartFile::Change ChartFile::Sync() {
  const auto size = files_.Size(kRecordFileName);
  if (!size) {
    if (fed_ == 0) return Change::kNone;
    Forget();
    return Change::kReloaded;
  }
  // The recorder only appends: a file of the same size is the same file.
  if (*size == fed_) return Change::kNone;
  const auto content = files_.ReadAll(kRecordFileName);
  if (!content) return Change::kNone;  // locked for now; the next record tries again
  const std::string_view bytes = *content;
  Change change = Change::kAppended;
  if (bytes.size() < fed_ || Digest(kDigestStart, bytes.substr(0, fed_)) != digest_) {
    Forget();
    change = Change::kReloaded;
  }
  if (fed_ == 0) store_.Reserve(bytes.size() / kTypicalLineBytes);
  Feed(bytes.substr(fed_));
  return change;
}

void ChartFile::Feed(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += kChunkBytes) {
    const std::string_view chunk = bytes.substr(at, kChunkBytes);
    store_.Feed(chunk);
    digest_ = Digest(digest_, chunk);
    fed_ += chunk.size();
  }
}

void ChartFile::Forget() {
  store_ = ChartStore();  // its memory too, not only its records
  fed_ = 0;
  digest_ = kDigestStart;
}

}  // namespace calorix::recorder
