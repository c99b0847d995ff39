#include "core/position/rx_buffer.h"

#include <algorithm>
#include <iterator>

namespace zentorak {

void RxBuffer::Append(const unsigned char* bytes, size_t count) {
    std::lock_guard lock(mutex_);
    const size_t taken = std::min(count, kCapacity - count_);
    std::copy(bytes, bytes + taken, chars_ + count_);
    count_ += taken;
}

void RxBuffer::Clear() {
    std::lock_guard lock(mutex_);
    std::fill(std::begin(chars_), std::end(chars_), u'\0');
    count_ = 0;
}

std::u16string RxBuffer::Text() const {
    std::lock_guard lock(mutex_);
    std::u16string text;
    text.reserve(count_);
    std::copy_if(chars_, chars_ + count_, std::back_inserter(text),
                 [](char16_t c) { return c != 0; });
    return text;
}

size_t RxBuffer::Size() const {
    std::lock_guard lock(mutex_);
    return count_;
}

}  // namespace zentorak
