#include "link/answer.h"

namespace kestora {

int answerLength(const std::uint8_t* b, int count) {
    if (count >= 9 && b[0] == 0xAA) return b[8] + 12;
    if (count >= 3 && b[0] == 0x5F) return b[2] + 4;
    return 0;
}

AnswerView completeAnswer(const RxBufferState& rx) {
    const std::uint8_t* b = rx.RxBuffer.data();
    const int n = answerLength(b, rx.RxLength);
    if (n == 0 || rx.RxLength != n || b[n - 1] != 0x0D) return {};
    if (b[0] == 0xAA) return {AnswerForm::Long, b[7], b[8], b + 9};
    return {AnswerForm::Short, b[1], b[2], b + 3};
}

}  // namespace kestora
