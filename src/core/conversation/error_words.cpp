#include "conversation/error_words.h"

namespace kestora {

namespace {
const char* const kErrorTexts[32] = {
    " Greska u fiskalnoj memoriji",
    " Greska u vremenu",
    " Greska u fiskalnom vremenu",
    " Nema papira u fiskalnom stampacu",
    " Visoka temperatura glave fiskalnog stampaca",
    " Prekoracenje u broju dnevnih izvestaja",
    " Prekoracenje u broju resetovanju RAM-a",
    " Rezervisano",
    " Pogresna komanda",
    " Nedefinisana poreska stopa/odeljenje",
    " Nedefinisan artikal",
    " Broj artikla je 0 ili veci od 60000",
    " Cena ili kolicina je 0",
    " Iznos za cenu, kolicinu ili placanje je veci od dozvoljenog",
    " Prekoracenje u dnevnom totalu",
    " Prekoracenje u baferu prodatih stavki ili stavki za placanje (max 10)",
    " Prekoracenje u broju prodatih/storniranih stavki u jednom fiskalnom isecku (max 1000)",
    " Prekoracenje u storniranju",
    " Problem kod storniranja (nije pronadjen artikal)",
    " Problem kod ponistenja",
    " Problem kod zaokruzivanja kolicine (format nije dobar)",
    " Prekoracenje u iznosu za placanje",
    " Pogresna vrsta placanja",
    " Iznos za placanje cekom ili karticom je veci od ukupnog iznosa za placanje",
    " Moguca promena (suma iznosa za placanje je veca ili jednaka od ukupnog iznosa za placanje",
    " Fiskalni stampac nije u odgovarajucem statusu za izvrsenje zadate operacije",
    " Pogresan parametar",
    " Prekoracenje u bazi artikala - ukupan iznos",
    " Prekoracenje u bazi artikala - jedan artikal",
    " Prekoracenje kolicine u bazi artikala",
    " Problem prilikom prodaje ili upisa artikla",
    " Prekoracenje u broju razlicitih artikala u bazi artikala",
};
}  // namespace

std::string DekodirajGresku(std::uint8_t b11, std::uint8_t b12, std::uint8_t b13, std::uint8_t b14) {
    const std::uint32_t word = (std::uint32_t{b11} << 24) | (std::uint32_t{b12} << 16) | (std::uint32_t{b13} << 8) | b14;
    std::string out;
    for (int k = 0; k < 32; ++k)
        if (word & (std::uint32_t{1} << k)) out += std::string("/") + kErrorTexts[k] + "(" + std::to_string(k) + ")";
    return out;
}

}  // namespace kestora
