#pragma once
// TBuffer: one chunk of a socket's send queue. It owns a block of fixed capacity that is
// filled at its write position and drained from its read position; once drained completely
// both positions go back to 0, so the chunk can be filled again.
#include <cstdint>
#include <memory>

class TBuffer {
 public:
  // Capacity used when a chunk is asked for with a size of 0 or less.
  static constexpr int32_t kDefaultCapacity = 1514;

  explicit TBuffer(int32_t capacity);

  // Copies as much of data as fits; returns the number of bytes copied (0 when full).
  int32_t Write(const void* data, int32_t len);
  // The first unsent byte and the number of unsent bytes (nullptr and 0 when none).
  const char* Peek(int32_t& len) const;
  // Marks up to len bytes as sent; returns how many were.
  int32_t Remove(int32_t len);

  int32_t Capacity() const { return capacity_; }
  int32_t Pending() const { return writeCount_ - readCount_; }

 private:
  std::unique_ptr<char[]> data_;
  int32_t capacity_;
  int32_t writeCount_ = 0;
  int32_t readCount_ = 0;
};
