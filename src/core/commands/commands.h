#pragma once
// The device operations: each builds one frame and sends it by its
// discipline. Outcomes arrive later as answers.
#include "link/frame.h"

namespace kestora {

class App;

class Commands {
public:
    explicit Commands(App& app) : app_(app) {}

    // Writes to the link chosen in the configuration window at this moment:
    // the serial port when "COM PORT" is selected, else the TCP connection.
    void Write_(const Bytes& bytes);

    // The send disciplines. pauseMs is the pause before the write (0: none).
    void sendReceipt(const WorkArea& frame, int pauseMs = 0);
    void sendService(const WorkArea& frame, int pauseMs = 0);
    void sendPlain(const WorkArea& frame);

    // A CommandFrame for the configured model with the current sequence byte.
    WorkArea commandFrame(std::uint8_t code, const Bytes& data = {}) const;

    // Resends a stored copy unchanged, by the route of its first sending.
    void resend(const FrameCopy& copy);
    void resendServiceFrameText();

    void GetStatus();
    void IzlazPrinter();

private:
    void write(const WorkArea& frame);  // printer through Write_, cash registers to the serial port
    App& app_;
};

}  // namespace kestora
