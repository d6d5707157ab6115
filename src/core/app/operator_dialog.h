#pragma once
// The shared operator dialog (TDialog): title, text, one of three button
// sets, and the answer fields the callers read after it closes.
#include <array>
#include <cstdint>
#include <string>

#include "app/controls.h"
#include "app/ports.h"

namespace kestora {

class OperatorDialog {
public:
    explicit OperatorDialog(OperatorPort& port) : port_(port) {}

    Control Naslov{"Naslov"};
    Edit tekst{"tekst"};
    Control Button1{"Button1", "U redu"};
    Control Button2{"Button2", "Otkaz"};
    Control BtnErrOk{"BtnErrOk", "Nastavi"};
    Control BtnErrStop{"BtnErrStop", "Zaustavi"};
    Control BtnRepeat{"BtnRepeat", "Ponovi"};
    Control BtnOK{"BtnOK", "OK"};
    WindowState window{"", 386, 170, false};

    std::uint8_t ChoiceMode = 0;
    std::uint8_t OkOnlyMode = 0;
    int YesResult = 0;
    int ChoiceResult = 0;

    // Caller steps 1 and 2 in one: title, text and the button set.
    void prepare(const std::string& title, const std::string& text, ButtonSet set);
    // Puts the default choice captions back ("Nastavi", "Zaustavi", "Ponovi").
    void defaultChoiceCaptions();
    void setChoiceCaptions(const std::string& first, const std::string& second, const std::string& third);

    // Shows the dialog modally with whatever title, text and flags are set,
    // and records the answer. Returns when it has closed.
    void ShowModal();
    // Closes the dialog from outside (an answer from the device arrived).
    void closeFromOutside();

    ButtonSet currentSet() const;
    bool showing() const { return window.showing; }

private:
    void press(const Control& button);
    OperatorPort& port_;
};

}  // namespace kestora
