#include <gtest/gtest.h>

#include <vector>

#include "app/ports.h"
#include "link/encodings.h"

namespace kestora::test {

template <std::size_t N>
std::vector<int> v(const std::array<std::uint8_t, N>& a) {
    return std::vector<int>(a.begin(), a.end());
}

TEST(Encodings, Amounts) {
    struct Case { double value; std::vector<int> bytes; };
    const Case amounts[] = {
        {1234.56, {0xD2, 0x04, 0x00, 0x00, 0x38}},
        {0.125, {0x00, 0x00, 0x00, 0x00, 12}},
        {-2.5, {0xFE, 0xFF, 0xFF, 0xFF, 0xCE}},
        {0, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : amounts) EXPECT_EQ(v(Amount5(c.value)), c.bytes) << c.value;

    std::uint8_t frame[16] = {};
    Suma("1234,56", 3, frame);
    EXPECT_EQ(std::vector<int>(frame + 4, frame + 9), (std::vector<int>{0xD2, 0x04, 0x00, 0x00, 0x38}));
    Suma("-2.5", 0, frame);
    EXPECT_EQ(frame[1], 0xFE);
    EXPECT_EQ(frame[5], 0xCE);
    for (const char* bad : {"", "12a", "abc", "1.2.3"}) EXPECT_THROW(Suma(bad, 0, frame), PlatformError) << bad;
}

TEST(Encodings, ScaledIntegersRoundHalvesToEven) {
    struct Case { double value; std::vector<int> cents, milli; };
    const Case cases[] = {
        {12.5, {0xE2, 0x04, 0, 0}, {0xD4, 0x30, 0, 0}},
        {0.125, {12, 0, 0, 0}, {125, 0, 0, 0}},
        {0.375, {38, 0, 0, 0}, {0x77, 0x01, 0, 0}},
        {0.0625, {6, 0, 0, 0}, {62, 0, 0, 0}},
        {0.1875, {19, 0, 0, 0}, {188, 0, 0, 0}},
        {1.5, {150, 0, 0, 0}, {0xDC, 0x05, 0, 0}},
        {-1.5, {0x6A, 0xFF, 0xFF, 0xFF}, {0xDC, 0x05, 0, 0}},  // a quantity's sign never reaches the device
        {-2, {0x38, 0xFF, 0xFF, 0xFF}, {0xD0, 0x07, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(v(Cents4(c.value)), c.cents) << c.value;
        EXPECT_EQ(v(Milli4(c.value)), c.milli) << c.value;
    }
}

TEST(Encodings, WordsAndDates) {
    EXPECT_EQ(v(Word2(0x1234)), (std::vector<int>{0x34, 0x12}));
    EXPECT_EQ(v(Word2(0x1234, true)), (std::vector<int>{0x12, 0x34}));
    EXPECT_EQ(v(PackedDate2(2010, 3, 25)), (std::vector<int>{0x79, 0xB4}));
    EXPECT_EQ(v(DateBytes(2010, 3, 25, 14, 5)), (std::vector<int>{0xDA, 3, 25, 14, 5}));
    EXPECT_EQ(v(YyMmDd4(2010, 3, 25)), (std::vector<int>{0xE5, 0x87, 0x01, 0x00}));  // 100325
    EXPECT_EQ(v(YyMmDd4(2010, 3, 1)), v(Long4(100301)));
}

TEST(Encodings, BarCodes) {
    struct Case { const char* text; std::vector<int> right, left; };
    const Case cases[] = {
        {"8600123456789", {0xF8, 0x60, 0x01, 0x23, 0x45, 0x67, 0x89}, {0x86, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9F}},
        {"12", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x12}, {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"123456789012345", {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}, {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}},
        // A space is a filler on the right-aligned form, a 0 digit on the left one.
        {"1 2", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF1, 0xF2}, {0x10, 0x2F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"123 ", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0xFF}, {0x12, 0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(v(PackBcdRight(c.text)), c.right) << c.text;
        EXPECT_EQ(v(PackBcdLeft(c.text)), c.left) << c.text;
    }
    EXPECT_EQ(v(NoCode7()), (std::vector<int>(7, 0xFF)));

    const std::uint8_t right[] = {0xF8, 0x60, 0x01, 0x23, 0x45, 0x67, 0x89};
    const std::uint8_t fourteen[] = {0x01, 0x23, 0x45, 0x67, 0x89, 0x01, 0x23};
    const std::uint8_t none[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(UnpackBcd(right), "8600123456789");
    EXPECT_EQ(UnpackBcd(fourteen), "1234567890123");
    EXPECT_EQ(UnpackBcd(none), "");
}

TEST(Encodings, RawText) {
    std::uint8_t field[6] = {};
    EXPECT_EQ(RawText("AB\xC0", 4, field), 3u);
    EXPECT_EQ(std::vector<int>(field, field + 6), (std::vector<int>{'A', 'B', 0xC0, 0, 0, 0}));
    std::uint8_t narrow[4] = {};
    EXPECT_EQ(RawText("abcdefgh", 3, narrow), 3u);
    EXPECT_EQ(narrow[3], 0);
}

TEST(Encodings, DeviceCharacterSet) {
    struct Case { unsigned char in, out; };
    const Case listed[] = {
        {0xC0, 0x80}, {0xC8, 0x88}, {0xCA, 0x8A}, {0xD8, 0x98}, {0xDB, 0x9B}, {0xDD, 0x9D},
        {0xE0, 0xA0}, {0xE8, 0xA8}, {0xEA, 0xAA}, {0xF8, 0xB8}, {0xFB, 0xBB}, {0xFD, 0xBD},
        {0xA3, 0x89}, {0x8F, 0x99}, {0x80, 0x9A}, {0x8E, 0x9C}, {0x8C, 0x9E}, {0x8A, 0x9F},
        {0xBC, 0xA9}, {0x9F, 0xB9}, {0x90, 0xBA}, {0x9E, 0xBC}, {0x9C, 0xBE}, {0x9A, 0xBF},
        {0x40, 0x5F}, {0x5B, 0x5E}, {0x5C, 0x5B}, {0x5D, 0x5C}, {0x5E, 0x5D}, {0x60, 0x7F},
        {0x7B, 0x7E}, {0x7C, 0x7B}, {0x7D, 0x7C}, {0x7E, 0x7D}, {0xB9, 0x60},
    };
    for (const Case& c : listed) {
        const std::string in(1, static_cast<char>(c.in));
        const std::string out = kodiraj(in);
        EXPECT_EQ(static_cast<unsigned char>(out[0]), c.out) << std::hex << int(c.in);
        EXPECT_EQ(dekodiraj(out), in) << std::hex << int(c.in);
    }
    for (int same : {0xC9, 0xD9, 0xDA, 0xDC, 0xDE, 0xDF, 0xE9, 0xF9, 0xFA, 0xFC, 0xFE, 0xFF, int('A'), int('7'), int(' ')})
        EXPECT_EQ(kodiraj(std::string(1, static_cast<char>(same))), std::string(1, static_cast<char>(same)));
    // Every device byte from 0x5B to 0xBF maps back to one character, and
    // those are exactly the inputs that kodiraj changes or keeps.
    for (int code = 0x5B; code <= 0xBF; ++code) {
        const std::string d(1, static_cast<char>(code));
        EXPECT_EQ(kodiraj(dekodiraj(d)), d) << std::hex << code;
    }
}

}  // namespace kestora::test
