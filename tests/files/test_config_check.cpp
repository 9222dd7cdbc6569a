// The files a start cannot take as a configuration, and the configurations that
// would send nothing.

#include "files/config_check.h"

#include <gtest/gtest.h>

#include <string>

namespace ventrel {
namespace {

TEST(ConfigCheck, TellsFilesThatAreNotText) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    const char* reason;  // a part of the reason; "" when the file is text
  } cases[] = {
      {"", "vide"},
      {" \r\n\t\n\f", "vide"},
      {"\xEF\xBB\xBF\r\n", "vide"},                    // a UTF-8 mark and nothing else
      {"\xFF\xFE[\0N\0M\0E\0A\0]\0"s, "UTF-16"},       // with its mark, either order
      {"\xFE\xFF\0[\0N\0M\0E\0A\0]"s, "UTF-16"},
      {"[\0N\0M\0E\0A\0]\0\r\0\n\0"s, "octets nuls"},  // without a mark
      {"[NMEA]\niAPB=1\0\n"s, "octets nuls"},
      {"[NMEA]\x01\x9C\x7F", "octet 1 à la position 7"},
      {"[NMEA]\niAPB=1\x7F", "octet 127"},
      {"\x1A[NMEA]", "octet 26 à la position 1"},     // Ctrl+Z only at the very end
      {"[NMEA]\r\niAPB=1\r\n\x1A", ""},
      {"\xEF\xBB\xBF[NMEA]\niAPB=1\n", ""},
      {"[NavDATA]\niWpID=\xC9\x63rehou\t; \xE9t\xE9\n", ""},  // Latin-1 and UTF-8 letters, a tab
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    const std::string why = ConfigTextProblem(c.bytes);
    if (*c.reason == '\0') {
      EXPECT_EQ(why, "");
    } else {
      EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
  }
}

TEST(ConfigCheck, TellsWhyNoSentenceIsSelected) {
  const struct {
    const char* text;
    bool anySelected;
    const char* reason;
  } cases[] = {
      {"[NavDATA]\niHDG=335\n", false, "pas de section [NMEA]"},
      {"[nmea]\niAPB=0\n", false, "toutes les phrases"},
      {"[NMEA]\niAPB=1\n", true, ""},
      {"", true, ""},  // the switches kept from elsewhere select some
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string why = NoSentenceProblem(IniFile(c.text), c.anySelected);
    if (*c.reason == '\0') {
      EXPECT_EQ(why, "");
    } else {
      EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
  }
}

}  // namespace
}  // namespace ventrel
