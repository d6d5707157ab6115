// The local article table at the printer's capacity (60000 records): the load
// at start, a save of the whole table, the save after one answer changed one
// record, and the lookups of a full receipt.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "articles/article_table.h"

using namespace kestora;
namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 60000;
constexpr int kLookups = 255;

// A folder under the system's temporary folder for the whole run.
struct Folder {
    Folder() {
        std::string tmpl = (fs::temp_directory_path() / "kestora-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
        path = tmpl;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

Folder& folder() {
    static Folder f;
    return f;
}

std::string digits13(long long v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%013lld", v);
    return buf;
}

// Cyrillic names (Windows-1251) of the usual width, every third one Latin.
std::string name(int i) {
    static const char* const stems[] = {"\xCC\xCB\xC5\xCA\xCE", "\xD5\xCB\xC5\xC1", "\xD8\xC5\xDC\xC5\xD0",
                                        "\xC1\xC0\xD2\xC5\xD0\xC8\xC4\xC0", "SOK OD JABUKE"};
    std::string n = std::string(stems[i % 5]) + " " + std::to_string(i) + " \xCA\xC3";
    n.resize(36, ' ');
    return n;
}

Article record(int i) {
    Article a;
    a.KSIFRA = digits13(1000000 + i);
    a.SIFRA = i + 1;
    if (i % 4 != 0) a.BARKOD = digits13(8600000000000LL + i * 7LL);  // a quarter without a bar code
    a.NAZIV = name(i);
    a.CENA = 10 + (i % 1000) * 0.25;
    a.PORESKA_GRUPA = i % 9;
    return a;
}

void fill(ArticleTable& t) {
    for (int i = 0; i < kRecords; ++i) t.append(record(i));
}

// The file every load starts from, written once.
const fs::path& savedFile() {
    static const fs::path file = [] {
        const fs::path f = folder().path / "artikli.dat";
        ArticleTable t;
        fill(t);
        t.save(f);
        return f;
    }();
    return file;
}

}  // namespace

static void BM_Load60000(benchmark::State& state) {
    const fs::path& file = savedFile();
    for (auto _ : state) {
        ArticleTable t;
        t.load(file);
        benchmark::DoNotOptimize(t.count());
    }
}
BENCHMARK(BM_Load60000)->Unit(benchmark::kMillisecond);

static void BM_FullSave60000(benchmark::State& state) {
    ArticleTable t;
    fill(t);
    const fs::path file = folder().path / "full.dat";
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        fs::remove(file, ec);  // a new file: every record is written
        state.ResumeTiming();
        t.save(file);
    }
}
BENCHMARK(BM_FullSave60000)->Unit(benchmark::kMillisecond);

static void BM_SaveAfterOneChange(benchmark::State& state) {
    const fs::path file = folder().path / "one.dat";
    fs::copy_file(savedFile(), file, fs::copy_options::overwrite_existing);
    ArticleTable t;
    t.load(file);
    int n = 0;
    for (auto _ : state) {
        // What an answer does: find the record, change its price, save.
        t.findKey(1 + (n * 7919) % kRecords);
        t.edit();
        t.editing().CENA = 1 + n++;
        t.post();
        t.save(file);
    }
}
BENCHMARK(BM_SaveAfterOneChange)->Unit(benchmark::kMillisecond);

static void BM_255Candidates(benchmark::State& state) {
    ArticleTable t;
    fill(t);
    // A receipt's codes: external codes, bar codes, and some the table lacks.
    std::vector<std::string> codes;
    for (int i = 0; i < kLookups; ++i) {
        const int r = (i * 233) % kRecords;
        if (i % 5 == 4) codes.push_back(digits13(9990000000000LL + i));
        else if (i % 2 == 0 || r % 4 == 0) codes.push_back(" " + digits13(1000000 + r) + " ");
        else codes.push_back(digits13(8600000000000LL + r * 7LL));
    }
    for (auto _ : state) {
        int found = 0;
        for (const std::string& c : codes) found += t.findCandidate(c);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_255Candidates)->Unit(benchmark::kMicrosecond);
