#pragma once
// Recognising a complete answer in the receive buffer: start byte, length
// rule and end byte. Check bytes and header bytes are not examined.
#include <cstdint>

#include "link/rx_buffer.h"

namespace kestora {

enum class AnswerForm { None, Long, Short };

struct AnswerView {
    AnswerForm form = AnswerForm::None;
    std::uint8_t code = 0;
    int dataLength = 0;
    const std::uint8_t* data = nullptr;  // first data byte
};

// Length a complete answer starting at bytes[0] has, or 0 when the bytes
// seen so far (count of them) do not yet tell.
int answerLength(const std::uint8_t* bytes, int count);
// The answer the buffer holds when it holds exactly one complete answer.
AnswerView completeAnswer(const RxBufferState& rx);

}  // namespace kestora
