#pragma once
// A view of contiguous elements owned by someone else: what the jobs of the
// scene (skinning, triangulation) read and write.

#include <cstddef>
#include <vector>

template <class T>
struct VSpan {
  T* data = nullptr;
  std::size_t size = 0;

  VSpan() = default;
  VSpan(T* d, std::size_t n) : data(d), size(n) {}
  template <class U>
  VSpan(std::vector<U>& v) : data(v.data()), size(v.size()) {}  // NOLINT: implicit on purpose
  template <class U>
  VSpan(const std::vector<U>& v) : data(v.data()), size(v.size()) {}  // NOLINT

  T& operator[](std::size_t i) const { return data[i]; }
  T* begin() const { return data; }
  T* end() const { return data + size; }
  bool empty() const { return size == 0; }
};
