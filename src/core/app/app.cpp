#include "app/app.h"

namespace kestora {

App::App(const Ports& p, const std::filesystem::path& dir)
    : ports(p),
      workdir(dir),
      configFile(dir / kConfigFileName),
      link(*p.serial, *p.tcp, configFile),
      Form1(*this),
      Dialog(*p.op),
      frmArt(*this),
      FrmKonf(*this),
      frmIzvestaji(*this),
      commands(*this) {
    // The TCP reader clears ServiceWaiting each time it waits for a byte.
    link.onTcpWaiting = [this] { Form1.ServiceWaiting = 0; };
    Form1.Timer.onTimer = [this] { intake.TimerTimer(); };
    Form1.TimerKasa.onTimer = [this] { conversation.TimerKasaTimer(); };
    intake.onReceiptChecked = [this] { conversation.submit(); };
    link.onAnswerBytes = [this] {
        if (Form1.Model != 4) conversation.ComPortRxChar();
    };
}

void App::loadArticles() { setArtikli.load(articleFile()); }

void App::saveArticles() { setArtikli.save(articleFile()); }

void App::notice(const std::string& title, const std::string& text, ButtonSet set) {
    Dialog.prepare(title, text, set);
    sync();
    Dialog.ShowModal();
}

void App::noticeKeepSet(const std::string& title, const std::string& text) {
    notice(title, text, Dialog.currentSet());
}

void App::showInstructions() {
    uputstvo.window.showing = true;
    sync();
    ports.op->showInstructions(uputstvo.window.caption, Uputstvo::lines());
    uputstvo.window.showing = false;
}

void App::entry(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        sync();
        ports.op->showError(e.what());
    }
    sync();
    // What arrived during a pause of this handler runs now, in order.
    while (!pausing() && !deferred_.empty()) {
        auto next = std::move(deferred_.front());
        deferred_.erase(deferred_.begin());
        entry(next);
    }
}

void App::deferrableEntry(const std::function<void()>& handler) {
    if (pausing()) {
        deferred_.push_back(handler);
        return;
    }
    entry(handler);
}

void App::pause(int ms) {
    sync();
    ++pauseDepth_;
    struct Leave { int& depth; ~Leave() { --depth; } } leave{pauseDepth_};
    ports.clock->pause(ms);
}

}  // namespace kestora
