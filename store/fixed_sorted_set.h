// An ordered set of at most Capacity values held in one fixed array. The store's indexes of train slots
// change whenever a train comes or goes; kept here, they never allocate, and since each slot stands in an
// index at most once the capacity is that of the slots.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

template <class T, std::size_t Capacity>
class FixedSortedSet {
 public:
  using const_iterator = const T*;

  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  const_iterator begin() const { return values_.data(); }
  const_iterator end() const { return values_.data() + size_; }

  const_iterator lower_bound(const T& value) const { return std::lower_bound(begin(), end(), value); }
  const_iterator find(const T& value) const {
    const_iterator at = lower_bound(value);
    return at != end() && *at == value ? at : end();
  }

  // False when the value is there already, or when the set is full.
  bool insert(const T& value) {
    T* at = std::lower_bound(values_.data(), values_.data() + size_, value);
    if ((at != values_.data() + size_ && *at == value) || size_ == Capacity) return false;
    std::move_backward(at, values_.data() + size_, values_.data() + size_ + 1);
    *at = value;
    ++size_;
    return true;
  }

  bool erase(const T& value) {
    T* at = std::lower_bound(values_.data(), values_.data() + size_, value);
    if (at == values_.data() + size_ || !(*at == value)) return false;
    std::move(at + 1, values_.data() + size_, at);
    --size_;
    return true;
  }

 private:
  std::array<T, Capacity> values_{};
  std::size_t size_ = 0;
};
