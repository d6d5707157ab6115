#pragma once
// The main window (TForm1): activation, Start and Stop, the buttons that
// open the secondary windows, closing, the notification-area icon, and the
// run-time state the conversations share.
#include <cstdint>
#include <string>

#include "app/controls.h"
#include "app/core_timer.h"

namespace kestora {

class App;

inline constexpr const char* kHelpFile = "HELPFILE.HLP";

enum class MinimizeHandler { Ordinary, ToTray, Normalni };

class MainForm {
public:
    explicit MainForm(App& app) : app_(app) {
        BtnStart1.visible = false;  // shown in BtnStart's place while running
        BitBtn2.visible = false;    // the help button is never shown
        BtnStart.top = 34;
        BtnStart1.top = 34;
        BitBtn1.top = 83;
        BtnIzvestaji.top = 131;
        BtnKonfig.top = 180;
    }

    WindowState window{"", 300, 290, false};
    Control BtnStart{"BtnStart", "Start"};
    Control BtnStart1{"BtnStart1", "Stop"};
    Control BitBtn1{"BitBtn1", "Azuriranje"};
    Control BtnIzvestaji{"BtnIzvestaji", "Izvestaji"};
    Control BtnKonfig{"BtnKonfig", "Konfiguracija"};
    Control BitBtn2{"BitBtn2", "&Pomoc"};
    Control Vrati1{"Vrati1", "Vrati"};
    Control Zatvori1{"Zatvori1", "Zatvori"};

    CoreTimer Timer{"Timer", 30};
    CoreTimer TimerKasa{"TimerKasa", 3000};

    // Run-time copies of the configuration.
    std::string PortText = "2";
    int Model = 4;
    std::string IpText = "0.0.0.0";
    std::string IbfmText = "000000";
    int NameLength = 33;

    int Running = 0;
    std::string BonFileName;
    // Faults of the file being handled: each a carriage return and a message.
    std::string ErrorText;
    std::uint32_t FrameSeq = 0;

    // Conversation state reset at activation.
    int ServiceWaiting = 0, ServiceRetries = 0, ClearTotalsPending = 0, ReportPending = 0,
        OperatorLoggedIn = 0, ReceiptActive = 0, Step = 0, FillEmpty = 0, CmdFileActive = 0,
        ReceiptSending = 0, HeaderFirst = 0, ReceiptRetries = 0;

    // Notification area.
    MinimizeHandler minimizeHandler = MinimizeHandler::Ordinary;
    bool trayIconFilled = false;  // the icon record is set up (tip "Kestora")
    bool trayIconShown = false;
    static constexpr const char* kTrayTip = "Kestora";

    bool activated() const { return activated_; }
    bool closed() const { return closed_; }

    void FormActivate();
    void BtnStartClick();
    void BtnStart1Click();
    void BitBtn1Click();
    void BtnKonfigClick();
    void BtnIzvestajiClick();
    void BitBtn2Click() {}  // the help button is never shown
    void FormClose();
    void FormDestroy();

    // The front end reports that the operator minimised the main window.
    void Minimize();
    void MinimizeToTray();
    void Vratiti1Click();
    void Zatvori1Click() { FormClose(); }
    void Podesi();

    // Model-4 buttons shown and placed, other models hidden (activation step
    // 9, configuration OK step 10).
    void placeModelButtons();
    void setStoppedButtons();

    // Activation step 3: the captions of the windows and buttons.
    void setCaptions();

private:
    bool openSerialForAction();  // "Problem u otvaranju porta." on failure
    bool connectTcpForAction();  // "Problem u uspostavljanju konekcije! ..." on failure
    void fillTrayIcon();
    App& app_;
    bool activated_ = false;
    bool closed_ = false;
};

}  // namespace kestora
