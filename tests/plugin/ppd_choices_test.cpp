// PPD options in controls: choice titles, choice arrays, keyword lookup, pop-up filling,
// the marked choice's index and the user's selection under the host's constraints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/host/memory_host.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel.h"
#include "plugin/ppd_choices.h"
#include "support/test_paths.h"
#include "support/trace_recorder.h"

namespace {

using jc::string_encoding::kShiftJIS;
using jc::string_encoding::kUTF8;

constexpr const char* kUpperSJIS = "\x8f\xe3\x92\x69\x83\x67\x83\x8c\x83\x43";  // 上段トレイ

bool traced(const char* message) {
  auto all = jc::test::traceMessages();
  return std::find(all.begin(), all.end(), message) != all.end();
}

// A host with one of our PPDs that records each constraint question and refuses `refused`.
struct Host {
  explicit Host(const char* ppd, bool constraints = true) {
    callback->setPPD(jc::openPPDFile(std::string(jc::test::kDataDir) + "/" + ppd)
                         .value_or(jc::PPDHandle(nullptr, ppdClose)));
    callback->setOffersConstraints(constraints);
    callback->setConstraintCheck([this](const std::string& key, ppd_choice_t* choice) {
      asked.push_back(key + "=" + choice->choice);
      return refused != choice->choice;
    });
  }
  ppd_option_t* option(const char* key) { return ppdFindOption(callback->ppdFile(), key); }
  PDEChoiceArray array(const char* key) {
    PDEChoiceArray result;
    EXPECT_TRUE(ArrayFromPPDOption(option(key), &result));
    return result;
  }
  std::shared_ptr<jc::MemoryPluginCallback> callback = std::make_shared<jc::MemoryPluginCallback>();
  std::vector<std::string> asked;
  std::string refused;
};

TEST(PDEChoice, TitlesDecodeOnceAndRetryAfterAFailure) {
  Host sjis("choices-sjis.ppd");  // libcups hands the Shift JIS texts on in UTF-8
  PDEChoiceArray slots = sjis.array("InputSlot");
  EXPECT_EQ(slots[1]->userTitle(kUTF8), "上段トレイ");
  EXPECT_EQ(slots[1]->userTitle(kShiftJIS), "上段トレイ");  // kept from the first call

  ppd_choice_t record{};
  std::strcpy(record.choice, "Ober\xc3\xa9");
  std::strcpy(record.text, kUpperSJIS);
  VoreliaPrintPdeTz630eJCPDEChoice choice(&record);
  EXPECT_EQ(choice.userTitle(kUTF8), std::nullopt);
  EXPECT_TRUE(traced("could not create userTitle!"));
  EXPECT_EQ(choice.userTitle(kShiftJIS), "上段トレイ");
  EXPECT_EQ(choice.userTitle(kUTF8), "上段トレイ");
  EXPECT_EQ(choice.ppdTitle(), std::nullopt);  // keywords are ASCII
  EXPECT_TRUE(traced("could not create ppdTitle!"));
  std::strcpy(record.choice, "Upper");
  EXPECT_EQ(choice.ppdTitle(), "Upper");
}

TEST(PPDChoiceFunctions, ArraysLookupAndPopUps) {
  Host host("choices-utf8.ppd");
  ppd_option_t* slot = host.option("InputSlot");
  PDEChoiceArray slots = host.array("InputSlot");
  ASSERT_EQ(slots.size(), 3u);
  EXPECT_EQ(slots[2]->choice(), &slot->choices[2]);
  EXPECT_EQ(host.array("Stapler").size(), 1u);
  EXPECT_TRUE(host.array("Empty").empty());
  PDEChoiceArray stale = slots;
  EXPECT_FALSE(ArrayFromPPDOption(nullptr, &stale));
  EXPECT_TRUE(stale.empty());

  EXPECT_EQ(FindChoiceForString("Lower", &slots), &slots[2]);
  EXPECT_EQ(FindChoiceForString("lower", &slots), nullptr);
  EXPECT_EQ(FindChoiceForString(nullptr, &slots), nullptr);

  jc::PopUpButton popUp;
  popUp.addItemWithTitle("Stale");
  InitPopUpFromArray(&popUp, &slots, kUTF8);
  ASSERT_EQ(popUp.numberOfItems(), 3);
  EXPECT_EQ(popUp.itemAtIndex(0)->title, "Sélection automatique");
  EXPECT_EQ(std::any_cast<PDEChoiceRef>(popUp.itemAtIndex(2)->representedObject), slots[2]);

  // A text the encoding cannot read shows the keyword rather than a blank item.
  ppd_choice_t record{};
  std::strcpy(record.choice, "Upper");
  std::strcpy(record.text, kUpperSJIS);
  PDEChoiceArray undecodable{VoreliaPrintPdeTz630eJCPDEChoice::choiceWithChoice(&record)};
  InitPopUpFromArray(&popUp, &undecodable, kUTF8);
  EXPECT_EQ(popUp.titleOfSelectedItem(), "Upper");
}

TEST(IndexOfMarkedOption, MarkedThenDefaultThenNone) {
  Host host("choices-utf8.ppd");
  VoreliaPrintPdeTz630eJC panel(host.callback, nullptr);
  ppd_option_t* slot = host.option("InputSlot");
  EXPECT_EQ(panel.indexOfMarkedOption(slot, "InputSlot"), 1);  // the default, Upper
  ppdMarkOption(host.callback->ppdFile(), "InputSlot", "Lower");
  EXPECT_EQ(panel.indexOfMarkedOption(slot, "InputSlot"), 2);
  // The output bins' default "Side" is not among them.
  EXPECT_EQ(panel.indexOfMarkedOption(host.option("OutputBin"), "OutputBin"), -1);
  EXPECT_TRUE(traced("returning a -1 index means there was no default choice"));
  // Another option's marked choice is no place in this one.
  ppdMarkOption(host.callback->ppdFile(), "OutputBin", "Top");
  EXPECT_EQ(panel.indexOfMarkedOption(slot, "OutputBin"), 1);
  EXPECT_EQ(panel.indexOfMarkedOption(host.option("Empty"), "Empty"), -1);
}

TEST(GetSelection, TheHostsRefusalKeepsThePreviousChoice) {
  Host host("choices-utf8.ppd");
  host.refused = "Lower";
  VoreliaPrintPdeTz630eJC panel(host.callback, nullptr);
  PDEChoiceArray slots = host.array("InputSlot");
  jc::PopUpButton popUp;
  InitPopUpFromArray(&popUp, &slots, kUTF8);
  PDEChoiceRef selection;
  popUp.selectItemAtIndex(1);
  panel.getSelection(selection, popUp, "InputSlot");
  EXPECT_EQ(selection, slots[1]);
  popUp.selectItemAtIndex(2);
  panel.getSelection(selection, popUp, "InputSlot");
  EXPECT_EQ(selection, slots[1]);
  EXPECT_EQ(popUp.indexOfSelectedItem(), 2);  // not changed back
  EXPECT_EQ(host.asked, (std::vector<std::string>{"InputSlot=Upper", "InputSlot=Lower"}));

  // The button's state indexes the array; a mixed state or one past the end keeps it.
  jc::Button box(jc::Button::Type::Switch);
  panel.getSelection(selection, slots, box, "InputSlot");
  EXPECT_EQ(selection, slots[0]);
  box.setState(-1);
  panel.getSelection(selection, slots, box, "InputSlot");
  box.setState(1);
  panel.getSelection(selection, host.array("Stapler"), box, "Stapler");
  EXPECT_EQ(selection, slots[0]);
  EXPECT_EQ(host.asked.size(), 3u);

  // A host without constraint handling is not asked.
  Host plain("choices-utf8.ppd", false);
  plain.refused = "Lower";
  VoreliaPrintPdeTz630eJC unchecked(plain.callback, nullptr);
  unchecked.getSelection(selection, popUp, "InputSlot");
  EXPECT_EQ(selection, slots[2]);
  EXPECT_TRUE(plain.asked.empty());
}

}  // namespace
