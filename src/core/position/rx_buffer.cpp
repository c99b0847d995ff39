#include "core/position/rx_buffer.h"

#include <algorithm>

namespace zentorak {

void RxBuffer::Append(unsigned char byte) {
    std::lock_guard lock(mutex_);
    if (count_ < kCapacity) {
        chars_[count_++] = byte;
    }
}

void RxBuffer::Clear() {
    std::lock_guard lock(mutex_);
    std::fill(std::begin(chars_), std::end(chars_), u'\0');
    count_ = 0;
}

std::u16string RxBuffer::Text() const {
    std::lock_guard lock(mutex_);
    return std::u16string(chars_, count_);
}

size_t RxBuffer::Size() const {
    std::lock_guard lock(mutex_);
    return count_;
}

}  // namespace zentorak
