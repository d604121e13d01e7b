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
      {"-000000000000002147483648", -2147483647 - 1},
      {"0", 0},
      {"-0", 0},
      {"0000000000000000000000", 0},
      {"214748364x", 214748364},
      {"00001234567890", 1234567890},
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
      "ABCDEFGHIJ",
      "",
      "        ",
      "+",
      "-",
      "- 5",
      "+-5",
      "--1",
      "A0000001",
      "\xA1\xA1"
      "123",  // a full-width space is not white space
      "\x1c"
      "1",  // nor is a control byte outside the six
  };
  for (const char* field : fields) {
    EXPECT_EQ(FailureText(field), "invalid_argument: invalid stol argument") << '"' << field << '"';
  }
}

TEST(ConvertNumberField, RefusesValuesOutsideThe32BitRangeOnEveryBuild) {
  const char* const fields[] = {
      "2147483648",
      "9999999999",
      "-2147483649",
      "+4294967296",
      "  99999999999999999999999999999999",  // far past any long
      "99999999999",                         // eleven digits
      "000021474836470",                     // eleven after the zeros
      "-00000002147483649",
      "100000000000x",
  };
  for (const char* field : fields) {
    EXPECT_EQ(FailureText(field), "out_of_range: stol argument out of range")
        << '"' << field << '"';
  }
}

// The track cases cover the common combinations; these are the extremes.
TEST(ComputeCheckCode, StaysWithinTenDigitsWithoutSign) {
  EXPECT_EQ(ComputeCheckCode("-999999999", "-9999999", "-9999999"), "0000000000");
  EXPECT_EQ(ComputeCheckCode("2147483647", "12345678", "99999999"), "2147483647");
  EXPECT_EQ(ComputeCheckCode("0000123ABC", "00000000", "    1234"), "0000001275");
}

}  // namespace
