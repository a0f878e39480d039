// The input filters, driven through text fields as every host drives them: keystrokes,
// pastes, deletions and selections, counted in UTF-16 units.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/widgets/text_field.h"
#include "ui/filters.h"

namespace {

template <class Filter>
std::unique_ptr<jc::TextField> fieldWith(std::int64_t count) {
  auto field = std::make_unique<jc::TextField>();
  field->setTag(1);
  auto filter = std::make_shared<Filter>();
  if constexpr (requires { filter->SetmaxCharactersCount(count); })
    filter->SetmaxCharactersCount(count);
  field->setFormatter(filter);
  return field;
}

TEST(MyIntegerNumberFilter, TakesOnlyAsciiDigitsUpToTheCount) {
  auto field = fieldWith<MyIntegerNumberFilter>(5);
  for (const char* refused : {"a", "\uFF11", "\u0661", "\U0001F600"})  // other scripts' digits too
    EXPECT_FALSE(field->typeText(refused)) << refused;
  for (const char* refused : {"a12", "1a2", "123456"})
    EXPECT_FALSE(field->paste(refused)) << refused;
  EXPECT_TRUE(field->typeText("1234"));
  EXPECT_FALSE(field->typeText("x"));
  EXPECT_TRUE(field->typeText("5"));
  EXPECT_FALSE(field->typeText("6"));
  field->selectAll();
  EXPECT_FALSE(field->typeText("9"));  // the text before the edit is already full
  EXPECT_EQ(field->stringValue(), "12345");

  field->setSelectedRange({1, 2});  // a full field still takes deletions
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_TRUE(field->typeText("9"));
  EXPECT_TRUE(field->typeText("0"));
  field->setSelectedRange({0, 0});
  EXPECT_TRUE(field->deleteForward());
  field->setSelectedRange({4, 0});
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_EQ(field->stringValue(), "904");
  field->selectAll();
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_TRUE(field->paste("123"));
  EXPECT_FALSE(field->paste("456"));
  EXPECT_TRUE(field->paste("45"));
  EXPECT_EQ(field->stringValue(), "12345");

  auto unset = fieldWith<MyIntegerNumberFilter>(0);  // a count never set refuses every insertion
  EXPECT_FALSE(unset->typeText("1"));
  EXPECT_FALSE(unset->paste("1"));
}

TEST(MyRomanFilter, TakesAnyCharacterUpToTheCountInUtf16Units) {
  auto field = fieldWith<MyRomanFilter>(31);
  const std::string typed = "aZ9 .,;!?-_#%&*()[]{}<>/\\'\"~`+=";  // 31 characters
  for (char c : typed) ASSERT_TRUE(field->typeText(std::string(1, c))) << c;
  EXPECT_FALSE(field->typeText("x"));
  EXPECT_EQ(field->stringValue(), typed);

  auto wide = fieldWith<MyRomanFilter>(31);
  ASSERT_TRUE(wide->typeText(std::string(29, 'p')));
  EXPECT_TRUE(wide->typeText("\U0001F600"));  // 29 + 2 = 31
  EXPECT_FALSE(wide->typeText("q"));
  auto nearlyFull = fieldWith<MyRomanFilter>(31);
  ASSERT_TRUE(nearlyFull->typeText(std::string(30, 'p')));
  EXPECT_FALSE(nearlyFull->typeText("\U0001F600"));  // would reach 32 units
  EXPECT_TRUE(nearlyFull->typeText("\u5BC6"));       // a CJK character is one unit
  EXPECT_EQ(nearlyFull->selectedRange().location, 31u);
}

TEST(LoginnameInputFilter, AcceptsEveryEdit) {
  auto field = fieldWith<LoginnameInputFilter>(0);
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "\u540D\U0001F600a";
  EXPECT_TRUE(field->typeText(longName));
  EXPECT_TRUE(field->paste("!\t\u00E9"));
  EXPECT_EQ(field->stringValue(), longName + "!\t\u00E9");
}

TEST(UserEdit, ReplacesARangeAsOneEditOrAnswersTheRefusalsReason) {
  struct Case {
    const char* name;
    std::unique_ptr<jc::TextField> field;
    const char* before;
    jc::TextRange range;
    const char* text;
    const char* after;  // the text afterwards; the caret follows the insertion when taken
    const char* refusal;
  };
  const std::string tooLong(32, 'p');
  auto dimmed = fieldWith<LoginnameInputFilter>(0);
  dimmed->setEnabled(false);
  auto readOnly = fieldWith<LoginnameInputFilter>(0);
  readOnly->setEditable(false);
  Case cases[] = {
      {"digit", fieldWith<MyIntegerNumberFilter>(5), "12", {2, 0}, "3", "123", ""},
      {"replace inside", fieldWith<MyIntegerNumberFilter>(5), "123", {1, 1}, "99", "1993", ""},
      {"letter",
       fieldWith<MyIntegerNumberFilter>(5),
       "12",
       {0, 2},
       "x",
       "12",
       "the field takes digits only"},
      {"sixth digit",
       fieldWith<MyIntegerNumberFilter>(5),
       "12345",
       {5, 0},
       "6",
       "12345",
       "the field takes at most 5 characters"},
      {"cut from a full field", fieldWith<MyIntegerNumberFilter>(5), "12345", {1, 3}, "", "15", ""},
      {"32nd character",
       fieldWith<MyRomanFilter>(31),
       "",
       {0, 0},
       tooLong.c_str(),
       "",
       "the field takes at most 31 characters"},
      {"dimmed", std::move(dimmed), "a", {1, 0}, "b", "a", "the field is dimmed"},
      {"not editable", std::move(readOnly), "a", {1, 0}, "b", "a", "the field is not editable"},
      {"range past the end", fieldWith<LoginnameInputFilter>(0), "ab", {1, 99}, "Z", "aZ", ""},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.field->setStringValue(c.before);
    int changes = 0;
    c.field->addObserver([&](jc::Control&) { ++changes; });
    jc::Result<> result = c.field->replaceCharactersInRange(c.range, c.text);
    EXPECT_EQ(result.message(), c.refusal);
    EXPECT_EQ(result.ok(), std::string(c.refusal).empty());
    EXPECT_EQ(c.field->stringValue(), c.after);
    EXPECT_EQ(changes, result.ok() ? 1 : 0);  // one edit, one notification
    if (result) {
      EXPECT_EQ(c.field->selectedRange().location, c.range.location + std::strlen(c.text));
    }
  }
  EXPECT_EQ(jc::absent<jc::TextField>().replaceCharactersInRange({0, 0}, "1").message(),
            "the field is absent");
}

}  // namespace
