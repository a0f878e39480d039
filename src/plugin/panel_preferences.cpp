// The per-printer preference store as the panel uses it: the held entries, the
// authentication choice, the printer address and the last folder list, kept in the user's
// defaults under the domain "vorelia.mfp.<printer ID>", dictionary "Job Control".
#include "platform/io/user_defaults.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel.h"
#include "plugin/panel_held_entries.h"
#include "settings/keys.h"
#include "settings/value_text.h"
#include "trace/trace.h"

namespace {

using jc::PropertyDictionary;
using jc::PropertyValue;
using namespace jc::settings;
using jc::HeldEntry;
using jc::HeldEntryRow;
using jc::kHeldEntries;

constexpr const char* kJobControl = "Job Control";
constexpr const char* kModelName = "Model Name";
constexpr const char* kReleaseNumber = "Release Number";
constexpr const char* kRelease = "2.00";
constexpr const char* kHoldButton = "hold button";
constexpr const char* kAuthentication = "authentication";
constexpr const char* kAddress = "address";
constexpr const char* kFiles = "files";

// The "Job Control" dictionary of a domain, created when missing or of another kind.
PropertyDictionary& jobControl(PropertyDictionary& domain) {
  PropertyValue& value = domain[kJobControl];
  if (!value.dictionary()) value = PropertyDictionary{};
  return *value.dictionary();
}

const PropertyDictionary* jobControl(const std::optional<PropertyDictionary>& domain) {
  if (!domain) return nullptr;
  auto it = domain->find(kJobControl);
  return it == domain->end() ? nullptr : it->second.dictionary();
}

std::optional<std::string> stringAt(const PropertyDictionary& dictionary, const char* key) {
  auto it = dictionary.find(key);
  if (it == dictionary.end() || !it->second.string()) return std::nullopt;
  return *it->second.string();
}

// Tells the trace and the host why the preferences were not used or kept.
void report(const VoreliaPrintPdeTz630eJC& panel, const std::string& message) {
  _PDELog(&panel, "%s", message.c_str());
  if (panel.pdePluginCallbackObject) panel.pdePluginCallbackObject->preferencesProblem(message);
}

constexpr const char* kNotUsed = "the preferences are not used: ";

constexpr const char* kHeldNotKept = "the held entries were not remembered: ";
constexpr const char* kFoldersNotKept = "the folder list and printer address were not remembered: ";

// The user's store, or nullopt when there is none the panel may use (reported after
// `failure`, which says what is lost).
std::optional<jc::UserDefaults> openStore(const VoreliaPrintPdeTz630eJC& panel,
                                          const char* failure = kNotUsed) {
  if (!panel.preferenceName) return std::nullopt;
  jc::Result<jc::UserDefaults> store = jc::UserDefaults::standard();
  if (!store) {
    report(panel, failure + store.message());
    return std::nullopt;
  }
  return std::move(*store);
}

// The domain for a load: the snapshot the store operation just before left, else a read
// into `holder` (a file that was refused is reported).
const std::optional<PropertyDictionary>& domainForLoad(const VoreliaPrintPdeTz630eJC& panel,
                                                       const jc::UserDefaults& store,
                                                       std::optional<PropertyDictionary>& holder) {
  if (panel.preferenceSnapshot) return panel.preferenceSnapshot;
  holder = store.persistentDomain(*panel.preferenceName);
  if (!store.problem().empty()) report(panel, kNotUsed + store.problem());
  return holder;
}

}  // namespace

void VoreliaPrintPdeTz630eJC::CheckPreference() {
  auto store = openStore(*this);
  if (!store) return;
  // Without a model name nothing can match, so the entries start afresh every time.
  const std::string model = modelStringRef.value_or("");
  auto current = [&](PropertyDictionary& domain) {
    const PropertyDictionary& entries = jobControl(domain);
    return modelStringRef && stringAt(entries, kModelName) == modelStringRef &&
           stringAt(entries, kReleaseNumber) == kRelease;
  };
  // The usual case, a domain that already matches, needs only the read: writing it back
  // would change nothing in it.
  if (auto domain = store->persistentDomain(*preferenceName); domain && current(*domain)) {
    preferenceSnapshot = std::move(domain);
    return;
  }
  PropertyDictionary now;
  auto reset = [&](PropertyDictionary& domain) {
    if (!current(domain))
      jobControl(domain) = PropertyDictionary{{kModelName, model}, {kReleaseNumber, kRelease}};
  };
  if (store->updateDomain(*preferenceName, reset, &now)) preferenceSnapshot = std::move(now);
  if (!store->problem().empty()) report(*this, kNotUsed + store->problem());
}

void VoreliaPrintPdeTz630eJC::clearPreferenceValues() {
  for (const HeldEntryRow& row : kHeldEntries) (this->*row.remembered).reset();
  prefAuthenticationBooleanRef.reset();
}

void VoreliaPrintPdeTz630eJC::GetUserPreference() {
  prefHoldButtonFlag = 0;
  clearPreferenceValues();

  auto store = openStore(*this);
  if (!store) return;
  std::optional<PropertyDictionary> read;
  const auto& domain = domainForLoad(*this, *store, read);
  const PropertyDictionary* entries = jobControl(domain);
  if (!entries) return;
  auto hold = entries->find(kHoldButton);
  if (hold == entries->end()) return;
  // The mask must be an integer that fits 32 signed bits; anything else loads nothing.
  const std::int64_t* mask = hold->second.integer();
  if (!mask || *mask < INT32_MIN || *mask > INT32_MAX) return;
  const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(*mask));

  for (const HeldEntryRow& row : kHeldEntries)
    if (bits & row.bit) this->*row.remembered = stringAt(*entries, row.preferenceName);
  if (auto it = entries->find(kAuthentication); it != entries->end() && it->second.boolean())
    prefAuthenticationBooleanRef = *it->second.boolean();
  prefHoldButtonFlag = bits;
}

bool VoreliaPrintPdeTz630eJC::SaveUserPreference() {
  auto store = openStore(*this, kHeldNotKept);
  if (!store) return false;
  const std::uint32_t core = jc::coreEncodingFromStringEncoding(systemEncoding);
  // The first `limit` bytes of a text in `encoding`, up to its first 0 byte.
  auto bytesOf = [](const std::string& text, std::uint32_t encoding, std::size_t limit) {
    return std::string(
        untilNul(jc::convertText(text, encoding, SIZE_MAX, limit, jc::Unconvertible::Stop).bytes));
  };
  auto cipherHex = [&](const std::string& plain, std::size_t blockBytes) {
    return plain.empty() ? std::string() : storedCipherHex(plain, blockBytes);
  };

  PropertyDictionary now;
  bool saved = store->updateDomain(
      *preferenceName,
      [&](PropertyDictionary& domain) {
        PropertyDictionary& entries = jobControl(domain);
        // Each entry in its stored form: plain text, or its stored-key cipher over the text's
        // bytes (the folder pass code's ASCII bytes), as hex or, for the login name, Base64.
        // A field the layout lacks leaves its remembered value untouched.
        for (const HeldEntryRow& row : kHeldEntries) {
          const jc::Outlet<jc::TextField>& field = this->*row.field;
          if (!field) continue;
          const std::size_t blockBytes = row.cipherDigits / 2;
          std::string value;
          if (row.entry == HeldEntry::LoginName) {
            std::optional<std::string> source = loginNameButton->state() != 0
                                                    ? loginNameStringRef
                                                    : std::optional(field->stringValue());
            if (!source) continue;
            std::string plain = bytesOf(*source, core, row.limit.bytes);
            value = plain.empty() ? std::string() : storedCipherBase64(plain);
          } else if (row.entry == HeldEntry::FolderPassCode) {
            value = cipherHex(bytesOf(field->stringValue(), jc::core_encoding::kASCII, 255),
                              blockBytes);
          } else if (blockBytes != 0) {
            value = cipherHex(bytesOf(field->stringValue(), core, blockBytes), blockBytes);
          } else {
            value = field->stringValue();
          }
          entries[row.preferenceName] = std::move(value);
        }
        // An absent radio button reads state 0, like every absent control.
        entries[kAuthentication] = authenticationRadioButton->state() != 0;
        entries[kHoldButton] =
            static_cast<std::int64_t>(static_cast<std::int32_t>(jc::holdButtonMask(*this)));
      },
      &now);
  // The load that follows a print's save takes what was just stored.
  if (saved) preferenceSnapshot = std::move(now);
  if (!saved) report(*this, kHeldNotKept + store->problem());
  return saved;
}

void VoreliaPrintPdeTz630eJC::GetFolderPreference() {
  auto store = openStore(*this);
  if (!store) return;
  std::optional<PropertyDictionary> read;
  const auto& domain = domainForLoad(*this, *store, read);
  const PropertyDictionary* entries = jobControl(domain);
  if (!entries) return;
  folderList.clear();
  if (auto files = entries->find(kFiles); files != entries->end() && files->second.array()) {
    for (const PropertyValue& item : *files->second.array()) {
      const PropertyDictionary* folder = item.dictionary();
      if (!folder) continue;
      auto flag = [&](const char* key) {
        auto it = folder->find(key);
        return it != folder->end() && it->second.boolean() && *it->second.boolean();
      };
      // An entry without a name cannot be shown or chosen; it is left out.
      std::optional<std::string> name = stringAt(*folder, "name");
      if (!name) continue;
      folderList.push_back({*name, flag("password"), flag("dir"), flag("add")});
    }
  }
  addressStringRef = stringAt(*entries, kAddress);
}

bool VoreliaPrintPdeTz630eJC::SaveFolderPreference() {
  preferenceSnapshot.reset();  // it would no longer match the domain
  auto store = openStore(*this, kFoldersNotKept);
  if (!store) return false;
  auto replaceList = [&](PropertyDictionary& domain) {
    PropertyDictionary& entries = jobControl(domain);
    if (printersAddressEditText) entries[kAddress] = printersAddressEditText->stringValue();
    jc::PropertyArray files;
    files.reserve(folderList.size());
    for (const jc::FolderEntry& folder : folderList)
      files.push_back(PropertyDictionary{{"name", folder.name},
                                         {"password", folder.password},
                                         {"dir", folder.dir},
                                         {"add", folder.add}});
    entries[kFiles] = std::move(files);
  };
  // The stored list is replaced whole, so the old one is never read: a long list is not
  // held twice.
  bool saved = store->updateDomain(*preferenceName, replaceList, nullptr, {kJobControl, kFiles});
  if (!saved) report(*this, kFoldersNotKept + store->problem());
  return saved;
}
