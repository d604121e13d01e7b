#include "card/check_code.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using card::ComputeCheckCode;
using card::ConvertNumberField;

struct ConversionCase {
  std::string field;
  int32_t value;
};

TEST(ConvertNumberField, ReadsSignAndDigitsAfterWhiteSpaceAndIgnoresTheRest) {
  const ConversionCase cases[] = {
      {"0000123456", 123456},
      {"0000123ABC", 123},
      {"  -12", -12},
      {"    1234", 1234},
      {" \t\n\v\f\r9", 9},
      {"+0000007", 7},
      {"-0000001", -1},
      {"00000000", 0},
      {"12 34", 12},
      {"5-", 5},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"000000000000002147483647", 2147483647},
  };
  for (const ConversionCase& c : cases) {
    EXPECT_EQ(ConvertNumberField(c.field), c.value) << '"' << c.field << '"';
  }
}

std::string FailureText(const std::string& field) {
  try {
    ConvertNumberField(field);
  } catch (const std::invalid_argument& e) {
    return std::string("invalid_argument: ") + e.what();
  } catch (const std::out_of_range& e) {
    return std::string("out_of_range: ") + e.what();
  }
  return "converted";
}

TEST(ConvertNumberField, RefusesFieldsWithoutADigitWhereTheNumberStarts) {
  const char* const fields[] = {
      "ABCDEFGHIJ", "", "        ", "+", "-", "- 5", "+-5", "--1",
      "A0000001",
      "\xA1\xA1" "123",  // a full-width space is not white space
      "\x1c" "1",        // nor is a control byte outside the six
  };
  for (const char* field : fields) {
    EXPECT_EQ(FailureText(field), "invalid_argument: invalid stol argument")
        << '"' << field << '"';
  }
}

TEST(ConvertNumberField, RefusesValuesOutsideThe32BitRangeOnEveryBuild) {
  const char* const fields[] = {
      "2147483648", "9999999999", "-2147483649", "+4294967296",
      "  99999999999999999999999999999999",  // far past any long
  };
  for (const char* field : fields) {
    EXPECT_EQ(FailureText(field), "out_of_range: stol argument out of range")
        << '"' << field << '"';
  }
}

struct CheckCodeCase {
  const char* head;
  const char* cardNumber;
  const char* tail;
  const char* checkCode;
};

TEST(ComputeCheckCode, CombinesTheBitsOfTheNonNegativeFieldsIntoTenDigits) {
  const CheckCodeCase cases[] = {
      {"12345678", "0000123456", "87654321", "0096337919"},
      {"00000000", "0000000000", "00000000", "0000000000"},
      {"00000001", "0000000002", "00000004", "0000000007"},
      {"00000003", "0000000002", "00000004", "0000000007"},  // OR, not sum
      {"00000001", "0000000002", "-0000001", "0000000003"},  // negative: no bits
      {"-9999999", "-999999999", "-9999999", "0000000000"},
      {"00000000", "2147483647", "00000000", "2147483647"},
      {"99999999", "2147483647", "12345678", "2147483647"},
      {"    1234", "0000123ABC", "00000000", "0000001275"},  // 1234 | 123
  };
  for (const CheckCodeCase& c : cases) {
    EXPECT_EQ(ComputeCheckCode(c.cardNumber, c.tail, c.head), c.checkCode)
        << c.head << ' ' << c.cardNumber << ' ' << c.tail;
  }
}

TEST(ComputeCheckCode, TheFirstBadFieldInConversionOrderDecidesTheFailure) {
  struct OrderCase {
    const char* head;
    const char* cardNumber;
    const char* tail;
    const char* text;
  };
  const OrderCase cases[] = {
      {"ABCDEFGH", "9999999999", "00000001", "stol argument out of range"},
      {"00000001", "ABCDEFGHIJ", "00000001", "invalid stol argument"},
      {"ABCDEFGH", "0000000001", "00000001", "invalid stol argument"},
      {"00000001", "0000000001", "ABCDEFGH", "invalid stol argument"},
      {"ABCDEFGH", "ABCDEFGHIJ", "ABCDEFGH", "invalid stol argument"},
  };
  for (const OrderCase& c : cases) {
    std::string text = "no failure";
    try {
      ComputeCheckCode(c.cardNumber, c.tail, c.head);
    } catch (const std::exception& e) {
      text = e.what();
    }
    EXPECT_EQ(text, c.text) << c.head << ' ' << c.cardNumber << ' ' << c.tail;
  }
}

}  // namespace
