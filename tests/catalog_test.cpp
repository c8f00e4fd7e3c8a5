// The catalogue reader and the texts: plural forms of languages with one, three and three forms
// judged by their grammar, contexts, both byte orders, and files spoilt every way we know.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "catalog_fuzz.h"
#include "i18n/catalog.h"
#include "i18n/language.h"
#include "i18n/texts.h"
#include "mo_writer.h"

namespace unw {
namespace {

// The rules as the languages' catalogues publish them.
const char* const kRussianRule =
    "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || "
    "n%100>=20) ? 1 : 2);";
const char* const kPolishRule =
    "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";
const char* const kJapaneseRule = "nplurals=1; plural=0;";

struct PluralCase {
  const char* language;
  const char* rule;
  std::vector<std::string> forms;  // the catalogue's forms of "{n} minute"
  // What a speaker says for 0, 1, 2, 5, 11, 21, 22, 25 and 111 minutes.
  std::vector<std::string> expected;
};

TEST(Catalog, PluralFormsAsTheLanguagesSayThemInBothByteOrders) {
  const std::vector<uint64_t> counts = {0, 1, 2, 5, 11, 21, 22, 25, 111};
  const std::vector<PluralCase> cases = {
      {"ru",
       kRussianRule,
       {"минута", "минуты", "минут"},
       {"минут", "минута", "минуты", "минут", "минут", "минута", "минуты", "минут", "минут"}},
      {"pl",
       kPolishRule,
       {"minuta", "minuty", "minut"},
       {"minut", "minuta", "minuty", "minut", "minut", "minut", "minuty", "minut", "minut"}},
      {"ja", kJapaneseRule, {"分"}, {"分", "分", "分", "分", "分", "分", "分", "分", "分"}},
  };
  for (const auto& c : cases) {
    std::string forms;
    for (size_t i = 0; i < c.forms.size(); ++i)
      forms += (i ? std::string(1, '\0') : "") + c.forms[i];
    for (const bool bigEndian : {false, true}) {
      const auto catalog = Catalog::Read(
          WriteMo({MoHeader(c.rule), {Nul({"minute", "minutes"}), forms}}, bigEndian));
      ASSERT_TRUE(catalog) << c.language << (bigEndian ? " big-endian" : " little-endian");
      for (size_t i = 0; i < counts.size(); ++i) {
        const std::string* form = catalog->FindPlural({}, "minute", counts[i]);
        ASSERT_TRUE(form) << c.language << " " << counts[i];
        EXPECT_EQ(*form, c.expected[i])
            << c.language << " " << counts[i] << (bigEndian ? " big-endian" : " little-endian");
      }
      // A plural message is no singular one, and a singular id is no plural one.
      EXPECT_EQ(catalog->Find({}, "minute"), nullptr);
      EXPECT_EQ(catalog->FindPlural({}, "minutes", 2), nullptr);
    }
  }
}

TEST(Catalog, ContextsKeepTheSameWordsApart) {
  for (const bool bigEndian : {false, true}) {
    const auto catalog = Catalog::Read(WriteMo({MoHeader("nplurals=2; plural=n != 1;"),
                                                {"Stop", "Anhalten"},
                                                {"sound\x04Stop", "Stille"},
                                                {"timer\x04Stop", "Beenden"},
                                                {Nul({"tray\x04"
                                                      "1 break",
                                                      "{n} breaks"}),
                                                 Nul({"1 Pause", "{n} Pausen"})}},
                                               bigEndian));
    ASSERT_TRUE(catalog);
    struct Look {
      const char* context;
      const char* id;
      const char* expected;  // null: none
    };
    const Look looks[] = {{"", "Stop", "Anhalten"},       {"sound", "Stop", "Stille"},
                          {"timer", "Stop", "Beenden"},   {"menu", "Stop", nullptr},
                          {"", "sound\x04Stop", nullptr}, {"sound", "stop", nullptr},
                          {"", "Stille", nullptr}};
    for (const auto& look : looks) {
      const std::string* found = catalog->Find(look.context, look.id);
      if (look.expected) {
        ASSERT_TRUE(found) << look.context << "|" << look.id;
        EXPECT_EQ(*found, look.expected);
      } else {
        EXPECT_EQ(found, nullptr) << look.context << "|" << look.id;
      }
    }
    ASSERT_TRUE(catalog->FindPlural("tray", "1 break", 3));
    EXPECT_EQ(*catalog->FindPlural("tray", "1 break", 3), "{n} Pausen");
    EXPECT_EQ(catalog->FindPlural({}, "1 break", 3), nullptr);
  }
}

// A well-formed catalogue as the base of the spoilt ones: it must be accepted, or the refusals
// below prove nothing.
std::vector<MoMessage> Good() {
  return {MoHeader(kRussianRule),
          {"Start", "Старт"},
          {Nul({"minute", "minutes"}), Nul({"минута", "минуты", "минут"})}};
}

void SetWord(std::string& bytes, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes[at + static_cast<size_t>(k)] = static_cast<char>(v >> (8 * k));
}

TEST(Catalog, MalformedFilesAreRefusedWhole) {
  ASSERT_TRUE(Catalog::Read(WriteMo(Good(), false)));
  ASSERT_TRUE(Catalog::Read(WriteMo(Good(), true)));
  auto with = [](auto change) {
    auto messages = Good();
    change(messages);
    return WriteMo(messages, false);
  };
  auto header = [&](const std::string& rule) {
    return with([&](auto& m) { m[0] = MoHeader(rule); });
  };
  const std::string good = WriteMo(Good(), false);
  auto spoilt = [&](size_t at, uint32_t v) {
    std::string bytes = good;
    SetWord(bytes, at, v);
    return bytes;
  };
  struct Bad {
    const char* what;
    std::string bytes;
  };
  std::string noNul = good;
  noNul.back() = 'x';
  const std::vector<Bad> bad = {
      {"empty", ""},
      {"three bytes", good.substr(0, 3)},
      {"no magic", spoilt(0, 0x12345678)},
      {"a major revision to come", spoilt(4, 0x00020000)},
      {"more strings than the file holds", spoilt(8, 0x10000000)},
      {"the originals' table past the end", spoilt(12, 0xfffffff0)},
      {"the translations' table past the end", spoilt(16, static_cast<uint32_t>(good.size()))},
      {"a string's length past the end", spoilt(28 + 8, 0xffffffff)},
      {"a string's offset past the end", spoilt(28 + 12, 0xfffffffc)},
      {"a string without its NUL", noNul},
      {"cut short", good.substr(0, good.size() - 1)},
      {"a translation not in UTF-8", with([](auto& m) { m[1].translation = "St\xe4rt"; })},
      {"an id not in UTF-8", with([](auto& m) { m[1].original = "\xc3"; })},
      {"a surrogate", with([](auto& m) { m[1].translation = "\xed\xa0\x80"; })},
      {"another charset", with([](auto& m) {
         m[0].translation =
             "Content-Type: text/plain; charset=KOI8-R\nPlural-Forms: nplurals=1; plural=0;\n";
       })},
      {"two headers", with([](auto& m) { m.push_back(MoHeader("nplurals=1; plural=0;")); })},
      {"the same id twice", with([](auto& m) {
         m.push_back({"Start", "Пуск"});
       })},
      {"too few plural forms", with([](auto& m) {
         m[2].translation = Nul({"минута", "минуты"});
       })},
      {"too many plural forms", with([](auto& m) {
         m[2].translation = Nul({"минута", "минуты", "минут", "минуток"});
       })},
      {"an empty plural form", with([](auto& m) {
         m[2].translation = Nul({"минута", "", "минут"});
       })},
      {"an empty context", with([](auto& m) { m[1].original = "\x04Start"; })},
      {"no plural count", header("plural=n != 1;")},
      {"no rule", header("nplurals=2;")},
      {"no forms at all", header("nplurals=0; plural=0;")},
      {"more forms than a language has", header("nplurals=9; plural=n;")},
      {"a rule past its forms", header("nplurals=3; plural=n%5;")},
      {"a rule that divides by zero for one", header("nplurals=2; plural=n/(n-1) > 0;")},
      {"a rule that divides by a zero", header("nplurals=2; plural=n%0;")},
      {"a rule with words after it", header("nplurals=2; plural=n != 1; extra")},
      {"a rule outside the language", header("nplurals=2; plural=n ** 2;")},
  };
  for (const auto& b : bad) EXPECT_FALSE(Catalog::Read(b.bytes)) << b.what;
}

TEST(Catalog, NoHeaderMeansTheGermanicRule) {
  const auto catalog = Catalog::Read(
      WriteMo({{"Start", "Los"}, {Nul({"minute", "minutes"}), Nul({"Minute", "Minuten"})}}, false));
  ASSERT_TRUE(catalog);
  EXPECT_EQ(*catalog->FindPlural({}, "minute", 1), "Minute");
  for (const uint64_t n : {0, 2, 21}) EXPECT_EQ(*catalog->FindPlural({}, "minute", n), "Minuten");
}

TEST(PluralRule, EvaluatesTheSubsetOfCLikeC) {
  struct Case {
    const char* expression;
    std::vector<std::pair<uint64_t, uint64_t>> values;  // n, value
  };
  const std::vector<Case> cases = {
      {"0", {{0, 0}, {7, 0}}},
      {"n", {{0, 0}, {42, 42}}},
      {"n != 1", {{0, 1}, {1, 0}, {2, 1}}},
      {"n>1", {{0, 0}, {1, 0}, {2, 1}}},
      {"n >= 2 && n <= 4", {{1, 0}, {2, 1}, {4, 1}, {5, 0}}},
      {"n < 2 || n > 10", {{1, 1}, {2, 0}, {10, 0}, {11, 1}}},
      {"!n", {{0, 1}, {3, 0}}},
      {"!(n == 1)", {{1, 0}, {2, 1}}},
      {"2 + 3 * n", {{2, 8}}},
      {"(2 + 3) * n", {{2, 10}}},
      {"n - 1 - 1", {{5, 3}}},                                    // left to right
      {"n / 2 * 2", {{5, 4}}},                                    // left to right
      {"n % 10 % 3", {{28, 2}}},                                  // left to right
      {"n == 1 ? 0 : n == 2 ? 1 : 2", {{1, 0}, {2, 1}, {3, 2}}},  // right to left
      {"n ? n : 7", {{0, 7}, {3, 3}}},
      {"1 + n < 3 == 1", {{1, 1}, {2, 0}}},                   // + before <, < before ==
      {"n - 2", {{1, 0xffffffffffffffffull}}},                // unsigned, as C's unsigned long
      {"n == 0 || 100 / n > 10", {{0, 1}, {5, 1}, {50, 0}}},  // || does not look further
      {"n != 0 && 100 % n == 0", {{0, 0}, {4, 1}, {3, 0}}},
      {" ( n ) ", {{9, 9}}},
  };
  for (const auto& c : cases) {
    const auto rule = PluralRule::Parse(c.expression);
    ASSERT_TRUE(rule) << c.expression;
    for (const auto& [n, value] : c.values) {
      const auto got = rule->Evaluate(n);
      ASSERT_TRUE(got) << c.expression << " at " << n;
      EXPECT_EQ(*got, value) << c.expression << " at " << n;
    }
  }
}

TEST(PluralRule, RefusesWhatIsNotInTheSubsetOrTooDeep) {
  const std::vector<std::string> refused = {
      "",
      "   ",
      "m",
      "n +",
      "+ n",
      "-n",
      "(n",
      "n)",
      "n ? 1",
      "n ? 1 :",
      "n | 1",
      "n & 1",
      "n = 1",
      "n <> 1",
      "1.5",
      "0x10",
      "n 1",
      "n/0",
      "n%(0)",
      "99999999999999999999999",
      "n ^ 2",
      "~n",
      "n;",
      std::string(200, '(') + "n" + std::string(200, ')'),
      std::string(200, '!') + "n",
      [] {  // a long left-leaning chain: as deep as it is long
        std::string s = "n";
        for (int i = 0; i < 300; ++i) s += "+n";
        return s;
      }()};
  for (const auto& e : refused) EXPECT_FALSE(PluralRule::Parse(e)) << e.substr(0, 40);
  // Nesting that real catalogues never need but is within bounds still reads.
  EXPECT_TRUE(PluralRule::Parse(std::string(20, '(') + "n" + std::string(20, ')')));
  // Division by a zero that only some n make is refused for those n alone.
  const auto rule = PluralRule::Parse("10 / (n - 3)");
  ASSERT_TRUE(rule);
  EXPECT_FALSE(rule->Evaluate(3));
  EXPECT_EQ(rule->Evaluate(5), 5u);
}

TEST(Texts, EnglishGivesTheIdAndEveryLanguageFillsNamedPlaceholders) {
  const auto catalog =
      Catalog::Read(WriteMo({MoHeader("nplurals=2; plural=n != 1;"),
                             {"Break in {minutes} minutes", "Pause in {minutes} Minuten"},
                             {"{name} starts at {time}", "Um {time} beginnt {name}"},
                             {"menu\x04&Stop", "&Beenden"},
                             {Nul({"{n} break", "{n} breaks"}), Nul({"{n} Pause", "{n} Pausen"})}},
                            false));
  ASSERT_TRUE(catalog);
  const Texts english;
  const Texts german("de", *catalog);
  struct Case {
    std::string (*say)(const Texts&);
    const char* english;
    const char* german;
  };
  const Case cases[] = {
      {[](const Texts& t) {
         return t.T("Break in {minutes} minutes", {{"minutes", "5"}});
       },
       "Break in 5 minutes", "Pause in 5 Minuten"},
      // The translation moves the placeholders; the values follow their names.
      {[](const Texts& t) {
         return t.T("{name} starts at {time}", {{"name", "A"}, {"time", "9:00"}});
       },
       "A starts at 9:00", "Um 9:00 beginnt A"},
      {[](const Texts& t) { return t.TC("menu", "&Stop"); }, "&Stop", "&Beenden"},
      // Without the context the word is another message, not translated here.
      {[](const Texts& t) { return t.T("&Stop"); }, "&Stop", "&Stop"},
      {[](const Texts& t) {
         return t.TN("{n} break", "{n} breaks", 1, {{"n", "1"}});
       },
       "1 break", "1 Pause"},
      {[](const Texts& t) {
         return t.TN("{n} break", "{n} breaks", 0, {{"n", "0"}});
       },
       "0 breaks", "0 Pausen"},
      {[](const Texts& t) {
         return t.TN("{n} break", "{n} breaks", 7, {{"n", "7"}});
       },
       "7 breaks", "7 Pausen"},
      // A message the catalogue lacks is said in English.
      {[](const Texts& t) {
         return t.T("Not translated {x}", {{"x", "yet"}});
       },
       "Not translated yet", "Not translated yet"},
      // A value is not searched again, and braces that name nothing stay.
      {[](const Texts& t) {
         return t.T("{a}{b} {c} {", {{"a", "{b}"}, {"b", "x"}});
       },
       "{b}x {c} {", "{b}x {c} {"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.say(english), c.english);
    EXPECT_EQ(c.say(german), c.german);
  }
  EXPECT_EQ(english.Language(), "");
  EXPECT_EQ(german.Language(), "de");
}

// What msgfmt makes of po/ reads, and each catalogue says which language it is in its own words.
TEST(Language, TheSettingThenEachWindowsLanguageWholeThenItsBase) {
  const std::vector<std::string> carried = {"de", "zh-CN", "fr", "pt-BR"};
  struct Case {
    const char* setting;
    std::vector<std::string> preferred;
    const char* expected;  // empty: English
  };
  const Case cases[] = {
      {"", {"de-DE"}, "de"},           // the base language of a regional tag
      {"", {"de-AT", "fr-FR"}, "de"},  // in the user's order
      {"", {"it-IT", "fr-CA"}, "fr"},  // the first the program has
      {"", {"en-US", "de-DE"}, ""},    // English first is English
      {"", {"en-GB"}, ""},             //
      {"", {"zh-CN"}, "zh-CN"},        // whole
      {"", {"zh_cn"}, "zh-CN"},        // as a system may write it
      {"", {"zh-TW", "de-CH"}, "de"},  // no Simplified for a Traditional reader
      {"", {"pt-PT"}, ""},             // the base "pt" is not "pt-BR"
      {"", {"pt-BR"}, "pt-BR"},        //
      {"", {}, ""},                    // nothing known: English
      {"", {"ja-JP"}, ""},             // nothing carried: English
      {"fr", {"de-DE"}, "fr"},         // the setting before Windows
      {"de-LU", {"fr-FR"}, "de"},      // the setting's base
      {"en", {"de-DE"}, ""},           // English chosen
      {"ru", {"de-DE"}, "de"},         // a choice not carried follows Windows
      {"", {"", "DE"}, "de"},          // case does not matter; empty entries skipped
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseLanguage(c.setting, c.preferred, carried), c.expected)
        << "setting \"" << c.setting << "\", first preferred "
        << (c.preferred.empty() ? "none" : c.preferred.front());
  }
}

TEST(Language, TagsTheSettingMayHold) {
  for (const char* tag : {"", "de", "zh-CN", "sr-Latn-RS", "fil", "es-419", "ZH-cn"})
    EXPECT_TRUE(LanguageTagUsable(tag)) << tag;
  for (const char* tag :
       {"d", "deutsch", "de_DE", "de-", "-de", "de--DE", "1e", "de DE", "de-ABCDEFGHI", "de-DE;fr",
        "\xc3\xa4s", "de-AT-aaaaaaaa-bbbbbbbb-cccccccc-dddd"})
    EXPECT_FALSE(LanguageTagUsable(tag)) << tag;
}

TEST(Catalog, SurvivesRandomCorruption) {
  std::mt19937 rng(27);
  for (int i = 0; i < 5000; ++i) {
    const std::string wrong = FuzzCatalogOnce(rng);
    ASSERT_TRUE(wrong.empty()) << "case " << i << ":" << wrong;
  }
}

}  // namespace
}  // namespace unw
