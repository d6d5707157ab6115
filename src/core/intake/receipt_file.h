#pragma once
// Receipt files (*.bon): the line record, parsing and every check.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestora {

// One receipt line as read from the file, completed by submission.
struct racun {
    std::int32_t lineType = 0;  // 100, 200, 300; -1 end marker; 0 not filled
    std::uint8_t oper = 0;
    std::uint8_t voidFlag = 0;
    std::int32_t articleNumber = 0;
    std::string code;
    std::string barcode;
    double quantity = 0;
    double price = 0;
    std::int32_t paymentType = 0;
    double paymentAmount = 0;
    int year = 0, month = 0, day = 0;  // date of the receipt
    int hour = 0, minute = 0;          // time of day, seconds 0
    std::string name;
    std::int32_t taxGroup = 0;
    std::int64_t lineTotal = 0;        // price × quantity in hundredths, truncated
    std::int32_t paymentCents = 0;
};

inline constexpr std::size_t kReceiptLinesSize = 256;
using ReceiptTable = std::array<racun, kReceiptLinesSize>;

// Rounds to |digits| decimals the way the receipt checks do (halves up on
// the shortest decimal form).
double RoundTo(int digits, double value);
// True when the trimmed text is all decimal digits (the empty text too).
bool Is_Number(std::string_view text);

// Splits a text file (receipt or command file) into lines, each with its trailing blanks and control
// characters removed.
std::vector<std::string> textFileLines(const std::string& content);

// Parses the lines into table and runs the sum checks. Returns ErrorText:
// each fault as a carriage return and its message; empty when none.
// nameLength is the article-name width; exactMode for model 1 without rounding.
std::string checkReceipt(const std::vector<std::string>& lines, bool fileEmpty, int nameLength, bool exactMode,
                         ReceiptTable& table);

}  // namespace kestora
