// A record of events that a test reads back: the most recent ones, up to a
// fixed number, and how many there were in all. However long the program
// runs, the record keeps the same size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace calorix::sim {

template <typename T>
class RecentLog {
 public:
  static constexpr std::size_t kKept = 256;

  using value_type = T;
  using const_iterator = typename std::deque<T>::const_iterator;
  using iterator = const_iterator;

  void Add(T item) {
    if (items_.size() == kKept) items_.pop_front();
    items_.push_back(std::move(item));
    ++total_;
  }
  // Every event since the start, also those no longer kept.
  std::uint64_t Total() const { return total_; }

  // The events kept, oldest first.
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }
  const T& operator[](std::size_t index) const { return items_[index]; }
  const T& front() const { return items_.front(); }
  const T& back() const { return items_.back(); }

  bool operator==(const std::vector<T>& other) const {
    return std::equal(items_.begin(), items_.end(), other.begin(), other.end());
  }

 private:
  std::deque<T> items_;
  std::uint64_t total_ = 0;
};

}  // namespace calorix::sim
