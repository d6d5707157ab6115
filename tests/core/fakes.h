#pragma once
// In-process stand-ins for the platform ports, with a virtual clock.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"

namespace kestora::test {

class FakeClock : public Clock {
public:
    LocalDateTime now() override { return current; }
    void pause(int ms) override {
        pauses.push_back(ms);
        elapsedMs += ms;
    }
    LocalDateTime current{2026, 12, 10, 9, 30, 0, 0};
    std::vector<int> pauses;
    long long elapsedMs = 0;
};

class FakeRandom : public Random {
public:
    void seed() override { ++seeded; }
    int between(int lo, int hi) override { return value < lo ? lo : (value > hi ? hi : value); }
    int value = 7;
    int seeded = 0;
};

class FakeSerial : public SerialPort {
public:
    void open(const std::string& path) override {
        opens.push_back(path);
        if (failOpen) throw PlatformError("cannot open " + path);
        open_ = !reportsClosed;
    }
    bool isOpen() const override { return open_; }
    void close() override {
        ++closes;
        open_ = false;
    }
    void write(const Bytes& b) override {
        if (!open_) throw PlatformError("port closed");
        written.push_back(b);
    }
    bool failOpen = false;
    bool reportsClosed = false;  // open() succeeds but the port is not open
    bool open_ = false;
    std::vector<std::string> opens;
    int closes = 0;
    std::vector<Bytes> written;
};

class FakeTcp : public TcpClient {
public:
    void connectTo(const std::string& h, int p, int timeoutMs) override {
        connects.push_back(h + ":" + std::to_string(p) + "/" + std::to_string(timeoutMs));
        if (failConnect) throw PlatformError("no answer from " + h);
        connected_ = true;
    }
    bool connected() const override { return connected_; }
    void disconnect() override {
        ++disconnects;
        connected_ = false;
    }
    void write(const Bytes& b) override {
        if (!connected_) throw PlatformError("not connected");
        written.push_back(b);
    }
    bool failConnect = false;
    bool connected_ = false;
    std::vector<std::string> connects;
    int disconnects = 0;
    std::vector<Bytes> written;
};

class FakeSystemClock : public SystemClock {
public:
    void setLocal(const LocalDateTime& w) override { set.push_back(w); }
    std::vector<LocalDateTime> set;
};

// One thing the operator was shown.
struct Shown {
    std::string kind;  // "dialog", "instructions", "yesno", "error"
    std::string title, text;
    std::vector<std::string> buttons;
};

class FakeOperator : public OperatorPort {
public:
    DialogAnswer showDialog(const DialogView& v) override {
        shown.push_back({"dialog", v.title, v.text, v.buttons});
        return next();
    }
    void closeDialog() override { ++closedFromOutside; }
    void showInstructions(const std::string& caption, const std::vector<std::string>& lines) override {
        std::string text;
        for (const auto& l : lines) text += l + "\n";
        shown.push_back({"instructions", caption, text, {"U redu"}});
    }
    bool askYesNo(const std::string& c, const std::string& t, const std::string& y, const std::string& n) override {
        shown.push_back({"yesno", c, t, {y, n}});
        return next() == 1;
    }
    void showError(const std::string& t) override { shown.push_back({"error", "", t, {"OK"}}); }

    // Answers given in order; when none is left the answer is 0 (closed).
    std::deque<int> answers;
    // Runs while a dialog is up, before it answers (e.g. close it from outside).
    std::function<void()> whileShown;
    std::vector<Shown> shown;
    int closedFromOutside = 0;

private:
    int next() {
        if (whileShown) whileShown();
        if (answers.empty()) return 0;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FakeView : public ViewPort {
public:
    void sync() override { ++syncs; }
    void showModal(WindowId id) override {
        modals.push_back(id);
        if (onModal) onModal(id);
    }
    void closeWindow(WindowId id) override { closed.push_back(id); }
    bool hideToTray() override { return trayAvailable; }
    void restoreFromTray() override { ++restores; }
    void quit() override { ++quits; }

    std::function<void(WindowId)> onModal;  // what the operator does in the window
    std::vector<WindowId> modals, closed;
    bool trayAvailable = true;
    int syncs = 0, restores = 0, quits = 0;
};

// A real temporary folder, removed at the end of the test.
struct TempDir {
    TempDir() {
        char tmpl[] = "/tmp/kestora-test-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

// The whole bridge on fake ports in a temporary working folder.
struct Bench {
    Bench() {
        ports.clock = &clock;
        ports.random = &random;
        ports.serial = &serial;
        ports.tcp = &tcp;
        ports.systemClock = &systemClock;
        ports.op = &op;
        ports.view = &view;
    }
    App& app() {
        if (!app_) app_ = std::make_unique<App>(ports, dir.path);
        return *app_;
    }
    // Writes Konfiguracija.dat; folders, when asked, are real sub-folders.
    void writeConfig(const std::string& body) const;
    // A configuration whose four folders exist, with extra keys appended.
    void writeWorkingConfig(const std::string& extra = "", int model = 1);
    std::filesystem::path folder(const std::string& name) const { return dir.path / name; }
    void activate() { app().entry([this] { app_->Form1.FormActivate(); }); }
    void click(const std::function<void(App&)>& f) { app().entry([this, f] { f(*app_); }); }

    TempDir dir;
    FakeClock clock;
    FakeRandom random;
    FakeSerial serial;
    FakeTcp tcp;
    FakeSystemClock systemClock;
    FakeOperator op;
    FakeView view;
    Ports ports;

private:
    std::unique_ptr<App> app_;
};

}  // namespace kestora::test
