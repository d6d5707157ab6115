#include "intake/receipt_file.h"

#include <cmath>
#include <cstdio>

#include "app/text.h"

namespace kestora {

double RoundTo(int digits, double value) {
    const int m = digits < 0 ? -digits : digits;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string text = buf;
    if (text.find('.') == std::string::npos) return value;
    if (text.find('e') != std::string::npos) {  // a small or large value with a fraction
        std::snprintf(buf, sizeof buf, "%.20f", value);
        text = buf;
    }
    const auto dot = text.find('.');
    std::string fraction = text.substr(dot + 1, static_cast<std::size_t>(m + 1));
    fraction.resize(static_cast<std::size_t>(m + 1), '0');
    const std::string joined = text.substr(0, dot) + fraction;
    const int deciding = joined.back() - '0';
    const long long truncated = std::stoll(joined.substr(0, joined.size() - 1));
    const double scale = std::pow(10.0, m);
    return static_cast<double>(deciding >= 5 ? truncated + 1 : truncated) / scale;
}

bool Is_Number(std::string_view text) {
    for (char c : trim(text))
        if (c < '0' || c > '9') return false;
    return true;
}

std::vector<std::string> textFileLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t nl = content.find('\n', start);
        if (nl == std::string::npos) nl = content.size();
        std::string line = content.substr(start, nl - start);
        while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.pop_back();
        lines.push_back(std::move(line));
        start = nl + 1;
    }
    return lines;
}

namespace {

bool allDigits(const std::string& t) {
    if (t.empty()) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

// Digits only, blanks at both ends allowed: the price and quantity fields.
bool digitField(std::string_view field, long long& value) {
    const std::string t = trim(field);
    if (!allDigits(t) || t.size() > 18) return false;
    value = std::stoll(t);
    return true;
}

// The value of the leading digits, 0 when there are none.
long long leadingDigits(std::string_view field) {
    long long v = 0;
    for (char c : trim(field)) {
        if (c < '0' || c > '9') break;
        v = v * 10 + (c - '0');
    }
    return v;
}

bool validDate(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

class Parser {
public:
    Parser(const std::vector<std::string>& lines, int n, ReceiptTable& t) : lines_(lines), n_(n), table_(t) {}

    void run(bool fileEmpty) {
        if (fileEmpty) {
            fault("Bon je prazan");
        } else {
            read();
            while (!eof() && !cur_.empty()) {
                headers();
                articles();
                payments();
                read();
            }
        }
        table_[static_cast<std::size_t>(slot())].lineType = -1;
        if (d_ == 0) fault("U bonu ne postoji nijedan red.");
    }
    std::string errors;
    bool faulty = false;

private:
    void fault(const std::string& message) {
        errors += "\r" + message;
        faulty = true;
    }
    void read() { cur_ = pos_ < lines_.size() ? lines_[pos_++] : std::string(); }
    bool eof() const { return pos_ >= lines_.size(); }
    bool starts(const char* tag) const { return cur_.compare(0, 3, tag) == 0; }
    // The table holds 255 lines and the end marker; a longer receipt is refused.
    int slot() const { return d_ < static_cast<int>(kReceiptLinesSize) - 1 ? d_ : static_cast<int>(kReceiptLinesSize) - 1; }
    racun* record() {
        if (d_ < static_cast<int>(kReceiptLinesSize) - 1) return &table_[static_cast<std::size_t>(d_)];
        if (!overflow_) fault("Bon ima vise od 255 linija!");
        overflow_ = true;
        return nullptr;
    }
    std::string field(std::size_t from1, std::size_t length) const { return cur_.substr(from1 - 1, length); }

    void headers() {
        int k = 0;
        while (starts("100")) {
            ++k;
            header();
            read();
            ++d_;
        }
        if (k == 0) fault("U bonu nije nadjena linija sa oznakom 100!");
    }

    void header() {
        const std::string bad = "Losa struktura podatka u liniji sa oznakom 100!";
        if (cur_.size() != 24) return fault(bad);
        const auto day = parseInt(field(4, 2)), month = parseInt(field(6, 2)), year = parseInt(field(8, 4)),
                   hour = parseInt(field(12, 2)), minute = parseInt(field(14, 2)), oper = parseInt(field(23, 2));
        if (!day || !month || !year || !hour || !minute || !oper || !validDate(*year, *month, *day) || *hour < 0 ||
            *hour > 23 || *minute < 0 || *minute > 59)
            return fault(bad);
        if (racun* r = record()) {
            r->lineType = 100;
            r->oper = static_cast<std::uint8_t>(*oper);
            r->year = *year;
            r->month = *month;
            r->day = *day;
            r->hour = *hour;
            r->minute = *minute;
        }
    }

    void articles() {
        int k = 0;
        while (starts("200")) {
            ++k;
            article(k);
            read();
            ++d_;
        }
        if (k == 0) fault("U bonu nije nadjena linija sa oznakom 200!");
    }

    void article(int k) {
        const std::string at = std::to_string(k) + ". liniji sa oznakom 200!";
        const std::size_t n = static_cast<std::size_t>(n_);
        if (n_ < 0 || (cur_.size() != n + 36 && cur_.size() != n + 37)) return fault("Losa struktura podatka u " + at);
        const std::size_t w = cur_.size() - (n + 36);
        long long priceCents = 0, qtyMilli = 0;
        const bool priceOk = digitField(field(n + 4, 8 + w), priceCents);
        const bool qtyOk = digitField(field(n + 12 + w, 8), qtyMilli);
        const auto tax = parseInt(field(n + 35 + w, 2));
        if (!priceOk) fault("Los iznos za cenu artikla u " + at);
        if (!qtyOk) fault("Los iznos za kolicinu artikla u " + at);
        if (!tax) fault("Losa struktura podatka u " + at);
        if (priceOk && priceCents == 0) fault("Cena artikla ne sme da bude 0. Greska u " + at);
        if (qtyOk && qtyMilli == 0) fault("Kolicina artikla ne sme da bude 0. Greska u " + at);
        if (faulty) return;  // once a fault is found, lines are checked but not stored
        if (racun* r = record()) {
            r->lineType = 200;
            r->voidFlag = field(n + 20 + w, 2) == "01" ? 1 : 0;
            r->code = r->barcode = trim(field(n + 22 + w, 13));
            r->quantity = static_cast<double>(qtyMilli) / 1000.0;
            r->price = RoundTo(-2, static_cast<double>(priceCents) / 100.0);
            r->name = trim(field(4, n));
            r->taxGroup = *tax;
            // The exact product of hundredths and thousandths, its last three
            // digits cut off.
            r->lineTotal = static_cast<std::int64_t>(static_cast<unsigned long long>(priceCents) *
                                                     static_cast<unsigned long long>(qtyMilli) / 1000ULL);
        }
    }

    void payments() {
        int k = 0;
        while (starts("300")) {
            ++k;
            payment(k);
            read();
            ++d_;
        }
        if (k == 0) fault("U bonu nije nadjena linija sa oznakom 300!");
    }

    void payment(int k) {
        const std::string bad = "Losa struktura podatka u " + std::to_string(k) + ". liniji sa oznakom 300!";
        if (cur_.size() != 13 && cur_.size() != 16) return fault(bad);
        const std::size_t v = cur_.size() - 13;
        const auto type = parseInt(field(12 + v, 2));
        if (!type) return fault(bad);
        if (racun* r = record()) {
            const long long cents = leadingDigits(field(4, 8 + v));
            r->lineType = 300;
            r->paymentCents = static_cast<std::int32_t>(cents);
            r->paymentAmount = RoundTo(-2, static_cast<double>(cents) / 100.0);
            r->paymentType = *type;
        }
    }

    const std::vector<std::string>& lines_;
    int n_;
    ReceiptTable& table_;
    std::size_t pos_ = 0;
    std::string cur_;
    int d_ = 0;
    bool overflow_ = false;
};

// The payment and total checks, exact (hundredths) or rounded (one unit of tolerance).
template <class Num>
void sumChecks(const ReceiptTable& t, bool exact, std::string& errors, bool& faulty) {
    const auto fault = [&](const char* m) {
        if (m) errors += std::string("\r") + m;
        faulty = true;
    };
    Num total = 0, cash = 0, cheque = 0, card = 0;
    int counts[3] = {0, 0, 0};
    std::size_t end = 0;
    while (end < t.size() && t[end].lineType != -1) ++end;
    for (std::size_t i = 0; i < end; ++i) {
        const racun& r = t[i];
        if (r.lineType == 200) {
            const Num line = exact ? static_cast<Num>(r.lineTotal) : static_cast<Num>(RoundTo(-2, r.quantity * r.price));
            total += r.voidFlag ? -line : line;
        } else if (r.lineType == 300 && r.paymentType >= 0 && r.paymentType <= 2) {
            const Num amount = exact ? static_cast<Num>(r.paymentCents) : static_cast<Num>(r.paymentAmount);
            (r.paymentType == 0 ? cash : r.paymentType == 1 ? cheque : card) += amount;
            ++counts[r.paymentType];
        }
    }
    const Num unit = exact ? 0 : 1;
    if (cheque + card > total + unit) fault("Suma iznosa za placanje cekom i karticom je veca od ukupnog iznosa na racunu!");
    if (cash + cheque + card + unit < total) fault("Suma iznosa za placanje je manja od ukupnog iznosa na racunu!");
    if (total == 0) fault("Suma ukupne prodaje u racunu je 0!");
    if (counts[0] > 1 || counts[1] > 1 || counts[2] > 1) fault("U bonu postoje vise linija sa istom vrstom placanja!");
    const bool nonZero = total != 0;
    if (cheque == total && (counts[0] || counts[2]))
        fault(nonZero ? "Iznos za placanje cekom odgovara ukupnom iznosu racuna.Obrisite ostala placanja u bonu!" : nullptr);
    if (card == total && (counts[0] || counts[1]))
        fault(nonZero ? "Iznos za placanje karticom odgovara ukupnom iznosu racuna.Obrisite ostala placanja u bonu!" : nullptr);
    if (cash == total && (counts[1] || counts[2]))
        fault(nonZero ? "Iznos za placanje gotovinom odgovara ukupnom iznosu racuna.Obrisite ostala placanja u bonu!" : nullptr);
    if (counts[0] && (counts[1] || counts[2])) {
        const bool lastIsCash = end > 0 && t[end - 1].lineType == 300 && t[end - 1].paymentType == 0;
        if (!lastIsCash) fault("Poslednja stavka za placanje mora biti gotovina!");
    }
}

}  // namespace

std::string checkReceipt(const std::vector<std::string>& lines, bool fileEmpty, int nameLength, bool exactMode,
                         ReceiptTable& table) {
    table.fill(racun{});
    Parser p(lines, nameLength, table);
    p.run(fileEmpty);
    // Every fault without a message of its own comes with a zero total,
    // which has one: the text is empty exactly when the file passed.
    bool faulty = p.faulty;
    if (exactMode) sumChecks<std::int64_t>(table, true, p.errors, faulty);
    else sumChecks<double>(table, false, p.errors, faulty);
    return p.errors;
}

}  // namespace kestora
