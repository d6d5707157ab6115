#include <gtest/gtest.h>

#include <cstdio>

#include "intake/receipt_file.h"

namespace kestora::test {

namespace {

constexpr int kN = 33;

std::string fit(std::string s, std::size_t width, bool right = true) {
    if (s.size() > width) s.resize(width);
    return right ? std::string(width - s.size(), ' ') + s : s + std::string(width - s.size(), ' ');
}

std::string header(const char* ddmmyyyyhhmi = "050320091430", const char* op = "07") {
    return std::string("100") + ddmmyyyyhhmi + "ABCDEFG" + op;
}

std::string article(const std::string& price, const std::string& qty, const char* code = "8600123456789",
                    const char* tax = " 2", bool isVoid = false, const char* name = "MLEKO 1L", int priceWidth = 8) {
    return "200" + fit(name, kN, false) + fit(price, static_cast<std::size_t>(priceWidth)) + fit(qty, 8) +
           (isVoid ? "01" : "00") + fit(code, 13, false) + tax;
}

std::string payment(const std::string& cents, int type, int width = 8) {
    return "300" + fit(cents, static_cast<std::size_t>(width)) + (type < 10 ? " " : "") + std::to_string(type);
}

std::string check(const std::vector<std::string>& lines, bool exact = false, ReceiptTable* out = nullptr) {
    ReceiptTable t;
    std::string errors = checkReceipt(lines, lines.empty(), kN, exact, t);
    if (out) *out = t;
    return errors;
}

}  // namespace

TEST(ReceiptFile, AGoodReceiptIsStored) {
    ReceiptTable t;
    const std::vector<std::string> lines{header(), article("1250", "2500"), article("00000199", "1000", "ABC", " 1"),
                                         payment("3325", 0), "400"};
    ASSERT_EQ(check(lines, true, &t), "");
    EXPECT_EQ(t[0].lineType, 100);
    EXPECT_EQ(t[0].day, 5);
    EXPECT_EQ(t[0].month, 3);
    EXPECT_EQ(t[0].year, 2009);
    EXPECT_EQ(t[0].hour, 14);
    EXPECT_EQ(t[0].minute, 30);
    EXPECT_EQ(t[0].oper, 7);
    EXPECT_EQ(t[1].lineType, 200);
    EXPECT_EQ(t[1].name, "MLEKO 1L");
    EXPECT_DOUBLE_EQ(t[1].price, 12.5);
    EXPECT_DOUBLE_EQ(t[1].quantity, 2.5);
    EXPECT_EQ(t[1].code, "8600123456789");
    EXPECT_EQ(t[1].barcode, "8600123456789");
    EXPECT_EQ(t[1].taxGroup, 2);
    EXPECT_EQ(t[1].lineTotal, 3125);  // 1250 × 2500 = 3125000, last three digits cut
    EXPECT_EQ(t[2].code, "ABC");
    EXPECT_DOUBLE_EQ(t[2].price, 1.99);
    EXPECT_EQ(t[3].lineType, 300);
    EXPECT_EQ(t[3].paymentCents, 3325);
    EXPECT_DOUBLE_EQ(t[3].paymentAmount, 33.25);
    EXPECT_EQ(t[4].lineType, -1);
}

TEST(ReceiptFile, LineLengthsChooseTheFieldWidths) {
    ReceiptTable t;
    // 70 characters: a nine-digit price; 16-character payment: an 11-digit amount.
    const std::string wide = article("123456789", "1000", "1", " 0", false, "X", 9);
    ASSERT_EQ(wide.size(), 70u);
    ASSERT_EQ(check({header(), wide, payment("123456789", 0, 11), ""}, true, &t), "");
    EXPECT_DOUBLE_EQ(t[1].price, 1234567.89);
    EXPECT_EQ(t[2].paymentCents, 123456789);
}

TEST(ReceiptFile, EveryFaultIsDescribed) {
    const std::string good = article("1000", "1000");
    const std::string pay = payment("1000", 0);
    struct Case { const char* what; std::vector<std::string> lines; bool exact; std::string errors; };
    const Case cases[] = {
        {"empty file", {}, true, "\rBon je prazan\rU bonu ne postoji nijedan red.\rSuma ukupne prodaje u racunu je 0!"},
        {"single line", {header()}, true, "\rU bonu ne postoji nijedan red.\rSuma ukupne prodaje u racunu je 0!"},
        // After the first fault article lines are no longer stored, so the
        // total of a faulty file is often 0 as well.
        {"header too short", {header().substr(0, 23), good, pay, ""}, true,
         "\rLosa struktura podatka u liniji sa oznakom 100!\rSuma ukupne prodaje u racunu je 0!"},
        {"31 February", {header("310220091430"), good, pay, ""}, true,
         "\rLosa struktura podatka u liniji sa oznakom 100!\rSuma ukupne prodaje u racunu je 0!"},
        {"hour 24", {header("050320092430"), good, pay, ""}, true,
         "\rLosa struktura podatka u liniji sa oznakom 100!\rSuma ukupne prodaje u racunu je 0!"},
        {"no header", {good, pay, ""}, true,
         "\rU bonu nije nadjena linija sa oznakom 100!\rSuma ukupne prodaje u racunu je 0!"},
        {"no article", {header(), pay, ""}, true,
         "\rU bonu nije nadjena linija sa oznakom 200!\rSuma ukupne prodaje u racunu je 0!"},
        {"no payment", {header(), good, ""}, true,
         "\rU bonu nije nadjena linija sa oznakom 300!\rSuma iznosa za placanje je manja od ukupnog iznosa na racunu!"},
        {"article 68 long", {header(), good.substr(0, 68), pay, ""}, true,
         "\rLosa struktura podatka u 1. liniji sa oznakom 200!\rSuma ukupne prodaje u racunu je 0!"},
        {"second article bad price", {header(), good, article("12a", "1000"), payment("2000", 0), ""}, true,
         "\rLos iznos za cenu artikla u 2. liniji sa oznakom 200!"},
        {"signed quantity", {header(), article("1000", "-1000"), pay, ""}, true,
         "\rLos iznos za kolicinu artikla u 1. liniji sa oznakom 200!\rSuma ukupne prodaje u racunu je 0!"},
        {"tax not a number", {header(), article("1000", "1000", "1", " x"), pay, ""}, true,
         "\rLosa struktura podatka u 1. liniji sa oznakom 200!\rSuma ukupne prodaje u racunu je 0!"},
        {"zero price and quantity", {header(), article("0", "0"), pay, ""}, true,
         "\rCena artikla ne sme da bude 0. Greska u 1. liniji sa oznakom 200!"
         "\rKolicina artikla ne sme da bude 0. Greska u 1. liniji sa oznakom 200!"
         "\rSuma ukupne prodaje u racunu je 0!"},
        {"payment 14 long", {header(), good, payment("1000", 0) + "X", ""}, true,
         "\rLosa struktura podatka u 1. liniji sa oznakom 300!\rSuma iznosa za placanje je manja od ukupnog iznosa na racunu!"},
        {"payment type not a number", {header(), good, "30000001000 x", ""}, true,
         "\rLosa struktura podatka u 1. liniji sa oznakom 300!\rSuma iznosa za placanje je manja od ukupnog iznosa na racunu!"},
        {"void cancels the sale", {header(), good, article("1000", "1000", "8600123456789", " 2", true), pay, ""}, true,
         "\rSuma ukupne prodaje u racunu je 0!"},
        {"two cash lines", {header(), good, payment("500", 0), payment("500", 0), ""}, true,
         "\rU bonu postoje vise linija sa istom vrstom placanja!"},
        {"cheque for all plus cash 0", {header(), good, payment("1000", 1), payment("0", 0), ""}, true,
         "\rIznos za placanje cekom odgovara ukupnom iznosu racuna.Obrisite ostala placanja u bonu!"},
        {"cash for all plus card", {header(), good, payment("0", 2), payment("1000", 0), ""}, true,
         "\rIznos za placanje gotovinom odgovara ukupnom iznosu racuna.Obrisite ostala placanja u bonu!"},
        {"card for all plus cheque", {header(), good, payment("0", 1), payment("1000", 2), ""}, true,
         "\rIznos za placanje karticom odgovara ukupnom iznosu racuna.Obrisite ostala placanja u bonu!"},
        {"cash before card", {header(), good, payment("400", 0), payment("600", 2), ""}, true,
         "\rPoslednja stavka za placanje mora biti gotovina!"},
        {"exact: 99.99 for 100.00", {header(), article("10000", "1000"), payment("9999", 0), ""}, true,
         "\rSuma iznosa za placanje je manja od ukupnog iznosa na racunu!"},
        {"rounded: 98.99 for 100.00", {header(), article("10000", "1000"), payment("9899", 0), ""}, false,
         "\rSuma iznosa za placanje je manja od ukupnog iznosa na racunu!"},
    };
    for (const Case& c : cases) EXPECT_EQ(check(c.lines, c.exact), c.errors) << c.what;
}

TEST(ReceiptFile, AcceptedNearMisses) {
    struct Case { const char* what; std::vector<std::string> lines; bool exact; };
    const Case cases[] = {
        {"rounded: 99.50 for 100.00", {header(), article("10000", "1000"), payment("9950", 0), ""}, false},
        {"card before cash", {header(), article("1000", "1000"), payment("600", 2), payment("400", 0), ""}, true},
        {"leading zeros and blanks", {header(), article("  001250", "00001000"), payment("1250", 0), ""}, true},
        {"payment amount read by its leading digits", {header(), article("1", "1000"), "300 0001x00 0", ""}, true},
        {"no trailing line", {header(), article("1000", "1000"), payment("1000", 0)}, true},
        {"other payment types count in no sum", {header(), article("1000", "1000"), payment("1000", 0), payment("5", 7), ""}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(check(c.lines, c.exact), "") << c.what;
}

TEST(ReceiptFile, MoreThan255LinesAreRefused) {
    std::vector<std::string> lines{header()};
    for (int i = 0; i < 253; ++i) lines.push_back(article("100", "1000"));
    lines.push_back(payment("25300", 0));
    lines.push_back("");
    ReceiptTable t;
    EXPECT_EQ(check(lines, true, &t), "");  // 255 lines and the end marker: full
    EXPECT_EQ(t[255].lineType, -1);
    lines.insert(lines.begin() + 1, article("100", "1000"));
    lines[lines.size() - 2] = payment("25400", 0);
    // The payment no longer fits, so the sums fail as well.
    EXPECT_EQ(check(lines, true, &t),
              "\rBon ima vise od 255 linija!\rSuma iznosa za placanje je manja od ukupnog iznosa na racunu!");
    EXPECT_EQ(t[255].lineType, -1);
}

TEST(ReceiptFile, RoundToAndIsNumber) {
    struct R { double in, out; };
    const R rounds[] = {{12.345, 12.35}, {12.344, 12.34}, {-1.235, -1.22}, {7, 7}, {0.005, 0.01}, {2.675, 2.68}, {1e-7, 1e-7}, {1.5e-7, 0}};
    for (const R& r : rounds) EXPECT_DOUBLE_EQ(RoundTo(-2, r.in), r.out) << r.in;
    struct N { const char* text; bool number; };
    const N numbers[] = {{"", true}, {" 42 ", true}, {"0000000000000", true}, {"12-3", false}, {"1.5", false}, {"abc", false}};
    for (const N& n : numbers) EXPECT_EQ(Is_Number(n.text), n.number) << n.text;
}

TEST(ReceiptFile, LinesLoseTrailingBlanksAndControls) {
    EXPECT_EQ(textFileLines("a  \r\nb\t\r\n\r\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(textFileLines("x\n"), (std::vector<std::string>{"x"}));
}

}  // namespace kestora::test
