#include "virtual_loop.h"

#include <algorithm>

namespace kestora::sim {

std::vector<VirtualLoop::Tracked>& VirtualLoop::timers() {
    if (tracked_.empty())
        for (CoreTimer* t : {&app_.Form1.Timer, &app_.Form1.TimerKasa}) tracked_.push_back({t, t->epoch(), now_});
    return tracked_;
}

void VirtualLoop::run(long long ms) {
    const long long end = now_ + ms;
    for (;;) {
        long long next = end + 1;
        CoreTimer* due = nullptr;
        for (Tracked& t : timers()) {
            // A timer switched on (or given a new interval) counts from then.
            if (t.epoch != t.timer->epoch()) {
                t.epoch = t.timer->epoch();
                t.start = now_;
            }
            if (!t.timer->enabled()) continue;
            const long long at = t.start + t.timer->interval();
            if (at < next) next = at, due = t.timer;
        }
        const long long answer = link_.nextDue();
        const bool answerFirst = answer >= 0 && answer <= next;
        if (answerFirst) next = answer;
        if (next > end) break;
        now_ = std::max(now_, next);
        if (answerFirst) {
            link_.deliver(now_, [this](const kestora::Bytes& chunk, bool overTcp) {
                if (overTcp) {
                    for (std::uint8_t b : chunk)
                        app_.deferrableEntry([this, b] { app_.link.receivedTcpByte(b, app_.FrmKonf.tcpChosen()); });
                } else {
                    app_.deferrableEntry([this, chunk] { app_.link.receivedSerialChunk(chunk); });
                }
            });
        } else {
            for (Tracked& t : timers())
                if (t.timer == due) t.start = now_;  // the next round of a periodic timer
            app_.deferrableEntry([due] { due->fire(); });
        }
    }
    now_ = std::max(now_, end);
}

}  // namespace kestora::sim
