// The input filters, driven through text fields as every host drives them: keystrokes,
// pastes, deletions and selections.
#include <gtest/gtest.h>

#include "platform/text_field.h"
#include "ui/filters.h"

namespace {

using jc::TextField;

// An input field with a filter of class Filter and the given count.
template <class Filter>
std::unique_ptr<TextField> fieldWith(std::int64_t count) {
  auto field = std::make_unique<TextField>();
  field->setTag(1);
  auto filter = std::make_shared<Filter>();
  filter->SetmaxCharactersCount(count);
  field->setFormatter(filter);
  return field;
}

TEST(MyIntegerNumberFilter, TakesDigitsOneByOneUpToTheCount) {
  auto field = fieldWith<MyIntegerNumberFilter>(5);
  EXPECT_FALSE(field->typeText("a"));  // a letter is refused even in an empty field
  EXPECT_TRUE(field->typeText("1234"));
  EXPECT_FALSE(field->typeText("x"));
  EXPECT_TRUE(field->typeText("5"));
  EXPECT_FALSE(field->typeText("6"));
  EXPECT_EQ(field->stringValue(), "12345");

  // Digits of other scripts are not the printer's digits.
  auto other = fieldWith<MyIntegerNumberFilter>(5);
  EXPECT_FALSE(other->typeText("\uFF11"));  // fullwidth one
  EXPECT_FALSE(other->typeText("\u0661"));  // Arabic-Indic one
  EXPECT_FALSE(other->typeText("\U0001F600"));
  EXPECT_EQ(other->stringValue(), "");
}

TEST(MyIntegerNumberFilter, AFullFieldTakesDeletionsButNoReplacement) {
  auto field = fieldWith<MyIntegerNumberFilter>(5);
  ASSERT_TRUE(field->typeText("12345"));
  field->selectAll();
  EXPECT_FALSE(field->typeText("9"));  // the text before the edit is already 5 long
  EXPECT_EQ(field->stringValue(), "12345");

  field->setSelectedRange({1, 2});
  EXPECT_TRUE(field->deleteBackward());  // cutting a selection
  EXPECT_EQ(field->stringValue(), "145");
  EXPECT_TRUE(field->typeText("9"));
  EXPECT_EQ(field->stringValue(), "1945");
  EXPECT_TRUE(field->typeText("0"));
  field->setSelectedRange({0, 0});
  EXPECT_TRUE(field->deleteForward());
  field->setSelectedRange({4, 0});
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_EQ(field->stringValue(), "904");
  field->selectAll();
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_TRUE(field->typeText("77"));
  EXPECT_EQ(field->stringValue(), "77");
}

TEST(MyIntegerNumberFilter, APasteMustBeAllDigitsAndFitTheCount) {
  auto field = fieldWith<MyIntegerNumberFilter>(5);
  EXPECT_FALSE(field->paste("a12"));
  EXPECT_FALSE(field->paste("1a2"));     // every pasted unit is checked, not only the first
  EXPECT_FALSE(field->paste("123456"));  // longer than a pass code can be
  EXPECT_EQ(field->stringValue(), "");
  EXPECT_TRUE(field->paste("123"));
  EXPECT_FALSE(field->paste("456"));
  EXPECT_TRUE(field->paste("45"));
  EXPECT_EQ(field->stringValue(), "12345");
}

TEST(MyIntegerNumberFilter, ACountNeverSetRefusesEveryInsertion) {
  auto field = fieldWith<MyIntegerNumberFilter>(0);
  EXPECT_FALSE(field->typeText("1"));
  EXPECT_FALSE(field->paste("1"));
  field->setStringValue("12");  // the program's own change is not filtered
  EXPECT_TRUE(field->deleteBackward());
  EXPECT_EQ(field->stringValue(), "1");
}

TEST(MyRomanFilter, TakesAnyCharacterUpToTheCountInUtf16Units) {
  auto field = fieldWith<MyRomanFilter>(31);
  const std::string typed = "aZ9 .,;!?-_#%&*()[]{}<>/\\'\"~`+=";  // 31 characters
  ASSERT_EQ(typed.size(), 31u);
  for (char c : typed) ASSERT_TRUE(field->typeText(std::string(1, c))) << c;
  EXPECT_FALSE(field->typeText("x"));
  EXPECT_EQ(field->stringValue(), typed);

  // A character outside the basic plane takes two of the 31 units.
  auto wide = fieldWith<MyRomanFilter>(31);
  ASSERT_TRUE(wide->typeText(std::string(29, 'p')));
  EXPECT_TRUE(wide->typeText("\U0001F600"));  // 29 + 2 = 31
  EXPECT_FALSE(wide->typeText("q"));
  auto nearlyFull = fieldWith<MyRomanFilter>(31);
  ASSERT_TRUE(nearlyFull->typeText(std::string(30, 'p')));
  EXPECT_FALSE(nearlyFull->typeText("\U0001F600"));  // would reach 32 units
  EXPECT_TRUE(nearlyFull->typeText("\u5BC6"));       // a CJK character is one unit
  EXPECT_EQ(nearlyFull->selectedRange().location, 31u);
  EXPECT_TRUE(nearlyFull->deleteBackward());
}

TEST(LoginnameInputFilter, AcceptsEveryEditAndKeepsItsCallback) {
  auto field = std::make_unique<TextField>();
  field->setTag(4);
  auto filter = std::make_shared<LoginnameInputFilter>();
  EXPECT_EQ(filter->callback(), nullptr);
  LoginnameInputFilterCallback owner;
  filter->setCallback(&owner);
  EXPECT_EQ(filter->callback(), &owner);
  field->setFormatter(filter);
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "\u540D\U0001F600a";
  EXPECT_TRUE(field->typeText(longName));
  EXPECT_TRUE(field->paste("!\t\u00E9"));
  EXPECT_EQ(field->stringValue(), longName + "!\t\u00E9");
}

TEST(Filters, ObjectValueIsTheTextAndTheCheckChangesNothing) {
  MyIntegerNumberFilter number;
  MyRomanFilter roman;
  LoginnameInputFilter login;
  number.setFormat("##0");
  number.SetmaxCharactersCount(5);
  roman.SetmaxCharactersCount(5);
  for (jc::Formatter* f : std::initializer_list<jc::Formatter*>{&number, &roman, &login}) {
    std::string object = "stale";
    std::string error = "untouched";
    EXPECT_TRUE(f->getObjectValue(object, "007", &error));
    EXPECT_EQ(object, "007");
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(f->stringForObjectValue(std::string("007")), "007");
    EXPECT_EQ(f->stringForObjectValue(std::nullopt), std::nullopt);

    std::u16string partial = u"1x";
    jc::TextRange proposed{2, 0};
    EXPECT_EQ(f->isPartialStringValid(partial, proposed, u"1", {1, 0}, &error),
              f == &roman || f == &login);
    EXPECT_EQ(partial, u"1x");
    EXPECT_EQ(proposed, (jc::TextRange{2, 0}));
    EXPECT_EQ(error, "untouched");
  }
  EXPECT_EQ(number.format(), "##0");
  EXPECT_EQ(number.maxCharactersCount(), 5);
}

}  // namespace
