#pragma once
// The local copy of the device's article memory (setArtikli): records kept
// in ascending SIFRA order (the index setArtikliIndexSifra), a current
// record shared by the conversations, and the file artikli.dat.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kestora {

// One record. Text is Windows-1251 bytes; an empty field is nullopt for the
// numbers and the empty string for the texts.
struct Article {
    std::string KSIFRA;
    std::optional<int> SIFRA;
    std::string BARKOD;
    std::string NAZIV;
    std::optional<double> CENA;
    std::optional<int> PORESKA_GRUPA;
};

class ArticleTable {
public:
    ArticleTable();
    ~ArticleTable();
    ArticleTable(const ArticleTable&) = delete;
    ArticleTable& operator=(const ArticleTable&) = delete;

    // artikli.dat: an SQLite database with the table artikli (KSIFRA TEXT,
    // SIFRA INTEGER, BARKOD TEXT, NAZIV TEXT, CENA REAL, PORESKA_GRUPA
    // INTEGER; NULL where empty; text in UTF-8). A missing file loads as an
    // empty table. Throws PlatformError when the file cannot be read.
    void load(const std::filesystem::path& file);
    // Writes only what changed since the last load or save, in one
    // transaction. Throws PlatformError.
    void save(const std::filesystem::path& file);

    std::size_t count() const;
    bool isEmpty() const { return count() == 0; }
    void empty();  // removes every record

    // Walking in SIFRA order. Eof() is true only after next() moved past the
    // last record (that move leaves the last record current) or when the
    // table is empty; first() and last() clear it.
    void first();
    void next();
    void last();
    bool Eof() const;
    bool hasCurrent() const;
    const Article& current() const;  // requires hasCurrent()

    // Adds a record at its place in SIFRA order (after records with the same
    // SIFRA) and makes it current.
    void append(const Article& a);
    // Edit, set fields, post: changes the current record; posting a new
    // SIFRA moves the record to its new place and it stays current.
    void edit();
    void setField(const std::string& field, const std::string& text);  // numbers from decimal text; "" empties
    Article& editing();  // the record being edited
    void post();
    void cancel();
    // Removes the current record; the following record becomes current.
    void deleteCurrent();
    // Makes the first record with this SIFRA current; false (nothing current
    // to edit) when there is none.
    bool findKey(int sifra);
    // The first record in SIFRA order whose non-empty KSIFRA or BARKOD
    // equals code (both trimmed), made current. False when none.
    bool findCandidate(const std::string& code);
    // The first record in SIFRA order whose KSIFRA or BARKOD equals code
    // (both trimmed) and that accept() takes, made current. With
    // emptyMatchesEmpty an empty field equals an empty code (model 2's rule);
    // otherwise empty fields never match.
    bool findMatch(const std::string& code, const std::function<bool(const Article&)>& accept, bool emptyMatchesEmpty);

private:
    struct Impl;
    Impl* d_;
};

}  // namespace kestora
