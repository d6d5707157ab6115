#pragma once
// The reports window of the printer (TfrmIzvestaji): its controls.
#include "app/controls.h"

namespace kestora {

class App;

class IzvestajiForm {
public:
    explicit IzvestajiForm(App& app) : app_(app) {}

    WindowState window{"", 0, 0, false};
    Control BtnDnevni{"BtnDnevni"};
    Control BtnPresekStanja{"BtnPresekStanja"};
    Control BtnPeriodicni{"BtnPeriodicni"};
    Control BtnArtikliFlash{"BtnArtikliFlash"};
    Control BtnArtikliBezPon{"BtnArtikliBezPon"};
    Control BtnOdeljenja{"BtnOdeljenja"};
    Control BtnOperateri{"BtnOperateri"};
    Control LblOd{"LblOd", "OD"};
    Control LblDo{"LblDo", "DO"};
    Edit EdtOd{"EdtOd"};
    Edit EdtDo{"EdtDo"};

    void setCaptions();

private:
    [[maybe_unused]] App& app_;
};

}  // namespace kestora
