#pragma once
// Keeps a script that polls an empty event queue in a tight loop responsive without burning a
// processor: the first 100 empty polls in a row only yield, later ones sleep 10 ms.
namespace vexil {

class IdleThrottle {
public:
    // The sleep, in ms, for one empty poll; a busy other queue always sleeps, so that its events
    // get their turn.
    int nextSleep(bool otherQueueBusy) {
        if (otherQueueBusy || emptyPolls_ >= kYieldingPolls) return 10;
        ++emptyPolls_;
        return 0;
    }
    // Sleeps as nextSleep says.
    void onEmptyPoll(bool otherQueueBusy);
    // An event was returned: start counting again.
    void reset() { emptyPolls_ = 0; }

private:
    static constexpr int kYieldingPolls = 100;
    int emptyPolls_ = 0;
};

} // namespace vexil
