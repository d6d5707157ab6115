#include "demo.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <iostream>
#include <vector>

#include "app/config.h"
#include "app/cp1251.h"
#include "app/ini_file.h"
#include "articles/article_table.h"
#include "loopback.h"

namespace kestora::gui {

namespace fs = std::filesystem;

namespace {

// The demo's articles, the same in the device's memory and in the local
// table: SIFRA is the device number, KSIFRA the point-of-sale code.
struct DemoArticle {
    int number;
    const char* ksifra;
    const char* barcode;
    const char* name;  // UTF-8
    std::int64_t cents;
    int taxGroup;
};

constexpr DemoArticle kArticles[] = {
    {1, "1001", "8600101000019", "ХЛЕБ БЕЛИ 500Г", 4500, 1},
    {2, "1002", "8600101000026", "МЛЕКО 2,8% 1Л", 12999, 1},
    {3, "1003", "8600101000033", "ЈОГУРТ 180Г", 5900, 1},
    {4, "1004", "8600101000040", "КАФА МЛЕВЕНА 200Г", 32900, 2},
    {5, "1005", "8600101000057", "ЧОКОЛАДА 100Г", 14950, 2},
};

const DemoArticle& article(int number) { return kArticles[number - 1]; }

// One article line of a sample receipt.
struct SampleLine {
    int article;
    std::int64_t milli;   // quantity in thousandths
    bool byBarcode;       // the line names the article by its bar code, else by KSIFRA
    bool isVoid = false;  // cancels an earlier sale of the receipt
};

enum class Paid { Exact, WithChange, CardThenCash };

struct SampleReceipt {
    std::vector<SampleLine> lines;
    Paid paid;
};

// The three sample receipts: paid in cash to the para, in cash with change,
// and by card with the rest in cash (a voided line among the sales).
const std::vector<SampleReceipt> kReceipts = {
    {{{1, 2000, false}, {2, 1000, true}}, Paid::Exact},
    {{{4, 1000, true}, {5, 3000, false}}, Paid::WithChange},
    {{{3, 4000, true}, {1, 1000, false}, {2, 2000, true}, {3, 1000, true, true}}, Paid::CardThenCash},
};

std::string field(std::string text, std::size_t width, bool right) {
    if (text.size() > width) text.resize(width);
    const std::string pad(width - text.size(), right ? '0' : ' ');
    return right ? pad + text : text + pad;
}

std::string number(std::int64_t value, std::size_t width) { return field(std::to_string(value), width, true); }

bool folderEmpty(const fs::path& dir) {
    std::error_code ec;
    return fs::directory_iterator(dir, ec) == fs::directory_iterator();
}

// The highest receipt number (leading digits of a name such as 00017.bon,
// 00017.3.bon or 00017.err) anywhere in the demo folder, so new samples
// never meet an archived or refused one of the same name.
long highestReceiptNumber(const fs::path& folder) {
    long highest = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::size_t digits = 0;
        while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
        if (digits == 0 || digits > 9 || digits >= name.size() || name[digits] != '.') continue;
        highest = std::max(highest, std::stol(name.substr(0, digits)));
    }
    return highest;
}

void writeFile(const fs::path& file, const std::string& content) {
    const fs::path tmp = file.parent_path() / ("." + file.filename().string() + ".tmp");
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) throw PlatformError("cannot write " + tmp.string());
    }
    fs::rename(tmp, file);  // the watcher skips hidden files, so it never sees half a receipt
}

std::string receiptText(const SampleReceipt& receipt, long receiptNumber, std::size_t nameLength) {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    // Date and time of the sale, seven characters the bridge does not read
    // (the point of sale's own receipt number) and cashier 01.
    std::string text = "100" + number(tm.tm_mday, 2) + number(tm.tm_mon + 1, 2) + number(tm.tm_year + 1900, 4) +
                       number(tm.tm_hour, 2) + number(tm.tm_min, 2) + number(receiptNumber % 10000000, 7) + "01\r\n";

    std::int64_t total = 0;
    for (const SampleLine& l : receipt.lines) {
        const DemoArticle& a = article(l.article);
        const std::int64_t amount = a.cents * l.milli / 1000;
        total += l.isVoid ? -amount : amount;
        text += "200" + field(utf8ToCp1251(a.name), nameLength, false) + number(a.cents, 8) + number(l.milli, 8) +
                (l.isVoid ? "01" : "00") + field(l.byBarcode ? a.barcode : a.ksifra, 13, false) +
                number(a.taxGroup, 2) + "\r\n";
    }
    const auto payment = [&](std::int64_t cents, int type) { text += "300" + number(cents, 8) + number(type, 2) + "\r\n"; };
    switch (receipt.paid) {
        case Paid::Exact: payment(total, 0); break;
        case Paid::WithChange: payment((total / 10000 + 1) * 10000, 0); break;  // the next whole hundred
        case Paid::CardThenCash:
            // The card pays the whole hundreds, cash the rest; cash comes last.
            payment(total - total % 10000, 2);
            payment(total % 10000, 0);
            break;
    }
    return text;
}

void writeConfiguration(const fs::path& folder, int model) {
    const fs::path file = folder / kConfigFileName;
    const bool fresh = !fs::exists(file);
    ConfigFile config(file);
    ConfigRecord r = config.load();
    r.Bon = (folder / "Bon").string();
    r.Komanda = (folder / "UKasu").string();
    r.Greska = (folder / "IzKase").string();
    r.Arhiva = (folder / "Arhiva").string();
    r.Model = model;
    r.Port = 1;
    r.IBFM = kDemoModuleNumber;
    if (fresh) {
        r.Duzina = 33;
        r.IP = "127.0.0.1";
        r.Zaokruzi = 0;
        r.Tray = 0;
        r.IsprazniBonFolder = 1;  // keep what is waiting in Bon: no question at start
    }
    // Only the printer is reached over TCP.
    if (fresh || model != 4 || !r.Konekcija || (*r.Konekcija != 0 && *r.Konekcija != 1)) r.Konekcija = 0;
    config.save(r);
    IniFile ini = IniFile::load(file);
    ini.set(kPortsSection, "COM1", kDemoDevicePath);
    ini.saveAtomically(file);
}

void writeArticleTable(const fs::path& folder) {
    const fs::path file = folder / "artikli.dat";
    ArticleTable table;
    table.load(file);
    if (!table.isEmpty()) return;  // the table a person or the bridge filled stays
    for (const DemoArticle& a : kArticles) {
        Article r;
        r.KSIFRA = a.ksifra;
        r.SIFRA = a.number;
        r.BARKOD = a.barcode;
        r.NAZIV = utf8ToCp1251(a.name);
        r.CENA = static_cast<double>(a.cents) / 100.0;
        r.PORESKA_GRUPA = a.taxGroup;
        table.append(r);
    }
    table.save(file);
}

}  // namespace

fs::path prepareDemoFolder(const fs::path& parent, int model) {
    const fs::path folder = fs::absolute(parent / kDemoFolderName).lexically_normal();
    for (const char* sub : {"Bon", "UKasu", "IzKase", "Arhiva"}) fs::create_directories(folder / sub);
    writeConfiguration(folder, model);
    writeArticleTable(folder);

    const ConfigRecord r = ConfigFile(folder / kConfigFileName).load();
    const std::size_t nameLength = r.Duzina && *r.Duzina > 0 ? static_cast<std::size_t>(*r.Duzina) : 33;
    if (folderEmpty(folder / "Bon")) {
        long n = highestReceiptNumber(folder);
        for (const SampleReceipt& receipt : kReceipts) {
            ++n;
            writeFile(folder / "Bon" / (number(n, 5) + ".bon"), receiptText(receipt, n, nameLength));
        }
    }
    const bool drawer = model == 1 || model == 4 || model == 5;
    if (drawer && folderEmpty(folder / "UKasu")) writeFile(folder / "UKasu" / "OF.sys", "");
    return folder;
}

// The simulator behind the bridge's ports. It answers only on the demo's
// device path, like a real port that has nothing behind any other name, and
// after every write the timer is set for the answer.
class DemoDevice::Port : public sim::Loopback {
public:
    explicit Port(DemoDevice& owner) : Loopback(owner.sim_, [o = &owner] { return o->nowMs(); }), owner_(owner) {}

    void open(const std::string& path) override {
        if (path != kDemoDevicePath) throw PlatformError("Port " + path + " nije moguce otvoriti: nema uredjaja.");
        Loopback::open(path);
    }
    void write(const Bytes& bytes) override {
        Loopback::write(bytes);
        owner_.schedule();
    }

private:
    DemoDevice& owner_;
};

DemoDevice::DemoDevice(int model, const fs::path& folder)
    : memoryFile_(folder / ("simulator-model" + std::to_string(model) + ".mem")), sim_(model, kDemoModuleNumber) {
    clock_.start();
    port_ = std::make_unique<Port>(*this);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { deliver(); });

    log_.open(folder / kDemoLogFile, std::ios::trunc);
    sim_.log = [this](const std::string& line) { log_ << line << '\n' << std::flush; };
    journal_.open(folder / kDemoJournalFile, std::ios::app);
    sim_.journal().sink = [this](const std::string& entry) {
        journal_ << entry << std::flush;
        std::cerr << "[device] " << entry << std::flush;
    };

    if (fs::exists(memoryFile_)) {
        sim_.loadMemory(memoryFile_);
    } else {
        for (const DemoArticle& a : kArticles)
            sim_.putArticle({a.number, utf8ToCp1251(a.name), a.cents, a.taxGroup, a.barcode});
    }
}

DemoDevice::~DemoDevice() {
    try {
        sim_.saveMemory(memoryFile_);
    } catch (const std::exception& e) {
        std::cerr << "kestora: the simulated device's memory was not kept: " << e.what() << "\n";
    }
}

LinkPorts DemoDevice::ports() { return {port_.get(), port_.get()}; }

void DemoDevice::schedule() {
    const std::int64_t due = sim_.nextDue();
    if (due < 0) {
        timer_.stop();
        return;
    }
    timer_.start(static_cast<int>(std::clamp<std::int64_t>(due - nowMs(), 0, 60000)));
}

void DemoDevice::deliver() {
    port_->deliver(nowMs(), [this](const Bytes& chunk, bool overTcp) {
        // A closed port hears nothing; the answer is lost as on the wire.
        if (!runtime_) return;
        if (overTcp) {
            if (!port_->connected()) return;
            for (std::uint8_t b : chunk) runtime_->receivedTcpByte(b);
        } else if (port_->isOpen()) {
            runtime_->receivedSerialChunk(chunk);
        }
    });
    schedule();
}

}  // namespace kestora::gui
