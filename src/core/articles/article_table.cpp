#include "articles/article_table.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <compare>
#include <map>
#include <memory_resource>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/cp1251.h"
#include "app/ports.h"
#include "app/text.h"

namespace kestora {

namespace fs = std::filesystem;

namespace {

// Position in SIFRA order. seq keeps records with equal SIFRA in the order
// they took their SIFRA.
struct Key {
    std::int64_t sifra;  // INT64_MIN for an empty SIFRA: before every number
    std::uint64_t seq;
    auto operator<=>(const Key&) const = default;
};

std::int64_t sifraKey(const std::optional<int>& s) { return s ? *s : INT64_MIN; }

struct Record {
    Article a;
    std::optional<std::int64_t> rowid;  // its row in the file; none until saved there
};

using Records = std::map<Key, Record>;
using Node = Records::value_type;

bool sameArticle(const Article& x, const Article& y) {
    return x.KSIFRA == y.KSIFRA && x.SIFRA == y.SIFRA && x.BARKOD == y.BARKOD && x.NAZIV == y.NAZIV &&
           x.CENA == y.CENA && x.PORESKA_GRUPA == y.PORESKA_GRUPA;
}

enum class Field { KSIFRA, SIFRA, BARKOD, NAZIV, CENA, PORESKA_GRUPA };

Field fieldNamed(const std::string& name) {
    static const std::pair<const char*, Field> names[] = {
        {"KSIFRA", Field::KSIFRA}, {"SIFRA", Field::SIFRA}, {"BARKOD", Field::BARKOD},
        {"NAZIV", Field::NAZIV},   {"CENA", Field::CENA},   {"PORESKA_GRUPA", Field::PORESKA_GRUPA},
    };
    for (const auto& [n, f] : names)
        if (equalsIgnoreCase(name, n)) return f;
    throw PlatformError("Nepoznato polje artikla: " + name);
}

std::optional<int> wholeFromText(const std::string& text, const char* field) {
    if (trim(text).empty()) return std::nullopt;
    if (const auto v = parseInt(text)) return v;
    throw PlatformError(std::string(field) + ": '" + text + "' nije ispravan ceo broj");
}

// Decimal text with "." or "," as the separator; no "inf", "nan" or hex.
std::optional<double> decimalFromText(const std::string& text, const char* field) {
    std::string t = trim(text);
    if (t.empty()) return std::nullopt;
    for (char& c : t)
        if (c == ',') c = '.';
    std::string_view v = t;
    const bool plus = v.front() == '+';  // from_chars takes no '+'; one sign at most
    if (plus) v.remove_prefix(1);
    const std::size_t lead = (!plus && !v.empty() && v.front() == '-') ? 1 : 0;
    double value = 0;
    bool ok = v.size() > lead && (std::isdigit(static_cast<unsigned char>(v[lead])) || v[lead] == '.');
    if (ok) {
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
        ok = ec == std::errc() && end == v.data() + v.size() && std::isfinite(value);
    }
    if (!ok) throw PlatformError(std::string(field) + ": '" + text + "' nije ispravan broj");
    return value;
}

// --- SQLite -----------------------------------------------------------------

[[noreturn]] void failDb(const fs::path& file, const std::string& why) {
    throw PlatformError("Baza artikala " + file.string() + ": " + why);
}

class Db {
public:
    Db(const fs::path& file, int flags) : file_(file) {
        const int rc = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
        if (rc != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
            sqlite3_close(db_);
            failDb(file, why);
        }
        // A person looking at the file with sqlite3 may hold a lock briefly.
        sqlite3_busy_timeout(db_, 1000);
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail() const { failDb(file_, sqlite3_errmsg(db_)); }
    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
    }

private:
    fs::path file_;
    sqlite3* db_ = nullptr;
};

class Stmt {
public:
    Stmt(Db& db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &s_, nullptr) != SQLITE_OK) db.fail();
    }
    ~Stmt() { sqlite3_finalize(s_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    sqlite3_stmt* get() const { return s_; }
    // True while a row is available.
    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) db_.fail();
        return false;
    }
    void run() {
        step();
        sqlite3_reset(s_);
    }
    void text(int i, const std::string& cp1251) {
        const int rc = cp1251.empty()
                           ? sqlite3_bind_null(s_, i)
                           : [&] {
                                 const std::string u = cp1251ToUtf8(cp1251);
                                 return sqlite3_bind_text(s_, i, u.data(), static_cast<int>(u.size()),
                                                          SQLITE_TRANSIENT);
                             }();
        check(rc);
    }
    void integer(int i, const std::optional<int>& v) { check(v ? sqlite3_bind_int(s_, i, *v) : sqlite3_bind_null(s_, i)); }
    void real(int i, const std::optional<double>& v) { check(v ? sqlite3_bind_double(s_, i, *v) : sqlite3_bind_null(s_, i)); }
    void rowid(int i, std::int64_t v) { check(sqlite3_bind_int64(s_, i, v)); }

private:
    void check(int rc) {
        if (rc != SQLITE_OK) db_.fail();
    }
    Db& db_;
    sqlite3_stmt* s_ = nullptr;
};

constexpr const char* kCreate =
    "CREATE TABLE artikli (KSIFRA TEXT, SIFRA INTEGER, BARKOD TEXT, NAZIV TEXT, CENA REAL, PORESKA_GRUPA INTEGER)";
constexpr const char* kSelect = "SELECT rowid, KSIFRA, SIFRA, BARKOD, NAZIV, CENA, PORESKA_GRUPA FROM artikli";
constexpr const char* kInsert =
    "INSERT INTO artikli (KSIFRA, SIFRA, BARKOD, NAZIV, CENA, PORESKA_GRUPA) VALUES (?1, ?2, ?3, ?4, ?5, ?6)";
constexpr const char* kUpdate =
    "UPDATE artikli SET KSIFRA = ?1, SIFRA = ?2, BARKOD = ?3, NAZIV = ?4, CENA = ?5, PORESKA_GRUPA = ?6 "
    "WHERE rowid = ?7";
constexpr const char* kDelete = "DELETE FROM artikli WHERE rowid = ?1";

bool hasTable(Db& db) {
    Stmt s(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND lower(name) = 'artikli'");
    return s.step();
}

void bindArticle(Stmt& s, const Article& a) {
    s.text(1, a.KSIFRA);
    s.integer(2, a.SIFRA);
    s.text(3, a.BARKOD);
    s.text(4, a.NAZIV);
    s.real(5, a.CENA);
    s.integer(6, a.PORESKA_GRUPA);
}

std::string textColumn(sqlite3_stmt* s, int i) {
    if (sqlite3_column_type(s, i) == SQLITE_NULL) return {};
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return utf8ToCp1251(std::string_view(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(s, i))));
}

// Hand-filled files may hold numbers as text or as whole-valued reals.
std::optional<int> wholeColumn(const fs::path& file, sqlite3_stmt* s, int i, const char* field) {
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(s, i);
        if (v >= INT_MIN && v <= INT_MAX) return static_cast<int>(v);
        break;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(s, i);
        if (v == std::trunc(v) && v >= INT_MIN && v <= INT_MAX) return static_cast<int>(v);
        break;
    }
    case SQLITE_TEXT:
        try {
            return wholeFromText(textColumn(s, i), field);
        } catch (const PlatformError&) {
        }
        break;
    default:
        break;
    }
    failDb(file, std::string(field) + " u redu " + std::to_string(sqlite3_column_int64(s, 0)) +
                   " nije ispravan ceo broj");
}

std::optional<double> decimalColumn(const fs::path& file, sqlite3_stmt* s, int i, const char* field) {
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, i);
    case SQLITE_TEXT:
        try {
            return decimalFromText(textColumn(s, i), field);
        } catch (const PlatformError&) {
        }
        break;
    default:
        break;
    }
    failDb(file, std::string(field) + " u redu " + std::to_string(sqlite3_column_int64(s, 0)) + " nije ispravan broj");
}

// Paths are compared to tell whether the rowids we hold belong to a file.
fs::path identity(const fs::path& file) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(file, ec);
    return ec ? file : p;
}

}  // namespace

struct ArticleTable::Impl {
    Records records;
    Records::iterator cur = records.end();  // end(): nothing current
    bool eof = false;
    bool inEdit = false;
    Article buffer;
    std::uint64_t nextSeq = 0;
    // Trimmed KSIFRA and BARKOD (empty ones too, for model 2's rule) -> the
    // records holding it. Most codes belong to one record, which then costs
    // one hash node and nothing more, and the nodes come from a pool: with a
    // set per code and a heap allocation per node, building the index took
    // most of the load of a full table.
    struct Holders {
        Key first;             // the first in SIFRA order
        std::set<Key> others;  // the rest, in SIFRA order
    };
    std::pmr::unsynchronized_pool_resource pool;
    std::pmr::unordered_map<std::string, Holders> byCode{&pool};

    // What save() has to write since the last load or save.
    std::unordered_set<const Node*> changed;  // new, edited or moved
    std::vector<std::int64_t> deleted;         // rowids
    bool wipe = false;                         // empty() was called
    fs::path file;                             // the file our rowids refer to
    bool inFile = false;                       // that file exists and holds our rows

    Key newKey(const std::optional<int>& sifra) { return {sifraKey(sifra), nextSeq++}; }

    void index(const Node& n) {
        std::string ksifra = trim(n.second.a.KSIFRA), barkod = trim(n.second.a.BARKOD);
        if (barkod != ksifra) indexCode(std::move(barkod), n.first);
        indexCode(std::move(ksifra), n.first);
    }
    void unindex(const Node& n) {
        const std::string ksifra = trim(n.second.a.KSIFRA), barkod = trim(n.second.a.BARKOD);
        if (barkod != ksifra) unindexCode(barkod, n.first);
        unindexCode(ksifra, n.first);
    }
    void indexCode(std::string code, Key k) {
        const auto [it, fresh] = byCode.try_emplace(std::move(code), Holders{k, {}});
        if (fresh) return;
        Holders& h = it->second;
        if (k < h.first) std::swap(k, h.first);
        h.others.emplace_hint(h.others.end(), k);  // loading comes in order
    }
    void unindexCode(const std::string& code, const Key& k) {
        const auto it = byCode.find(code);
        if (it == byCode.end()) return;
        Holders& h = it->second;
        if (h.first != k) {
            h.others.erase(k);
        } else if (h.others.empty()) {
            byCode.erase(it);
        } else {
            h.first = *h.others.begin();
            h.others.erase(h.others.begin());
        }
    }

    void requireCurrent(const char* what) const {
        if (cur == records.end()) throw PlatformError(std::string("Nema tekuceg artikla (") + what + ")");
    }
    void makeCurrent(Records::iterator it) {
        cur = it;
        eof = false;
    }
    void nothingCurrent() {
        cur = records.end();
        eof = false;
    }
    bool makeCurrent(const Key& k) {
        makeCurrent(records.find(k));
        return true;
    }

    void beginEdit() {
        if (inEdit) return;
        requireCurrent("edit");
        buffer = cur->second.a;
        inEdit = true;
    }
    void post() {
        if (!inEdit) return;
        inEdit = false;
        Record& r = cur->second;
        if (sameArticle(r.a, buffer)) return;
        unindex(*cur);
        if (buffer.SIFRA != r.a.SIFRA) {
            // Behind the records that already hold the new SIFRA, as an
            // append would put it. In the file it becomes a new row, so a
            // reload (SIFRA, then rowid) restores the same order.
            auto node = records.extract(cur);
            node.key() = newKey(buffer.SIFRA);
            if (node.mapped().rowid) deleted.push_back(*node.mapped().rowid);
            node.mapped().rowid.reset();
            node.mapped().a = std::move(buffer);
            cur = records.insert(std::move(node)).position;
            if (std::next(cur) != records.end()) eof = false;
        } else {
            r.a = std::move(buffer);
        }
        index(*cur);
        changed.insert(&*cur);
    }
    void cancel() { inEdit = false; }

    void clear() {
        records.clear();
        byCode.clear();
        changed.clear();
        deleted.clear();
        cur = records.end();
        eof = false;
        inEdit = false;
    }
};

ArticleTable::ArticleTable() : d_(new Impl) {}
ArticleTable::~ArticleTable() { delete d_; }

void ArticleTable::load(const fs::path& file) {
    d_->cancel();
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        d_->clear();
        d_->wipe = false;
        d_->file = identity(file);
        d_->inFile = false;
        return;
    }

    struct Row {
        std::int64_t rowid;
        Article a;
    };
    std::vector<Row> rows;
    {
        Db db(file, SQLITE_OPEN_READWRITE);
        if (!hasTable(db)) db.exec(kCreate);
        Stmt s(db, kSelect);
        while (s.step()) {
            sqlite3_stmt* q = s.get();
            Row r;
            r.rowid = sqlite3_column_int64(q, 0);
            r.a.KSIFRA = textColumn(q, 1);
            r.a.SIFRA = wholeColumn(file, q, 2, "SIFRA");
            r.a.BARKOD = textColumn(q, 3);
            r.a.NAZIV = textColumn(q, 4);
            r.a.CENA = decimalColumn(file, q, 5, "CENA");
            r.a.PORESKA_GRUPA = wholeColumn(file, q, 6, "PORESKA_GRUPA");
            rows.push_back(std::move(r));
        }
    }
    // Equal SIFRA in rowid order: the order in which they were written.
    std::sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) {
        return std::pair(sifraKey(x.a.SIFRA), x.rowid) < std::pair(sifraKey(y.a.SIFRA), y.rowid);
    });

    d_->clear();
    d_->nextSeq = 0;
    d_->byCode.reserve(2 * rows.size());
    for (Row& r : rows) {
        const auto it = d_->records.emplace_hint(d_->records.end(), d_->newKey(r.a.SIFRA), Record{std::move(r.a), r.rowid});
        d_->index(*it);
    }
    d_->cur = d_->records.begin();
    d_->wipe = false;
    d_->file = identity(file);
    d_->inFile = true;
}

void ArticleTable::save(const fs::path& file) {
    d_->post();
    const fs::path id = identity(file);
    std::error_code ec;
    // Rowids mean nothing in another file, or in one that went away: write it all.
    const bool full = !d_->inFile || id != d_->file || !fs::exists(file, ec);
    if (!full && d_->changed.empty() && d_->deleted.empty() && !d_->wipe) return;

    std::vector<const Node*> inserts;
    std::vector<const Node*> updates;
    if (full) {
        inserts.reserve(d_->records.size());
        for (const Node& n : d_->records) inserts.push_back(&n);
    } else {
        for (const Node* n : d_->changed) (n->second.rowid ? updates : inserts).push_back(n);
        // Rowids grow in insertion order; equal SIFRA must come back in our order.
        std::sort(inserts.begin(), inserts.end(), [](const Node* x, const Node* y) { return x->first < y->first; });
    }
    std::vector<std::int64_t> newRowids;
    newRowids.reserve(inserts.size());

    Db db(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.exec("BEGIN IMMEDIATE");
    try {
        if (!hasTable(db)) db.exec(kCreate);
        if (full || d_->wipe) {
            db.exec("DELETE FROM artikli");
        } else if (!d_->deleted.empty()) {
            Stmt del(db, kDelete);
            for (const std::int64_t rowid : d_->deleted) {
                del.rowid(1, rowid);
                del.run();
            }
        }
        if (!updates.empty()) {
            Stmt upd(db, kUpdate);
            for (const Node* n : updates) {
                bindArticle(upd, n->second.a);
                upd.rowid(7, *n->second.rowid);
                upd.run();
            }
        }
        if (!inserts.empty()) {
            Stmt ins(db, kInsert);
            for (const Node* n : inserts) {
                bindArticle(ins, n->second.a);
                ins.run();
                newRowids.push_back(sqlite3_last_insert_rowid(db.handle()));
            }
        }
        db.exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }

    for (std::size_t i = 0; i < inserts.size(); ++i)
        const_cast<Node*>(inserts[i])->second.rowid = newRowids[i];
    d_->changed.clear();
    d_->deleted.clear();
    d_->wipe = false;
    d_->file = id;
    d_->inFile = true;
}

std::size_t ArticleTable::count() const { return d_->records.size(); }

void ArticleTable::empty() {
    d_->clear();
    d_->wipe = true;
}

void ArticleTable::first() {
    d_->post();
    d_->makeCurrent(d_->records.begin());
}

void ArticleTable::next() {
    d_->post();
    if (d_->cur == d_->records.end() || std::next(d_->cur) == d_->records.end()) {
        d_->eof = true;  // the last record (if any) stays current
        return;
    }
    ++d_->cur;
}

void ArticleTable::last() {
    d_->post();
    d_->makeCurrent(d_->records.empty() ? d_->records.end() : std::prev(d_->records.end()));
}

bool ArticleTable::Eof() const { return d_->eof || d_->records.empty(); }

bool ArticleTable::hasCurrent() const { return d_->cur != d_->records.end(); }

const Article& ArticleTable::current() const {
    d_->requireCurrent("current");
    return d_->cur->second.a;
}

void ArticleTable::append(const Article& a) {
    d_->post();
    const auto it = d_->records.emplace(d_->newKey(a.SIFRA), Record{a, std::nullopt}).first;
    d_->index(*it);
    d_->changed.insert(&*it);
    d_->makeCurrent(it);
}

void ArticleTable::edit() { d_->beginEdit(); }

void ArticleTable::setField(const std::string& field, const std::string& text) {
    const Field f = fieldNamed(field);
    Article value;  // parsed before the edit starts, so bad text changes nothing
    switch (f) {
    case Field::SIFRA: value.SIFRA = wholeFromText(text, "SIFRA"); break;
    case Field::PORESKA_GRUPA: value.PORESKA_GRUPA = wholeFromText(text, "PORESKA_GRUPA"); break;
    case Field::CENA: value.CENA = decimalFromText(text, "CENA"); break;
    default: break;
    }
    d_->beginEdit();
    Article& a = d_->buffer;
    switch (f) {
    case Field::KSIFRA: a.KSIFRA = text; break;
    case Field::SIFRA: a.SIFRA = value.SIFRA; break;
    case Field::BARKOD: a.BARKOD = text; break;
    case Field::NAZIV: a.NAZIV = text; break;
    case Field::CENA: a.CENA = value.CENA; break;
    case Field::PORESKA_GRUPA: a.PORESKA_GRUPA = value.PORESKA_GRUPA; break;
    }
}

Article& ArticleTable::editing() {
    d_->beginEdit();
    return d_->buffer;
}

void ArticleTable::post() { d_->post(); }

void ArticleTable::cancel() { d_->cancel(); }

void ArticleTable::deleteCurrent() {
    d_->requireCurrent("delete");
    d_->cancel();
    const Node& n = *d_->cur;
    d_->unindex(n);
    d_->changed.erase(&n);
    if (n.second.rowid) d_->deleted.push_back(*n.second.rowid);
    auto following = d_->records.erase(d_->cur);
    if (following == d_->records.end() && !d_->records.empty()) --following;  // the new last record
    d_->makeCurrent(following);
}

bool ArticleTable::findKey(int sifra) {
    d_->post();
    const auto it = d_->records.lower_bound(Key{sifra, 0});
    if (it == d_->records.end() || it->first.sifra != sifra) {
        d_->nothingCurrent();
        return false;
    }
    d_->makeCurrent(it);
    return true;
}

bool ArticleTable::findCandidate(const std::string& code) {
    d_->post();
    const std::string c = trim(code);
    const auto it = c.empty() ? d_->byCode.end() : d_->byCode.find(c);
    if (it == d_->byCode.end()) {
        d_->nothingCurrent();
        return false;
    }
    return d_->makeCurrent(it->second.first);
}

bool ArticleTable::findMatch(const std::string& code, const std::function<bool(const Article&)>& accept,
                             bool emptyMatchesEmpty) {
    d_->post();
    const std::string c = trim(code);
    const auto it = (c.empty() && !emptyMatchesEmpty) ? d_->byCode.end() : d_->byCode.find(c);
    if (it != d_->byCode.end()) {
        const auto take = [&](const Key& k) {
            const auto r = d_->records.find(k);
            if (!accept(r->second.a)) return false;
            d_->makeCurrent(r);
            return true;
        };
        if (take(it->second.first)) return true;
        for (const Key& k : it->second.others)
            if (take(k)) return true;
    }
    d_->nothingCurrent();
    return false;
}

}  // namespace kestora
