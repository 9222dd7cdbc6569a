// The control port's JSON lines: what is read (kinds, texts kept as written,
// escapes decoded), what is refused and at which column, and what is written back.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "scenario/json_line.h"

using namespace ventrel;

namespace {

// key=kind:text, items joined by "|" for arrays: a compact picture of an object.
std::string Picture(const JsonObject& o) {
  std::string out;
  for (const JsonMember& m : o.members) {
    if (!out.empty()) out += ' ';
    out += m.key + "=";
    switch (m.value.kind) {
      case JsonKind::string: out += "s:" + m.value.text; break;
      case JsonKind::number: out += "n:" + m.value.text; break;
      case JsonKind::boolean: out += "b:" + m.value.text; break;
      case JsonKind::null: out += "null"; break;
      case JsonKind::array:
        out += "a:";
        for (std::size_t k = 0; k < m.value.items.size(); ++k) {
          out += (k ? "|" : "") + std::string(m.value.items[k].kind == JsonKind::number ? "n" : "s") +
                 m.value.items[k].text;
        }
        break;
    }
  }
  return out;
}

TEST(JsonLine, ReadsFlatObjects) {
  const struct {
    std::string line, picture;
  } cases[] = {
      {R"({"cmd":"wind","speed":14,"from":250.50,"over":0})", "cmd=s:wind speed=n:14 from=n:250.50 over=n:0"},
      {" \t{ \"a\" : -0.5e+3 , \"b\":true,\"c\":false,\"d\":null }\r", "a=n:-0.5e+3 b=b:true c=b:false d=null"},
      {R"({"types":["GGA", "RMC",12,-1.5E2],"e":[]})", "types=a:sGGA|sRMC|n12|n-1.5E2 e=a:"},
      {R"({})", ""},
      {R"({"s":"a\"b\\c\/d\n\t\u00e9\ud83d\ude00"})", "s=s:a\"b\\c/d\n\t\xC3\xA9\xF0\x9F\x98\x80"},
      {"{\"s\":\"d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC\"}", "s=s:d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC"},
      {R"({"":"","x":"\u0041"})", "=s: x=s:A"},
  };
  for (const auto& c : cases) {
    const auto r = ReadJsonObjectLine(c.line);
    ASSERT_TRUE(std::holds_alternative<JsonObject>(r)) << c.line << " : " << std::get<JsonError>(r).message;
    EXPECT_EQ(Picture(std::get<JsonObject>(r)), c.picture) << c.line;
  }
}

TEST(JsonLine, RefusesWithTheColumn) {
  const struct {
    std::string line;
    std::size_t column;
    std::string words;
  } cases[] = {
      {"", 1, "ligne vide"},
      {"hello", 1, "objet JSON est attendu"},
      {R"({"a":1)", 7, "pas fermé"},
      {R"({"a":1,})", 8, "clé entre guillemets"},
      {R"({"a" 1})", 6, "« : »"},
      {R"({"a":1 "b":2})", 8, "« , » ou « } »"},
      {R"({"a":1,"a":2})", 8, "deux fois"},
      {R"({"a":{"b":1}})", 6, "objet n'est pas accepté"},
      {R"({"a":[[1]]})", 7, "que des textes et des nombres"},
      {R"({"a":[1,2)", 10, "tableau n'est pas fermé"},
      {R"({"a":[1 2]})", 9, "« , » ou « ] »"},
      {R"({"a":01})", 7, "zéro en tête"},
      {R"({"a":1.})", 8, "après « . »"},
      {R"({"a":1e})", 8, "exposant"},
      {R"({"a":.5})", 6, "valeur inconnue"},
      {R"({"a":"b)", 8, "texte n'est pas fermé"},
      {"{\"a\":\"b\tc\"}", 8, "caractère de contrôle"},
      {R"({"a":"\x"})", 7, "échappement inconnu"},
      {R"({"a":"\u12G4"})", 7, "quatre chiffres"},
      {R"({"a":"\udc00"})", 7, "seconde moitié"},
      {R"({"a":"\ud800\u0041"})", 7, "sans la seconde"},
      {"{\"a\":\"\xC3\"}", 7, "UTF-8 invalide"},
      {"{\"a\":\"\xED\xA0\x80\"}", 7, "UTF-8 invalide"},
      {"{\"a\":\"\xF4\x90\x80\x80\"}", 7, "UTF-8 invalide"},
      {R"({"a":1} {"b":2})", 9, "texte en trop"},
  };
  for (const auto& c : cases) {
    const auto r = ReadJsonObjectLine(c.line);
    ASSERT_TRUE(std::holds_alternative<JsonError>(r)) << c.line;
    const JsonError& e = std::get<JsonError>(r);
    EXPECT_EQ(e.column, c.column) << c.line << " : " << e.message;
    EXPECT_NE(e.message.find(c.words), std::string::npos) << c.line << " : " << e.message;
  }
}

TEST(JsonLine, CountsAreBounded) {
  std::string members = "{";
  for (std::size_t k = 0; k <= kMaxJsonMembers; ++k) members += (k ? ",\"k" : "\"k") + std::to_string(k) + "\":1";
  members += "}";
  std::string items = "{\"a\":[";
  for (std::size_t k = 0; k <= kMaxJsonArrayItems; ++k) items += k ? ",1" : "1";
  items += "]}";
  for (const std::string& line : {members, items}) {
    const auto r = ReadJsonObjectLine(line);
    ASSERT_TRUE(std::holds_alternative<JsonError>(r));
    EXPECT_NE(std::get<JsonError>(r).message.find("trop"), std::string::npos);
  }
}

TEST(JsonLine, QuotedTextsReadBackAndStayOneLine) {
  const struct {
    std::string text, quoted;
  } cases[] = {
      {"plain", R"("plain")"},
      {"a\"b\\c", R"("a\"b\\c")"},
      {"l1\nl2\r\t", R"("l1\nl2\r\t")"},
      {std::string("\x01\x1f\x7f\b\f", 5), R"("\u0001\u001f\u007f\b\f")"},
      {std::string("nul\0x", 5), R"("nul\u0000x")"},
      {"d\xC3\xA9j\xC3\xA0", "\"d\xC3\xA9j\xC3\xA0\""},
      {"bad\xC3 \xFF", R"("bad\ufffd \ufffd")"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonQuoted(c.text), c.quoted);
    const auto r = ReadJsonObjectLine("{\"k\":" + JsonQuoted(c.text) + "}");
    ASSERT_TRUE(std::holds_alternative<JsonObject>(r)) << c.quoted;
    if (c.text.find('\xFF') == std::string::npos) {
      EXPECT_EQ(std::get<JsonObject>(r).members[0].value.text, c.text);
    }
  }
}

TEST(JsonLine, WriterNumbersAndKinds) {
  const std::string text = JsonObjectWriter()
                               .Bool("ok", true)
                               .Number("a", 12.3456L, 2)
                               .Number("b", -0.004L, 2)
                               .Number("c", std::numeric_limits<long double>::infinity(), 1)
                               .Int("d", -7)
                               .Null("e")
                               .String("f", "x\"y")
                               .Raw("g", "[1]")
                               .Text();
  EXPECT_EQ(text, R"({"ok":true,"a":12.35,"b":0.00,"c":null,"d":-7,"e":null,"f":"x\"y","g":[1]})");
}

}  // namespace
