#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ports.h"
#include "articles/article_table.h"

namespace kestora::test {

namespace fs = std::filesystem;

namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
struct TempFolder {
    TempFolder() {
        std::string tmpl = (fs::temp_directory_path() / "kestora-articles-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
        path = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

Article art(std::optional<int> sifra, std::string naziv, std::string ksifra = "", std::string barkod = "",
            std::optional<double> cena = std::nullopt, std::optional<int> grupa = std::nullopt) {
    return {std::move(ksifra), sifra, std::move(barkod), std::move(naziv), cena, grupa};
}

// Every record in walking order, from first() until Eof(); a walk that does
// not end after count() steps is a failure, not a hang.
std::vector<Article> records(ArticleTable& t) {
    std::vector<Article> out;
    for (t.first(); !t.Eof(); t.next()) {
        if (out.size() > t.count()) {
            ADD_FAILURE() << "the walk does not reach Eof";
            break;
        }
        out.push_back(t.current());
    }
    return out;
}

std::vector<std::string> names(ArticleTable& t) {
    std::vector<std::string> out;
    for (const Article& a : records(t)) out.push_back(a.NAZIV);
    return out;
}

void expectSame(const Article& x, const Article& y) {
    EXPECT_EQ(x.KSIFRA, y.KSIFRA);
    EXPECT_EQ(x.SIFRA, y.SIFRA);
    EXPECT_EQ(x.BARKOD, y.BARKOD);
    EXPECT_EQ(x.NAZIV, y.NAZIV);
    EXPECT_EQ(x.CENA, y.CENA);
    EXPECT_EQ(x.PORESKA_GRUPA, y.PORESKA_GRUPA);
}

// The file seen directly through SQLite, as support staff see it.
class Sql {
public:
    explicit Sql(const fs::path& file) {
        if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << sqlite3_errmsg(db_);
    }
    ~Sql() { sqlite3_close(db_); }
    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) ADD_FAILURE() << sql << ": " << err;
        sqlite3_free(err);
    }
    // The first column of every row of the query; NULL as "<null>", each
    // value prefixed with its storage class letter (i, r, t, n).
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> out;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return out;
        }
        while (sqlite3_step(s) == SQLITE_ROW) {
            switch (sqlite3_column_type(s, 0)) {
            case SQLITE_NULL: out.push_back("n:<null>"); break;
            case SQLITE_INTEGER: out.push_back("i:" + std::to_string(sqlite3_column_int64(s, 0))); break;
            case SQLITE_FLOAT: out.push_back("r:" + std::to_string(sqlite3_column_double(s, 0))); break;
            default:
                out.push_back("t:" + std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                                                 static_cast<std::size_t>(sqlite3_column_bytes(s, 0))));
            }
        }
        sqlite3_finalize(s);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

constexpr const char* kSchema =
    "CREATE TABLE artikli (KSIFRA TEXT, SIFRA INTEGER, BARKOD TEXT, NAZIV TEXT, CENA REAL, PORESKA_GRUPA INTEGER)";

// "ТЕСТ АРТИКАЛ" in Windows-1251 and in UTF-8.
const std::string kTestCp1251 = "\xD2\xC5\xD1\xD2 \xC0\xD0\xD2\xC8\xCA\xC0\xCB";
const std::string kTestUtf8 = "\xD0\xA2\xD0\x95\xD0\xA1\xD0\xA2 \xD0\x90\xD0\xA0\xD0\xA2\xD0\x98\xD0\x9A\xD0\x90\xD0\x9B";

// Every byte Windows-1251 gives a character, 0x80 to 0xFF (0x98 has none).
std::string allHighBytes() {
    std::string s;
    for (int b = 0x80; b <= 0xFF; ++b)
        if (b != 0x98) s.push_back(static_cast<char>(b));
    return s;
}

}  // namespace

// --- Order and walking ------------------------------------------------------

TEST(ArticleTable, KeepsSifraOrderWithDuplicatesInArrivalOrder) {
    ArticleTable t;
    t.append(art(9, "a"));
    t.append(art(3, "b"));
    t.append(art(5, "c"));
    EXPECT_EQ(t.current().NAZIV, "c");  // the appended record is current
    t.append(art(3, "d"));
    t.append(art(9, "e"));
    t.append(art(std::nullopt, "f"));  // no number: before every number
    t.append(art(-2, "g"));
    EXPECT_EQ(names(t), (std::vector<std::string>{"f", "g", "b", "d", "c", "a", "e"}));
    EXPECT_EQ(t.count(), 7u);
    t.last();
    EXPECT_EQ(t.current().NAZIV, "e");
}

TEST(ArticleTable, EofOnlyAfterAMovePastTheLastRecord) {
    ArticleTable t;
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.Eof());
    for (auto move : {&ArticleTable::first, &ArticleTable::last, &ArticleTable::next}) {
        (t.*move)();
        EXPECT_TRUE(t.Eof());
        EXPECT_FALSE(t.hasCurrent());
    }

    t.append(art(1, "one"));
    t.append(art(2, "two"));
    EXPECT_FALSE(t.Eof());
    t.first();
    t.next();
    EXPECT_EQ(t.current().NAZIV, "two");
    EXPECT_FALSE(t.Eof());  // on the last record, not past it
    t.next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.current().NAZIV, "two");  // the move past the end keeps the last record
    t.next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.current().NAZIV, "two");

    t.last();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.current().NAZIV, "two");
    t.next();
    EXPECT_TRUE(t.Eof());
    t.first();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.current().NAZIV, "one");

    t.last();
    t.next();
    t.append(art(0, "zero"));
    EXPECT_FALSE(t.Eof());

    ArticleTable single;
    single.append(art(4, "only"));
    single.last();
    single.next();
    EXPECT_TRUE(single.Eof());
    EXPECT_EQ(single.current().NAZIV, "only");
}

TEST(ArticleTable, PostingANewSifraMovesTheRecordAndKeepsItCurrent) {
    ArticleTable t;
    for (int s : {1, 3, 5, 7}) t.append(art(s, std::to_string(s)));
    ASSERT_TRUE(t.findKey(3));
    t.edit();
    t.setField("SIFRA", "6");
    t.post();
    EXPECT_EQ(t.current().NAZIV, "3");
    EXPECT_EQ(t.current().SIFRA, 6);
    t.next();
    EXPECT_EQ(t.current().NAZIV, "7");  // walking goes on from the new place
    EXPECT_EQ(names(t), (std::vector<std::string>{"1", "5", "3", "7"}));

    // Onto a number already held: behind the record that holds it.
    ASSERT_TRUE(t.findKey(7));
    t.editing().SIFRA = 5;
    t.post();
    EXPECT_EQ(t.current().NAZIV, "7");
    EXPECT_EQ(names(t), (std::vector<std::string>{"1", "5", "7", "3"}));

    // A move posted implicitly by the next walk step.
    t.first();
    t.edit();
    t.setField("SIFRA", "99");
    t.next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.current().NAZIV, "1");
    EXPECT_EQ(names(t), (std::vector<std::string>{"5", "7", "3", "1"}));

    // A change that keeps the number keeps the place.
    ASSERT_TRUE(t.findKey(5));
    t.setField("NAZIV", "five");
    t.post();
    EXPECT_EQ(names(t), (std::vector<std::string>{"five", "7", "3", "1"}));
}

TEST(ArticleTable, CancelDropsTheEdit) {
    ArticleTable t;
    t.append(art(1, "one", "111"));
    t.append(art(2, "two"));
    ASSERT_TRUE(t.findKey(1));
    t.edit();
    t.setField("SIFRA", "9");
    t.setField("NAZIV", "changed");
    t.setField("KSIFRA", "999");
    t.cancel();
    t.post();  // nothing left to post
    EXPECT_EQ(names(t), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(t.findCandidate("111"));
    EXPECT_FALSE(t.findCandidate("999"));
}

TEST(ArticleTable, DeleteMakesTheFollowingRecordCurrent) {
    struct Case { const char* what; int deleted; std::optional<std::string> current; std::vector<std::string> left; };
    const Case cases[] = {
        {"middle", 2, "3", {"1", "3"}},
        {"first", 1, "2", {"2", "3"}},
        // No record follows the last one: the new last record is current.
        {"last", 3, "2", {"1", "2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArticleTable t;
        for (int s : {1, 2, 3}) t.append(art(s, std::to_string(s)));
        ASSERT_TRUE(t.findKey(c.deleted));
        t.deleteCurrent();
        ASSERT_TRUE(t.hasCurrent());
        EXPECT_EQ(t.current().NAZIV, *c.current);
        EXPECT_FALSE(t.Eof());
        EXPECT_EQ(t.count(), 2u);
        EXPECT_EQ(names(t), c.left);
    }

    ArticleTable t;
    t.append(art(1, "only"));
    t.edit();
    t.setField("NAZIV", "lost");  // an edit in progress goes with the record
    t.deleteCurrent();
    EXPECT_FALSE(t.hasCurrent());
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.isEmpty());
    EXPECT_THROW(t.deleteCurrent(), PlatformError);
}

TEST(ArticleTable, DeletingWhileWalkingVisitsEveryOtherRecordOnce) {
    // The emptying loop's pattern: delete where the number matches, else step on.
    ArticleTable t;
    for (int s : {0, 1, 2, 4, 5}) t.append(art(s, std::to_string(s)));
    t.first();
    for (int n = 0; n <= 5; ++n)
        if (!t.Eof() && t.current().SIFRA == n) t.deleteCurrent();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.Eof());
}

TEST(ArticleTable, FindKey) {
    ArticleTable t;
    t.append(art(3, "3a"));
    t.append(art(9, "9"));
    t.append(art(3, "3b"));
    EXPECT_TRUE(t.findKey(3));
    EXPECT_EQ(t.current().NAZIV, "3a");
    EXPECT_TRUE(t.findKey(9));
    EXPECT_EQ(t.current().NAZIV, "9");
    for (int missing : {0, 4, 10, -3}) {
        EXPECT_FALSE(t.findKey(missing)) << missing;
        EXPECT_FALSE(t.hasCurrent()) << missing;
        EXPECT_THROW(t.edit(), PlatformError) << missing;  // nothing to edit
    }
}

// --- Lookups by code ----------------------------------------------------------

TEST(ArticleTable, FindCandidate) {
    ArticleTable t;
    t.append(art(20, "ksifra padded", "  111 "));
    t.append(art(30, "barkod", "", "8600123456789"));
    t.append(art(40, "ksifra equal to a barkod", "8600123456789"));
    t.append(art(50, "both", "222", "333"));
    t.append(art(10, "blank codes", "   ", "\t"));
    t.append(art(60, "later duplicate", "222"));
    struct Case { const char* code; const char* found; };
    const Case cases[] = {
        {"111", "ksifra padded"},
        {" 111\t", "ksifra padded"},
        {"8600123456789", "barkod"},  // 30 before 40: the first in SIFRA order
        {"222", "both"},
        {"333", "both"},
        {"11", nullptr},
        {"1111", nullptr},
        {"", nullptr},  // empty fields never match
        {"   ", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.code + "'");
        EXPECT_EQ(t.findCandidate(c.code), c.found != nullptr);
        if (c.found) {
            EXPECT_EQ(t.current().NAZIV, c.found);
        } else {
            EXPECT_FALSE(t.hasCurrent());
        }
    }

    // A record appended later with a lower number comes first.
    t.append(art(5, "low", "", "333"));
    ASSERT_TRUE(t.findCandidate("333"));
    EXPECT_EQ(t.current().NAZIV, "low");
    // Equal numbers: the earlier one.
    t.append(art(5, "low again", "333"));
    ASSERT_TRUE(t.findCandidate("333"));
    EXPECT_EQ(t.current().NAZIV, "low");
}

TEST(ArticleTable, CandidatesFollowEveryChange) {
    ArticleTable t;
    t.append(art(1, "a", "100"));
    t.append(art(2, "b", "200", "100"));
    t.append(art(3, "c", "", "300"));

    // A changed code.
    ASSERT_TRUE(t.findKey(1));
    t.setField("KSIFRA", "101");
    t.post();
    ASSERT_TRUE(t.findCandidate("100"));
    EXPECT_EQ(t.current().NAZIV, "b");
    ASSERT_TRUE(t.findCandidate("101"));
    EXPECT_EQ(t.current().NAZIV, "a");

    // A code emptied.
    ASSERT_TRUE(t.findKey(3));
    t.setField("BARKOD", "");
    t.post();
    EXPECT_FALSE(t.findCandidate("300"));

    // A move ahead of the other record with the same code.
    ASSERT_TRUE(t.findKey(3));
    t.setField("KSIFRA", "200");
    t.setField("SIFRA", "0");
    t.post();
    ASSERT_TRUE(t.findCandidate("200"));
    EXPECT_EQ(t.current().NAZIV, "c");
    EXPECT_EQ(t.current().SIFRA, 0);

    // A move behind it.
    t.setField("SIFRA", "7");
    t.post();
    ASSERT_TRUE(t.findCandidate("200"));
    EXPECT_EQ(t.current().NAZIV, "b");

    // A deleted record.
    t.deleteCurrent();
    ASSERT_TRUE(t.findCandidate("200"));
    EXPECT_EQ(t.current().NAZIV, "c");
    EXPECT_FALSE(t.findCandidate("100"));

    // A record whose two codes are the same, changed in one of them.
    t.append(art(8, "twin", "555", "555"));
    t.setField("KSIFRA", "556");
    t.post();
    ASSERT_TRUE(t.findCandidate("555"));
    EXPECT_EQ(t.current().NAZIV, "twin");
    t.setField("BARKOD", "557");
    t.post();
    EXPECT_FALSE(t.findCandidate("555"));

    // A cancelled edit changes nothing.
    ASSERT_TRUE(t.findKey(1));
    t.setField("KSIFRA", "999");
    t.cancel();
    EXPECT_FALSE(t.findCandidate("999"));
    EXPECT_TRUE(t.findCandidate("101"));

    t.empty();
    for (const char* code : {"101", "200", "556", "557", ""}) EXPECT_FALSE(t.findCandidate(code)) << code;
    t.append(art(1, "new", "101"));
    ASSERT_TRUE(t.findCandidate("101"));
    EXPECT_EQ(t.current().NAZIV, "new");
}

TEST(ArticleTable, ACodeHeldByManyRecords) {
    // "0000000000000" is the bar code of every article without one.
    ArticleTable t;
    for (int s : {5, 1, 9, 3, 7}) t.append(art(s, std::to_string(s), "k" + std::to_string(s), "0000000000000"));
    const auto first = [&t] {
        return t.findCandidate("0000000000000") ? t.current().NAZIV : std::string("none");
    };
    EXPECT_EQ(first(), "1");
    t.deleteCurrent();
    EXPECT_EQ(first(), "3");
    t.setField("SIFRA", "10");  // the first moves behind the others
    t.post();
    EXPECT_EQ(first(), "5");
    ASSERT_TRUE(t.findKey(7));
    t.setField("SIFRA", "0");  // one from the middle moves ahead of them
    t.post();
    EXPECT_EQ(first(), "7");
    ASSERT_TRUE(t.findKey(5));
    t.deleteCurrent();  // one that is not the first
    EXPECT_EQ(first(), "7");
    t.setField("BARKOD", "");
    t.post();
    EXPECT_EQ(first(), "9");
    t.deleteCurrent();
    EXPECT_EQ(first(), "3");
    t.deleteCurrent();
    EXPECT_EQ(first(), "none");
    ASSERT_TRUE(t.findCandidate("k7"));  // its own code still finds it
}

TEST(ArticleTable, FindMatch) {
    ArticleTable t;
    t.append(art(1, "no codes"));
    t.append(art(2, "code, cheap", "700", "", 10.0));
    t.append(art(3, "code, dear", "", " 700 ", 99.0));
    t.append(art(4, "bar code only", "", "800", 99.0));
    const auto any = [](const Article&) { return true; };
    const auto dear = [](const Article& a) { return a.CENA && *a.CENA > 50; };
    const auto none = [](const Article&) { return false; };
    struct Case {
        const char* code;
        std::function<bool(const Article&)> accept;
        bool emptyMatchesEmpty;
        const char* found;
    };
    const Case cases[] = {
        {"700", any, false, "code, cheap"},
        {"700", dear, false, "code, dear"},
        {" 700", dear, true, "code, dear"},
        {"700", none, false, nullptr},
        {"", any, false, nullptr},
        {"  ", any, false, nullptr},
        {"", any, true, "no codes"},
        // An empty BARKOD is enough; the accept test goes on past refusals.
        {"", dear, true, "code, dear"},
        {"800", any, true, "bar code only"},
        {"900", any, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.code + "', empty matches empty " + (c.emptyMatchesEmpty ? "on" : "off"));
        EXPECT_EQ(t.findMatch(c.code, c.accept, c.emptyMatchesEmpty), c.found != nullptr);
        if (c.found) {
            EXPECT_EQ(t.current().NAZIV, c.found);
        } else {
            EXPECT_FALSE(t.hasCurrent());
        }
    }
}

// --- Fields from text -----------------------------------------------------------

TEST(ArticleTable, SetFieldFromText) {
    const Article start = art(5, "start", "111", "222", 1.5, 2);
    struct Case { const char* field; const char* text; Article expected; };
    const Case cases[] = {
        {"KSIFRA", " 0000000000042", art(5, "start", " 0000000000042", "222", 1.5, 2)},
        {"KSIFRA", "", art(5, "start", "", "222", 1.5, 2)},
        {"SIFRA", "17", art(17, "start", "111", "222", 1.5, 2)},
        {"SIFRA", " -3 ", art(-3, "start", "111", "222", 1.5, 2)},
        {"SIFRA", "", art(std::nullopt, "start", "111", "222", 1.5, 2)},
        {"BARKOD", "0000000000000", art(5, "start", "111", "0000000000000", 1.5, 2)},
        {"BARKOD", "", art(5, "start", "111", "", 1.5, 2)},
        {"NAZIV", kTestCp1251.c_str(), art(5, kTestCp1251, "111", "222", 1.5, 2)},
        {"NAZIV", "", art(5, "", "111", "222", 1.5, 2)},
        {"CENA", "12.5", art(5, "start", "111", "222", 12.5, 2)},
        {"CENA", "12,5", art(5, "start", "111", "222", 12.5, 2)},
        {"CENA", "-0.01", art(5, "start", "111", "222", -0.01, 2)},
        {"CENA", " 7 ", art(5, "start", "111", "222", 7.0, 2)},
        {"CENA", "", art(5, "start", "111", "222", std::nullopt, 2)},
        {"PORESKA_GRUPA", "8", art(5, "start", "111", "222", 1.5, 8)},
        {"PORESKA_GRUPA", "", art(5, "start", "111", "222", 1.5, std::nullopt)},
        {"naziv", "lower-case field name", art(5, "lower-case field name", "111", "222", 1.5, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = '" + c.text + "'");
        ArticleTable t;
        t.append(start);
        t.setField(c.field, c.text);
        t.post();
        expectSame(t.current(), c.expected);
    }
}

TEST(ArticleTable, BadTextChangesNothing) {
    struct Case { const char* field; const char* text; };
    const Case cases[] = {
        {"SIFRA", "12a"}, {"SIFRA", "1.5"}, {"SIFRA", "99999999999"}, {"PORESKA_GRUPA", "x"},
        {"CENA", "abc"},  {"CENA", "1.2.3"}, {"CENA", "inf"},        {"CENA", "nan"},
        {"CENA", "0x10"}, {"CENA", "-"},     {"CENA", "+-5"},        {"CENA", "1e999"},
        {"CENA", "5 kg"}, {"CIJENA", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = '" + c.text + "'");
        ArticleTable t;
        t.append(art(5, "start", "111", "222", 1.5, 2));
        EXPECT_THROW(t.setField(c.field, c.text), PlatformError);
        t.post();
        expectSame(t.current(), art(5, "start", "111", "222", 1.5, 2));
    }
}

// --- The file -----------------------------------------------------------------

TEST(ArticleTable, SaveAndLoadKeepEveryFieldAndTheOrder) {
    TempFolder dir;
    const fs::path file = dir.path / "artikli.dat";
    const std::vector<Article> written = {
        art(std::nullopt, ""),  // every field empty
        art(1, kTestCp1251, "0000000000001", "8600123456789", 12.34, 2),
        art(1, allHighBytes(), " 42 ", "", std::nullopt, 0),
        art(2, "plain", "", "0000000000000", 0.0, std::nullopt),
        art(1, "third with 1", "", "", -5.5, 8),
    };
    {
        ArticleTable t;
        t.load(file);  // no file yet
        for (const Article& a : written) t.append(a);
        t.save(file);
    }
    ASSERT_TRUE(fs::exists(file));

    ArticleTable back;
    back.load(file);
    const std::vector<Article> read = records(back);
    const std::vector<std::size_t> order = {0, 1, 2, 4, 3};
    ASSERT_EQ(read.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(i);
        expectSame(read[i], written[order[i]]);
    }
    ASSERT_TRUE(back.findCandidate("42"));
    EXPECT_EQ(back.current().NAZIV, allHighBytes());

    // What support staff see: UTF-8 text, NULL where empty, numbers as numbers.
    Sql sql(file);
    EXPECT_EQ(sql.column("SELECT NAZIV FROM artikli WHERE KSIFRA = '0000000000001'"),
              (std::vector<std::string>{"t:" + kTestUtf8}));
    EXPECT_EQ(sql.column("SELECT count(*) FROM artikli WHERE KSIFRA IS NULL AND SIFRA IS NULL AND BARKOD IS NULL "
                         "AND NAZIV IS NULL AND CENA IS NULL AND PORESKA_GRUPA IS NULL"),
              (std::vector<std::string>{"i:1"}));
    EXPECT_EQ(sql.column("SELECT typeof(SIFRA) || typeof(CENA) || typeof(PORESKA_GRUPA) FROM artikli "
                         "WHERE NAZIV = 'plain'"),
              (std::vector<std::string>{"t:integerrealnull"}));
}

TEST(ArticleTable, SaveWritesOnlyWhatChanged) {
    TempFolder dir;
    const fs::path file = dir.path / "artikli.dat";
    {
        ArticleTable t;
        for (int s = 1; s <= 6; ++s) t.append(art(s, "n" + std::to_string(s), "k" + std::to_string(s)));
        t.save(file);
    }
    ArticleTable t;
    t.load(file);
    // Behind the table's back: a row the table will not touch again.
    Sql sql(file);
    sql.exec("UPDATE artikli SET NAZIV = 'outside' WHERE SIFRA = 1");

    t.save(file);  // nothing changed: nothing written
    EXPECT_EQ(sql.column("SELECT NAZIV FROM artikli WHERE SIFRA = 1"), (std::vector<std::string>{"t:outside"}));

    ASSERT_TRUE(t.findKey(3));
    t.setField("CENA", "9,5");
    t.post();
    ASSERT_TRUE(t.findKey(4));
    t.deleteCurrent();
    ASSERT_TRUE(t.findKey(2));
    t.setField("SIFRA", "5");  // moved behind the 5 already there
    t.post();
    t.append(art(0, "new"));
    t.save(file);

    EXPECT_EQ(sql.column("SELECT NAZIV FROM artikli WHERE SIFRA = 1"), (std::vector<std::string>{"t:outside"}));
    EXPECT_EQ(sql.column("SELECT CENA FROM artikli WHERE SIFRA = 3"), (std::vector<std::string>{"r:9.500000"}));
    EXPECT_EQ(sql.column("SELECT count(*) FROM artikli WHERE SIFRA = 4"), (std::vector<std::string>{"i:0"}));
    EXPECT_EQ(sql.column("SELECT count(*) FROM artikli"), (std::vector<std::string>{"i:6"}));

    ArticleTable back;
    back.load(file);
    EXPECT_EQ(names(back), (std::vector<std::string>{"new", "outside", "n3", "n5", "n2", "n6"}));

    // A change saved twice in a row is written once: the second save leaves
    // another outside change alone.
    ASSERT_TRUE(t.findKey(6));
    t.setField("NAZIV", "six");
    t.save(file);  // posts the edit
    sql.exec("UPDATE artikli SET NAZIV = 'outside too' WHERE SIFRA = 6");
    t.save(file);
    EXPECT_EQ(sql.column("SELECT NAZIV FROM artikli WHERE SIFRA = 6"), (std::vector<std::string>{"t:outside too"}));
}

TEST(ArticleTable, MovesAndDuplicatesComeBackInTheSameOrder) {
    TempFolder dir;
    const fs::path file = dir.path / "artikli.dat";
    ArticleTable t;
    t.load(file);
    t.append(art(1, "c"));
    t.append(art(5, "a"));
    t.append(art(5, "b"));
    t.save(file);
    // The row written first moves behind the two that were written after it.
    ASSERT_TRUE(t.findKey(1));
    t.setField("SIFRA", "5");
    t.post();
    // And one of those moves away and back again.
    ASSERT_TRUE(t.findKey(5));
    t.setField("SIFRA", "6");
    t.post();
    t.setField("SIFRA", "5");
    t.post();
    t.append(art(5, "d"));
    EXPECT_EQ(names(t), (std::vector<std::string>{"b", "c", "a", "d"}));
    t.save(file);

    ArticleTable back;
    back.load(file);
    EXPECT_EQ(names(back), (std::vector<std::string>{"b", "c", "a", "d"}));
}

TEST(ArticleTable, EmptiedTableSavesOnlyTheNewRecords) {
    TempFolder dir;
    const fs::path file = dir.path / "artikli.dat";
    ArticleTable t;
    for (int s = 1; s <= 3; ++s) t.append(art(s, "old"));
    t.save(file);
    t.empty();
    t.append(art(0, "test", "", "", 0.0));
    t.save(file);
    Sql sql(file);
    EXPECT_EQ(sql.column("SELECT NAZIV FROM artikli"), (std::vector<std::string>{"t:test"}));
}

TEST(ArticleTable, SaveWritesEverythingWhereTheRowsAreNotKnown) {
    TempFolder dir;
    const fs::path file = dir.path / "artikli.dat";
    const fs::path other = dir.path / "copy.dat";
    ArticleTable t;
    for (int s = 1; s <= 3; ++s) t.append(art(s, std::to_string(s)));
    t.save(file);

    fs::remove(file);
    t.save(file);  // the file went away
    t.save(other);  // another file
    for (const fs::path& f : {file, other}) {
        ArticleTable back;
        back.load(f);
        EXPECT_EQ(names(back), (std::vector<std::string>{"1", "2", "3"})) << f;
    }

    // A file that exists but that the table did not load is replaced.
    const fs::path foreign = dir.path / "foreign.dat";
    {
        Sql sql(foreign);
        sql.exec(kSchema);
        sql.exec("INSERT INTO artikli (SIFRA, NAZIV) VALUES (8, 'stale')");
    }
    t.save(foreign);
    ArticleTable back;
    back.load(foreign);
    EXPECT_EQ(names(back), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(ArticleTable, MissingFileLoadsEmpty) {
    TempFolder dir;
    ArticleTable t;
    t.append(art(1, "before"));
    t.load(dir.path / "artikli.dat");
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.Eof());
    EXPECT_FALSE(t.hasCurrent());
    EXPECT_FALSE(fs::exists(dir.path / "artikli.dat"));

    // An empty file is an empty database.
    std::ofstream(dir.path / "zero.dat").close();
    t.append(art(1, "before"));
    t.load(dir.path / "zero.dat");
    EXPECT_TRUE(t.isEmpty());
}

TEST(ArticleTable, UnreadableFileThrowsAndKeepsTheTable) {
    TempFolder dir;
    struct Case { const char* what; std::function<void(const fs::path&)> make; };
    const Case cases[] = {
        {"not a database",
         [](const fs::path& f) { std::ofstream(f, std::ios::binary) << std::string(4096, 'x'); }},
        {"a folder", [](const fs::path& f) { fs::create_directories(f); }},
        {"SIFRA not a number",
         [](const fs::path& f) {
             Sql sql(f);
             sql.exec(kSchema);
             sql.exec("INSERT INTO artikli (SIFRA, NAZIV) VALUES ('12a', 'bad')");
         }},
        {"CENA not a number",
         [](const fs::path& f) {
             Sql sql(f);
             sql.exec(kSchema);
             sql.exec("INSERT INTO artikli (SIFRA, CENA) VALUES (1, 'abc')");
         }},
        {"a column missing",
         [](const fs::path& f) {
             Sql sql(f);
             sql.exec("CREATE TABLE artikli (KSIFRA TEXT, SIFRA INTEGER)");
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = dir.path / ("case" + std::to_string(n++) + ".dat");
        c.make(file);
        ArticleTable t;
        t.append(art(1, "kept"));
        EXPECT_THROW(t.load(file), PlatformError);
        EXPECT_EQ(names(t), (std::vector<std::string>{"kept"}));
    }
}

TEST(ArticleTable, LoadsAFileFilledByHand) {
    TempFolder dir;
    const fs::path file = dir.path / "artikli.dat";
    {
        Sql sql(file);
        sql.exec(kSchema);
        sql.exec("INSERT INTO artikli VALUES ('0000000000777', 9, NULL, 'devet', 9.9, 1)");
        sql.exec("INSERT INTO artikli VALUES (NULL, 2, '8600123456789', '" + kTestUtf8 + "', NULL, NULL)");
        sql.exec("INSERT INTO artikli VALUES (NULL, 9, NULL, 'devet drugi', '2,5', '2')");
        sql.exec("INSERT INTO artikli VALUES ('', '4', '', 'cetiri', '3,5', 2.0)");
        sql.exec("INSERT INTO artikli VALUES (NULL, NULL, NULL, NULL, NULL, NULL)");
    }
    ArticleTable t;
    t.load(file);
    const std::vector<Article> read = records(t);
    const std::vector<Article> expected = {
        art(std::nullopt, ""),
        art(2, kTestCp1251, "", "8600123456789"),
        art(4, "cetiri", "", "", 3.5, 2),
        art(9, "devet", "0000000000777", "", 9.9, 1),
        art(9, "devet drugi", "", "", 2.5, 2),
    };
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        expectSame(read[i], expected[i]);
    }
    ASSERT_TRUE(t.findCandidate("0000000000777"));
    EXPECT_EQ(t.current().NAZIV, "devet");
    ASSERT_TRUE(t.findCandidate("8600123456789"));
    EXPECT_EQ(t.current().SIFRA, 2);

    // Saving back after a change touches only the changed row.
    Sql sql(file);
    ASSERT_TRUE(t.findKey(4));
    t.setField("NAZIV", "four");
    t.save(file);
    // The hand-written '2,5' of another row would be a REAL after a rewrite.
    EXPECT_EQ(sql.column("SELECT CENA FROM artikli WHERE NAZIV = 'devet drugi'"), (std::vector<std::string>{"t:2,5"}));
    EXPECT_EQ(sql.column("SELECT NAZIV || ' ' || typeof(CENA) FROM artikli WHERE SIFRA = 4"),
              (std::vector<std::string>{"t:four real"}));
}

}  // namespace kestora::test
