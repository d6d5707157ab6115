#pragma once
// The articles window (TfrmArt): its controls and the mode flags that the
// article conversations share with it.
#include <cstdint>
#include <vector>

#include "app/controls.h"

namespace kestora {

class App;

class ArtForm {
public:
    explicit ArtForm(App& app) : app_(app) {}

    WindowState window{"", 0, 0, false};
    Control BtnPromeni{"BtnPromeni"};
    Control BtnPonisti{"BtnPonisti"};
    Control BtnWrite{"BtnWrite"};
    Control BtnKasaRead{"BtnKasaRead"};
    Control BtnKasaWrite{"BtnKasaWrite"};
    Control BtnKWriteAll{"BtnKWriteAll"};
    Control BtnKEmpty{"BtnKEmpty"};
    Control BtnFileWrite{"BtnFileWrite"};
    Control BtnFileRead{"BtnFileRead"};
    Control BtnSync{"BtnSync", "Sinhronizacija"};
    Control LblCount{"LblCount"};

    // Mode flags of the article loops.
    std::uint8_t ArtDeviceReady = 0, ArtWriteMode = 0, ArtWriteAllMode = 0, ArtEmptyMode = 0,
                 ArtReadMode = 0, ArtEmptyProbe = 0;
    // 1 once the window has closed: the article loops stop.
    int ArtAbort = 0;

    // The ten action buttons, BtnPromeni to BtnSync.
    std::vector<Control*> actionButtons();
    void setCaptions();
    void resetModes();

    void FormActivate();
    void FormClose();
    void BtnPromeniClick();

private:
    App& app_;
};

}  // namespace kestora
