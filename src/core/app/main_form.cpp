#include "app/main_form.h"

#include <filesystem>

#include "app/app.h"
#include "app/models.h"
#include "app/text.h"
#include "intake/file_moves.h"

namespace kestora {

namespace {
constexpr const char* kPortError = "Problem u otvaranju porta.";
constexpr const char* kConnectError = "Problem u uspostavljanju konekcije! Proverite kablove";
}  // namespace

void MainForm::setCaptions() {
    app_.frmArt.setCaptions();
    app_.FrmKonf.window.caption = "Podesavanje parametara";
    BitBtn1.caption = "Azuriranje";
    BtnStart.caption = "Start";
    BtnKonfig.caption = "Konfiguracija";
    BtnIzvestaji.caption = "Izvestaji";
    app_.frmIzvestaji.setCaptions();
}

void MainForm::FormActivate() {
    if (activated_) return;  // only the first activation at start
    activated_ = true;
    window.showing = true;
    // The local article table as the last run left it.
    try {
        app_.loadArticles();
    } catch (const PlatformError& e) {
        app_.ports.op->showError(e.what());
    }

    // 1. Conversation state.
    ServiceWaiting = ServiceRetries = 0;
    app_.frmArt.resetModes();
    app_.frmArt.ArtDeviceReady = 0;
    ClearTotalsPending = ReportPending = OperatorLoggedIn = 0;
    BonFileName.clear();
    Running = 0;
    app_.frmArt.ArtAbort = 0;
    ReceiptActive = Step = FillEmpty = CmdFileActive = ReceiptSending = HeaderFirst = 0;
    // 2. Sequence byte.
    app_.ports.random->seed();
    FrameSeq = static_cast<std::uint32_t>(app_.ports.random->between(1, 49)) & 0xFF;
    // 3. Captions.
    setCaptions();
    // 4. Receive buffer.
    app_.link.rx.clear();
    // 5. Captions of this window and the instructions window.
    window.caption = kProductCaption;
    app_.uputstvo.window.caption = kProductCaption;
    // 6. Configuration into the controls and the run-time copies.
    ConfigRecord record = ConfigRecord::builtIn();
    try {
        record = app_.configFile.load();
    } catch (const std::exception& e) {
        app_.ports.op->showError(e.what());  // the built-in record serves
    }
    app_.FrmKonf.load(record);
    if (record.Duzina) NameLength = *record.Duzina;
    IpText = record.IP;
    IbfmText = record.IBFM;
    if (record.Port) PortText = std::to_string(*record.Port);
    // An unknown model number would leave every model rule without a device;
    // the run-time model follows the model list, as its control does.
    if (record.Model && validModel(*record.Model)) Model = *record.Model;
    app_.link.setPortNameFrom(PortText);
    app_.sync();

    // 7. Serial link.
    if (app_.FrmKonf.serialChosen()) {
        try {
            app_.link.openSerial();
        } catch (const std::exception&) {
            BtnStart.enabled = BitBtn1.enabled = BtnIzvestaji.enabled = false;
            app_.showInstructions();
            return;
        }
        if (!app_.link.serialOpen()) {
            app_.showInstructions();
            return;
        }
    }
    // 8. TCP link.
    if (app_.FrmKonf.tcpChosen()) {
        try {
            app_.link.connectTcp(IpText);
        } catch (const std::exception&) {
            BtnStart.enabled = BitBtn1.enabled = BtnIzvestaji.enabled = false;
            app_.showInstructions();
            return;
        }
    }
    // 9. Model-dependent buttons.
    placeModelButtons();
    // 10. Notification area.
    if (app_.FrmKonf.cbTray.checked) {
        fillTrayIcon();
        minimizeHandler = MinimizeHandler::ToTray;
    }
    // 11. Start.
    BtnStartClick();
}

void MainForm::placeModelButtons() {
    const bool reports = modelInfo(Model).reports;
    BtnIzvestaji.visible = reports;
    app_.frmArt.BtnSync.visible = reports;
    if (reports) {
        BtnIzvestaji.top = 131;
        BtnKonfig.top = 180;
    } else {
        BtnKonfig.top = 131;
    }
}

void MainForm::setStoppedButtons() {
    Running = 0;
    BtnStart.visible = true;
    BtnStart1.visible = false;
    Timer.setEnabled(false);
    BtnKonfig.enabled = BitBtn1.enabled = BtnIzvestaji.enabled = true;
}

bool MainForm::openSerialForAction() {
    if (!app_.FrmKonf.serialChosen() || app_.link.serialOpen()) return true;
    try {
        app_.link.openSerial();
    } catch (const std::exception&) {
        app_.notice("GRESKA", kPortError, ButtonSet::Confirm);
        return false;
    }
    return true;
}

bool MainForm::connectTcpForAction() {
    try {
        app_.link.connectTcp(IpText);
    } catch (const std::exception&) {
        app_.noticeKeepSet("GRESKA", kConnectError);
        return false;
    }
    return true;
}

void MainForm::BtnStartClick() {
    // 1. A second click while running stops without touching the link.
    if (Running != 0) {
        setStoppedButtons();
        return;
    }
    KonfigForm& k = app_.FrmKonf;
    // 2, 3. The link.
    if (!openSerialForAction()) return;
    if (k.tcpChosen()) {
        if (app_.link.tcpConnected()) app_.link.disconnectTcp();
        app_.pause(1000);
        if (!connectTcpForAction()) return;
    }
    // 4. Every setting filled in.
    for (const Edit* e : {&k.EdtTraceBon, &k.EdtTraceToCam, &k.EdtTraceFromCam, &k.EdtTraceArh, &k.EdtDuzina, &k.EdtBroj})
        if (e->text.empty()) {
            app_.notice("Greska !!!", "Podesite sve parametre!!!", ButtonSet::Confirm);
            return;
        }
    // 5. The four folders exist.
    for (const Edit* e : {&k.EdtTraceBon, &k.EdtTraceToCam, &k.EdtTraceFromCam, &k.EdtTraceArh}) {
        std::error_code ec;
        if (!std::filesystem::is_directory(e->text, ec)) {
            app_.notice("Greska !!!", "Nisu nadjeni svi potrebni direktorijumi!!!", ButtonSet::Confirm);
            return;
        }
    }
    // The name length must be a whole number before the bridge runs; a
    // running bridge without a folder timer would wait for nothing.
    const auto length = parseInt(k.EdtDuzina.text);
    if (!length) {
        app_.notice("Greska !!!", kLengthNotWholeText, ButtonSet::Confirm);
        return;
    }
    // 6. Files already in the receipt folder.
    const std::string& bon = k.EdtTraceBon.text;
    switch (k.CBIsprazniBonFolder.itemIndex) {
        case 1: ObrisiSadrzajBonFoldera(bon); break;
        case 2:
            if (!IsEmpty(bon) &&
                app_.ports.op->askYesNo("Potvrda!",
                                        "U folderu za racune pronadjene su datoteke sa racunima. "
                                        "Da li zelite da obrisete ove datoteke?",
                                        "Da", "Ne"))
                ObrisiSadrzajBonFoldera(bon);
            break;
        default: break;
    }
    // 7. Running.
    Running = 1;
    BtnStart.visible = false;
    BtnStart1.visible = true;
    BitBtn1.enabled = BtnKonfig.enabled = BtnIzvestaji.enabled = false;
    // 8.
    NameLength = *length;
    // 9. The printer first reports its state; its idle answer starts intake.
    if (modelInfo(Model).startsWithStatus) app_.commands.GetStatus();
    else Timer.setEnabled(true);
}

void MainForm::BtnStart1Click() {
    setStoppedButtons();
    if (app_.FrmKonf.serialChosen() && app_.link.serialOpen()) app_.link.closeSerial();
    BonFileName.clear();
}

void MainForm::BitBtn1Click() {
    KonfigForm& k = app_.FrmKonf;
    if (k.EdtDuzina.text.empty() || k.EdtBroj.text.empty()) {
        app_.notice("Greska !!!", "Podesite parametre!!!", ButtonSet::Confirm);
        return;
    }
    if (!openSerialForAction()) return;
    ReceiptActive = 0;
    app_.frmArt.FormActivate();
    app_.frmArt.window.showing = true;
    app_.sync();
    app_.ports.view->showModal(WindowId::Articles);
    if (app_.frmArt.window.showing) app_.frmArt.FormClose();  // closed by other means than its buttons
}

void MainForm::BtnKonfigClick() {
    if (app_.FrmKonf.serialChosen() && app_.link.serialOpen()) app_.link.closeSerial();
    app_.FrmKonf.window.showing = true;
    app_.sync();
    app_.ports.view->showModal(WindowId::Konfig);
    app_.FrmKonf.window.showing = false;
}

void MainForm::BtnIzvestajiClick() {
    if (!openSerialForAction()) return;
    if (app_.FrmKonf.tcpChosen() && !app_.link.tcpConnected() && !connectTcpForAction()) return;
    app_.frmIzvestaji.window.showing = true;
    app_.sync();
    app_.ports.view->showModal(WindowId::Reports);
    app_.frmIzvestaji.window.showing = false;
}

void MainForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (modelInfo(Model).asksLeavePrinterMode &&
        app_.ports.op->askYesNo("Potvrda!", "Da li zelite da izadjete iz rezima fiskalnog stampaca?", "Da", "Ne")) {
        try {
            app_.commands.IzlazPrinter();
        } catch (const std::exception& e) {
            app_.ports.op->showError(e.what());  // the window closes all the same
        }
    }
    if (app_.FrmKonf.tcpChosen() && app_.link.tcpConnected()) app_.link.disconnectTcp();
    FormDestroy();
    window.showing = false;
    app_.sync();
    app_.ports.view->quit();
}

void MainForm::FormDestroy() {
    if (trayIconShown) {
        trayIconShown = false;
        app_.sync();
    }
}

void MainForm::fillTrayIcon() { trayIconFilled = true; }

void MainForm::Minimize() {
    if (minimizeHandler == MinimizeHandler::ToTray) MinimizeToTray();
}

void MainForm::MinimizeToTray() {
    if (!app_.ports.view->hideToTray()) return;
    trayIconShown = true;
    window.showing = false;
    app_.sync();
}

void MainForm::Vratiti1Click() {
    window.showing = true;
    trayIconShown = false;
    app_.sync();
    app_.ports.view->restoreFromTray();
}

void MainForm::Podesi() {
    if (app_.FrmKonf.cbTray.checked) {
        fillTrayIcon();
        minimizeHandler = MinimizeHandler::ToTray;
    } else {
        minimizeHandler = MinimizeHandler::Normalni;
    }
}

}  // namespace kestora
