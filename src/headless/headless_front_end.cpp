#include "headless_front_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <iostream>

#include "app/text.h"

namespace kestora::headless {

HeadlessFrontEnd::HeadlessFrontEnd(const std::filesystem::path& workdir, gui::LinkPorts links) {
    runtime_ = std::make_unique<gui::Runtime>(*this, *this, workdir, links);
    ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    input_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(input_, &QSocketNotifier::activated, this, [this] { readInput(); });
}

void HeadlessFrontEnd::start() {
    runtime_->installSignalHandlers();
    QTimer::singleShot(0, this, [this] { app().entry([this] { app().Form1.FormActivate(); }); });
}

void HeadlessFrontEnd::readInput() {
    char buf[512];
    bool atEnd = false;
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n > 0) {
            partial_.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        atEnd = n == 0;
        break;  // end of input, or all read for now
    }
    for (std::size_t nl; (nl = partial_.find('\n')) != std::string::npos;) {
        lines_.push_back(partial_.substr(0, nl));
        partial_.erase(0, nl + 1);
    }
    if (atEnd && !inputClosed_) {
        inputClosed_ = true;
        input_->setEnabled(false);
        if (!partial_.empty()) lines_.push_back(std::move(partial_));
        partial_.clear();
    }
}

int HeadlessFrontEnd::ask(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
                          int cautious, bool operatorDialog) {
    std::string out = "== " + title + " ==\n";
    std::string body;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        body += text[i] == '\r' ? '\n' : text[i];
    }
    out += body + "\n";
    for (std::size_t i = 0; i < buttons.size(); ++i)
        out += (i ? "  [" : "[") + std::to_string(i + 1) + "] " + buttons[i];
    out += "\nIzbor:\n";
    std::cout << out << std::flush;

    if (operatorDialog) {
        ++dialogsWaiting_;
        closedFromOutside_ = false;
    }
    int answer = -1;
    while (answer < 0) {
        readInput();
        while (answer < 0 && !lines_.empty()) {
            const auto n = parseInt(lines_.front());
            lines_.pop_front();
            if (n && *n >= 1 && *n <= static_cast<int>(buttons.size())) answer = *n;
            else std::cout << "Izbor:\n" << std::flush;
        }
        if (answer >= 0) break;
        if (operatorDialog && closedFromOutside_) {
            std::cout << "(zatvoreno)\n" << std::flush;
            answer = 0;
            break;
        }
        if (inputClosed_ || quitting_) {
            answer = cautious;
            break;
        }
        QEventLoop loop;
        const auto wake = connect(input_, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
        disconnect(wake);
    }
    if (operatorDialog) {
        --dialogsWaiting_;
        closedFromOutside_ = false;
    }
    return answer;
}

DialogAnswer HeadlessFrontEnd::showDialog(const DialogView& view) {
    // The most cautious button: "Otkaz", "Zaustavi" or the single "OK".
    const int cautious = view.set == ButtonSet::OkOnly ? 1 : 2;
    return ask(view.title, view.text, view.buttons, cautious, true);
}

void HeadlessFrontEnd::closeDialog() {
    if (dialogsWaiting_ > 0) closedFromOutside_ = true;
}

void HeadlessFrontEnd::showInstructions(const std::string& caption, const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    ask(caption, text, {app().uputstvo.Button1.caption}, 1);
}

bool HeadlessFrontEnd::askYesNo(const std::string& caption, const std::string& text, const std::string& yes,
                                const std::string& no) {
    return ask(caption, text, {yes, no}, 2) == 1;
}

void HeadlessFrontEnd::showError(const std::string& text) { ask("Kestora", text, {"OK"}, 1); }

void HeadlessFrontEnd::sync() { runtime_->syncTimers(); }

void HeadlessFrontEnd::quit() {
    // A dialog still waiting takes its cautious button and the program ends.
    quitting_ = true;
    QCoreApplication::quit();
}

}  // namespace kestora::headless
