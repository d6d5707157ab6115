#pragma once
// The instructions window (TUputstvo): a fixed text and one "U redu" button.
#include <string>
#include <vector>

#include "app/controls.h"

namespace kestora {

inline constexpr const char* kProductCaption = "Kestora v3.5.3";

class Uputstvo {
public:
    WindowState window{"", 0, 0, false};
    Control Button1{"Button1", "U redu"};

    // The text of Memo1, set when the window is created.
    static const std::vector<std::string>& lines() {
        static const std::vector<std::string> text{
            "KORACI PRE PRVOG POKRETANJA PROGRAMA \"KESTORA\":",
            "1.    Pritisnite komandno dugme KONFIGURACIJA",
            "2.    Izvrsite konfiguraciju programa (COM port, Model kase, Broj kase...)",
            "",
            "KORACI PRE SVAKOG POKRETANJA PROGRAMA \"KESTORA\":",
            "1.   Fiskalna kasa mora biti povezana sa racunarom i ukljucena.",
            "2.   Fiskalna kasa mora biti prebacena u odgovarajuci rezim rada.",
        };
        return text;
    }
};

}  // namespace kestora
