#pragma once
// Interfaces the core calls. The Qt front end, the headless front end and
// the tests implement them. Everything is called on the main thread.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestora {

using Bytes = std::vector<std::uint8_t>;

// An error raised by the platform (a port that will not open, a write on a
// closed link, a number that does not parse). Entry points catch it at their
// boundary and show its text.
struct PlatformError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct LocalDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0, msec = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() = 0;
    // Blocks the conversation for ms milliseconds (50 ... 10000).
    virtual void pause(int ms) = 0;
};

class Random {
public:
    virtual ~Random() = default;
    virtual void seed() = 0;
    // A whole number from lo to hi inclusive.
    virtual int between(int lo, int hi) = 0;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens devicePath at 57600 8N1, no flow control. Throws PlatformError
    // when the open call fails.
    virtual void open(const std::string& devicePath) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Throws PlatformError when the port is closed or the write fails.
    virtual void write(const Bytes& bytes) = 0;
};

class TcpClient {
public:
    virtual ~TcpClient() = default;
    // Throws PlatformError when no connection is made within timeoutMs.
    virtual void connectTo(const std::string& host, int port, int timeoutMs) = 0;
    virtual bool connected() const = 0;
    virtual void disconnect() = 0;
    // Throws PlatformError when not connected or the write fails.
    virtual void write(const Bytes& bytes) = 0;
};

class SystemClock {
public:
    virtual ~SystemClock() = default;
    // Sets the computer's local date and time; throws PlatformError with the
    // reason when the system refuses.
    virtual void setLocal(const LocalDateTime& when) = 0;
};

// What the operator sees of the shared operator dialog.
enum class ButtonSet { Confirm, Choice, OkOnly };

struct DialogView {
    std::string title;
    std::string text;
    ButtonSet set = ButtonSet::Confirm;
    std::vector<std::string> buttons;  // captions of the visible buttons, in order
};

// The answer: the 1-based index of the button pressed within the visible
// set, or 0 when the dialog was closed without a button (close box, closed
// from outside).
using DialogAnswer = int;

enum class WindowId { Main, Dialog, Articles, Konfig, Reports, Instructions };

class OperatorPort {
public:
    virtual ~OperatorPort() = default;
    // Shows the operator dialog modally and returns the button pressed.
    virtual DialogAnswer showDialog(const DialogView& view) = 0;
    // Closes the operator dialog from outside if it is showing.
    virtual void closeDialog() = 0;
    // The instructions window, modal, its lines as given.
    virtual void showInstructions(const std::string& caption, const std::vector<std::string>& lines) = 0;
    // A standard confirmation message box with two buttons; true for the first.
    virtual bool askYesNo(const std::string& caption, const std::string& text,
                          const std::string& yes, const std::string& no) = 0;
    // An error raised by the platform, shown as a message.
    virtual void showError(const std::string& text) = 0;
};

class ViewPort {
public:
    virtual ~ViewPort() = default;
    // The core's control state changed: mirror it.
    virtual void sync() = 0;
    // Shows a secondary window modally; returns when it has closed.
    virtual void showModal(WindowId id) = 0;
    // Closes a secondary window that is showing modally.
    virtual void closeWindow(WindowId id) = 0;
    // Notification area: hide the main window behind the tray icon (false
    // where no notification area exists: minimising stays ordinary), or
    // bring it back.
    virtual bool hideToTray() = 0;
    virtual void restoreFromTray() = 0;
    // The main window closes; the program ends.
    virtual void quit() = 0;
};

struct Ports {
    Clock* clock = nullptr;
    Random* random = nullptr;
    SerialPort* serial = nullptr;
    TcpClient* tcp = nullptr;
    SystemClock* systemClock = nullptr;
    OperatorPort* op = nullptr;
    ViewPort* view = nullptr;
};

}  // namespace kestora
