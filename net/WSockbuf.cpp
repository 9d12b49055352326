#include "net/WSockbuf.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int32_t capacity)
    : capacity_(capacity > 0 ? capacity : kDefaultCapacity) {
  data_ = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(capacity_));
}

int32_t TBuffer::Write(const void* data, int32_t len) {
  const int32_t n = std::clamp(len, 0, capacity_ - writeCount_);
  if (n > 0) std::memcpy(data_.get() + writeCount_, data, static_cast<size_t>(n));
  writeCount_ += n;
  return n;
}

const char* TBuffer::Peek(int32_t& len) const {
  len = Pending();
  return len > 0 ? data_.get() + readCount_ : nullptr;
}

int32_t TBuffer::Remove(int32_t len) {
  const int32_t n = std::clamp(len, 0, Pending());
  readCount_ += n;
  if (readCount_ == writeCount_) readCount_ = writeCount_ = 0;
  return n;
}
