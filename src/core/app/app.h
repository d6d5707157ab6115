#pragma once
// The whole bridge: the six windows created once, in order, the ports, the
// configuration file and the device link. One instance per program.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/konfig_form.h"
#include "app/main_form.h"
#include "app/operator_dialog.h"
#include "app/ports.h"
#include "app/uputstvo.h"
#include "articles/art_form.h"
#include "articles/article_table.h"
#include "commands/commands.h"
#include "conversation/receipt_conversation.h"
#include "intake/file_moves.h"
#include "intake/intake.h"
#include "link/device_link.h"
#include "reports/izvestaji_form.h"

namespace kestora {

class App {
public:
    App(const Ports& ports, const std::filesystem::path& workdir);
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Ports ports;
    std::filesystem::path workdir;
    ConfigFile configFile;
    DeviceLink link;
    std::string helpFile = kHelpFile;

    // The six windows, in creation order.
    MainForm Form1;
    OperatorDialog Dialog;
    ArtForm frmArt;
    KonfigForm FrmKonf;
    IzvestajiForm frmIzvestaji;
    Uputstvo uputstvo;

    Commands commands;
    FileMoves moves{*this};
    ArticleTable setArtikli;
    Intake intake{*this};
    ReceiptConversation conversation{*this};
    // artikli.dat in the working folder: read at activation (a missing file
    // is an empty table), written after every change the conversations make.
    std::filesystem::path articleFile() const { return workdir / "artikli.dat"; }
    void loadArticles();
    void saveArticles();

    // Shows the operator dialog with a title, a text and a button set.
    void notice(const std::string& title, const std::string& text, ButtonSet set);
    // Shows it with the button set its previous user chose.
    void noticeKeepSet(const std::string& title, const std::string& text);
    void showInstructions();

    // Every entry point from the front end (click, timer tick, received
    // bytes) runs through here: a platform error ends the handler with a
    // message instead of ending the program, and the view is brought up to
    // date afterwards.
    void entry(const std::function<void()>& handler);
    // Timer ticks and received bytes: held back while a pause is running and
    // handled when it ends, so nothing else of a conversation runs meanwhile.
    void deferrableEntry(const std::function<void()>& handler);
    // A fixed pause of the conversation.
    void pause(int ms);
    bool pausing() const { return pauseDepth_ > 0; }

    void sync() { if (ports.view) ports.view->sync(); }

    // The short date format of periodic reports: DatumFormat when the
    // configuration gives one, otherwise the locale's (set by the front end).
    std::string localeDateFormat = "dd.MM.yyyy";
    std::string shortDateFormat() const {
        const std::string configured = configFile.dateFormat();
        return configured.empty() ? localeDateFormat : configured;
    }

private:
    int pauseDepth_ = 0;
    std::vector<std::function<void()>> deferred_;
};

}  // namespace kestora
