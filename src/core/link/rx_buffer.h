#pragma once
// The single receive buffer shared by both links and every answer handler.
#include <array>
#include <cstddef>
#include <cstdint>

namespace kestora {

struct RxBufferState {
    static constexpr std::size_t kSize = 260;
    std::array<std::uint8_t, kSize> RxBuffer{};
    int RxLength = 0;

    void clear() {
        RxBuffer.fill(0);
        RxLength = 0;
    }
    // Stores one byte; bytes past the 260th are dropped (the answer then
    // fails its length test and the watchdog acts).
    void append(std::uint8_t b) {
        if (RxLength < static_cast<int>(kSize)) RxBuffer[static_cast<std::size_t>(RxLength)] = b;
        if (RxLength < static_cast<int>(kSize)) ++RxLength;
    }
    // The reset rule: a buffer that does not begin with a start byte is emptied.
    void applyResetRule() {
        if (RxLength > 0 && RxBuffer[0] != 0xAA && RxBuffer[0] != 0x5F) clear();
    }
};

}  // namespace kestora
