// The W-SIM receive buffer: 1000 characters, one per received byte (zero-extended). Bytes
// beyond the 1000th are dropped, never stored. The receive thread appends, the query thread
// clears and reads; a mutex keeps the two apart. The text leaves out NUL bytes, which would
// end it early in the log pane.
#pragma once

#include <mutex>
#include <string>

namespace zentorak {

class RxBuffer {
public:
    static constexpr size_t kCapacity = 1000;

    void Append(unsigned char byte) { Append(&byte, 1); }
    void Append(const unsigned char* bytes, size_t count);
    void Clear();
    std::u16string Text() const;
    size_t Size() const;

private:
    mutable std::mutex mutex_;
    char16_t chars_[kCapacity] = {};
    size_t count_ = 0;
};

}  // namespace zentorak
