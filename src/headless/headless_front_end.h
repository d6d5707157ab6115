#pragma once
// The bridge without windows: every dialog and message box is written to
// standard output and answered by a line on standard input.
#include <QObject>
#include <QSocketNotifier>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "runtime.h"

namespace kestora::headless {

class HeadlessFrontEnd : public QObject, public OperatorPort, public ViewPort {
    Q_OBJECT
public:
    explicit HeadlessFrontEnd(const std::filesystem::path& workdir, gui::LinkPorts links = {});
    App& app() { return runtime_->app(); }
    gui::Runtime& runtime() { return *runtime_; }
    void start();

    DialogAnswer showDialog(const DialogView& view) override;
    void closeDialog() override;
    void showInstructions(const std::string& caption, const std::vector<std::string>& lines) override;
    bool askYesNo(const std::string& caption, const std::string& text, const std::string& yes,
                  const std::string& no) override;
    void showError(const std::string& text) override;

    void sync() override;
    void showModal(WindowId) override {}
    void closeWindow(WindowId) override {}
    bool hideToTray() override { return false; }
    void restoreFromTray() override {}
    void quit() override;

private:
    // Prints the box and waits for a button number; cautious is the button
    // taken when standard input is closed. Returns 0 when closed from outside.
    int ask(const std::string& title, const std::string& text, const std::vector<std::string>& buttons, int cautious,
            bool operatorDialog = false);
    void readInput();
    std::unique_ptr<gui::Runtime> runtime_;
    QSocketNotifier* input_ = nullptr;
    std::string partial_;
    std::deque<std::string> lines_;
    bool inputClosed_ = false;
    bool closedFromOutside_ = false;
    bool quitting_ = false;
    int dialogsWaiting_ = 0;  // operator-dialog prompts up; only they close from outside
};

}  // namespace kestora::headless
