#include "app/operator_dialog.h"

namespace kestora {

void OperatorDialog::prepare(const std::string& title, const std::string& text, ButtonSet set) {
    Naslov.caption = title;
    tekst.text = text;
    ChoiceMode = set == ButtonSet::Choice ? 1 : 0;
    OkOnlyMode = set == ButtonSet::OkOnly ? 1 : 0;
}

void OperatorDialog::defaultChoiceCaptions() { setChoiceCaptions("Nastavi", "Zaustavi", "Ponovi"); }

void OperatorDialog::setChoiceCaptions(const std::string& first, const std::string& second, const std::string& third) {
    BtnErrOk.caption = first;
    BtnErrStop.caption = second;
    BtnRepeat.caption = third;
}

ButtonSet OperatorDialog::currentSet() const {
    if (OkOnlyMode == 1) return ButtonSet::OkOnly;
    if (ChoiceMode == 1) return ButtonSet::Choice;
    return ButtonSet::Confirm;
}

void OperatorDialog::ShowModal() {
    YesResult = 0;
    const ButtonSet set = currentSet();
    Button1.visible = Button2.visible = set == ButtonSet::Confirm;
    BtnErrOk.visible = BtnErrStop.visible = BtnRepeat.visible = set == ButtonSet::Choice;
    BtnOK.visible = set == ButtonSet::OkOnly;

    DialogView view{Naslov.caption, tekst.text, set, {}};
    std::array<const Control*, 3> buttons{};
    switch (set) {
        case ButtonSet::Confirm: buttons = {&Button1, &Button2, nullptr}; break;
        case ButtonSet::Choice: buttons = {&BtnErrOk, &BtnErrStop, &BtnRepeat}; break;
        case ButtonSet::OkOnly: buttons = {&BtnOK, nullptr, nullptr}; break;
    }
    for (const Control* b : buttons)
        if (b) view.buttons.push_back(b->caption);

    window.showing = true;
    const DialogAnswer answer = port_.showDialog(view);
    window.showing = false;
    if (answer >= 1 && answer <= 3 && buttons[static_cast<std::size_t>(answer - 1)])
        press(*buttons[static_cast<std::size_t>(answer - 1)]);
}

void OperatorDialog::press(const Control& b) {
    if (&b == &Button1) YesResult = 1;
    else if (&b == &Button2) YesResult = 0;
    else if (&b == &BtnErrOk) ChoiceResult = 1;
    else if (&b == &BtnErrStop) ChoiceResult = 2;
    else if (&b == &BtnRepeat) ChoiceResult = 3;
}

void OperatorDialog::closeFromOutside() {
    if (window.showing) port_.closeDialog();
}

}  // namespace kestora
