// The choice object: lazily decoded titles over a borrowed PPD choice record.
#include "plugin/choice.h"

#include <cstring>
#include <string_view>

#include "platform/text/text_encoding.h"
#include "plugin/trace.h"

namespace {

// A fixed-size field of a PPD record, up to its terminator or its end: libcups always
// terminates them, but a record built by hand need not.
template <std::size_t N>
std::string_view field(const char (&bytes)[N]) {
  return std::string_view(bytes, strnlen(bytes, N));
}

}  // namespace

PDEChoiceRef VoreliaPrintPdeTz630eJCPDEChoice::choiceWithChoice(ppd_choice_t* choice) {
  return std::make_shared<VoreliaPrintPdeTz630eJCPDEChoice>(choice);
}

std::optional<std::string> VoreliaPrintPdeTz630eJCPDEChoice::userTitle(std::uint64_t encoding) {
  if (!userTitle_ && choice_)
    userTitle_ = jc::decodeText(field(choice_->text), jc::coreEncodingFromStringEncoding(encoding));
  if (!userTitle_) _PDELog(this, "could not create userTitle!");
  return userTitle_;
}

std::optional<std::string> VoreliaPrintPdeTz630eJCPDEChoice::ppdTitle() {
  if (!ppdTitle_ && choice_)
    ppdTitle_ = jc::decodeText(field(choice_->choice), jc::core_encoding::kASCII);
  if (!ppdTitle_) _PDELog(this, "could not create ppdTitle!");
  return ppdTitle_;
}
