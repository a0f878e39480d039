// Editing a text field: typing, pasting and deleting pass through the formatter.
#include <gtest/gtest.h>

#include "platform/widgets/text_field.h"

namespace jc {
namespace {

// Records each edit the formatter is asked about and refuses inserted text past a limit.
class LimitFormatter : public Formatter {
 public:
  explicit LimitFormatter(std::size_t limit) : limit_(limit) {}
  std::optional<std::string> stringForObjectValue(
      const std::optional<std::string>& o) const override {
    return o;
  }
  bool getObjectValue(std::string& object, const std::string& text, std::string*) const override {
    object = text;
    return true;
  }
  bool isPartialStringValid(std::u16string& partial, TextRange& proposed,
                            const std::u16string& original, TextRange originalSelection,
                            std::string*) const override {
    last = {partial, proposed, original, originalSelection};
    if (proposed.location <= originalSelection.location) return true;  // deletion
    return original.size() < limit_;
  }
  struct Call {
    std::u16string partial;
    TextRange proposed;
    std::u16string original;
    TextRange originalSelection;
  };
  mutable Call last;

 private:
  std::size_t limit_;
};

TEST(TextField, TypingStopsAtTheFirstRefusedKeystrokeAndDeletionsPassWhenFull) {
  TextField field;
  auto formatter = std::make_shared<LimitFormatter>(3);
  field.setFormatter(formatter);
  EXPECT_FALSE(field.typeText("12345"));
  EXPECT_EQ(field.stringValue(), "123");
  EXPECT_EQ(formatter->last.original, u"123");
  EXPECT_EQ(formatter->last.originalSelection, (TextRange{3, 0}));
  EXPECT_EQ(formatter->last.proposed, (TextRange{4, 0}));

  EXPECT_TRUE(field.deleteBackward());
  EXPECT_EQ(field.stringValue(), "12");
  field.setSelectedRange({0, 0});
  EXPECT_TRUE(field.deleteForward());
  EXPECT_EQ(field.stringValue(), "2");
  field.selectAll();
  EXPECT_TRUE(field.deleteBackward());
  EXPECT_EQ(field.stringValue(), "");
  EXPECT_TRUE(field.deleteBackward());  // nothing to delete is still accepted

  field.setStringValue("x");
  field.setEditable(false);
  EXPECT_FALSE(field.typeText("y"));
  EXPECT_FALSE(field.deleteBackward());
  EXPECT_EQ(field.stringValue(), "x");
}

TEST(TextField, PasteIsOneEditAndSurrogatePairsAreOneKeystrokeOfTwoUnits) {
  TextField field;
  auto formatter = std::make_shared<LimitFormatter>(10);
  field.setFormatter(formatter);
  field.setStringValue("hello");
  field.setSelectedRange({1, 3});
  EXPECT_TRUE(field.paste("ipp"));
  EXPECT_EQ(field.stringValue(), "hippo");
  EXPECT_EQ(field.selectedRange(), (TextRange{4, 0}));
  EXPECT_EQ(formatter->last.partial, u"hippo");

  field.setStringValue("");
  EXPECT_TRUE(field.typeText("a\U0001F600"));
  EXPECT_EQ(field.selectedRange(), (TextRange{3, 0}));
  EXPECT_EQ(formatter->last.proposed, (TextRange{3, 0}));
  EXPECT_TRUE(field.deleteBackward());
  EXPECT_EQ(field.stringValue(), "a");
}

}  // namespace
}  // namespace jc
