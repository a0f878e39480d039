// The per-printer preference store as the panel uses it: the held entries, the
// authentication choice, the printer address and the last folder list, kept in the user's
// defaults under the domain "vorelia.mfp.<printer ID>", dictionary "Job Control".
#include "platform/io/user_defaults.h"
#include "platform/text/text_encoding.h"
#include "plugin/panel.h"
#include "plugin/panel_held_entries.h"
#include "plugin/trace.h"
#include "settings/keys.h"
#include "settings/value_text.h"

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

// The hold-button mask stored in `entries`; nullopt unless it is an integer that fits 32
// signed bits.
std::optional<std::uint32_t> storedMask(const PropertyDictionary& entries) {
  auto hold = entries.find(kHoldButton);
  const std::int64_t* mask = hold == entries.end() ? nullptr : hold->second.integer();
  if (!mask || *mask < INT32_MIN || *mask > INT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(*mask));
}

// What a save compares against: the held entries' values, their mask and the
// authentication choice of `entries` (not the folder list, which may be long).
PropertyDictionary heldPart(const PropertyDictionary* entries) {
  PropertyDictionary part;
  if (!entries) return part;
  std::vector<const char*> keys{kHoldButton, kAuthentication};
  for (const HeldEntryRow& row : kHeldEntries) keys.push_back(row.preferenceName);
  for (const char* key : keys)
    if (auto it = entries->find(key); it != entries->end()) part.emplace(key, it->second);
  return part;
}

// Whether a save writes `now` at `key` of `entries`: always without a baseline (nothing was
// loaded) and where the store has no value yet; otherwise only when the dialog changed it
// since `before` (where an absent value counts as `blank`, what an untouched field gives).
bool writes(const PropertyDictionary* before, const PropertyDictionary& entries, const char* key,
            const PropertyValue& now, const PropertyValue& blank) {
  if (!before || !entries.contains(key)) return true;
  auto it = before->find(key);
  return (it == before->end() ? blank : it->second) != now;
}

// The first `limit` bytes of a text in `encoding`, up to its first 0 byte.
std::string bytesOf(const std::string& text, std::uint32_t encoding, std::size_t limit) {
  return std::string(
      untilNul(jc::convertText(text, encoding, SIZE_MAX, limit, jc::Unconvertible::Stop).bytes));
}

// The stored-key cipher of `plain` as hex ("" for an empty text).
std::string cipherHex(const std::string& plain, std::size_t blockBytes) {
  return plain.empty() ? std::string() : storedCipherHex(plain, blockBytes);
}

// An entry in its stored form: plain text, or its stored-key cipher over the text's bytes
// (the folder pass code's ASCII bytes), as hex or, for the login name, Base64. nullopt
// when there is nothing to store: a field the layout lacks leaves its remembered value
// untouched, and so does a held login name whose real name is not known.
std::optional<std::string> storedForm(const VoreliaPrintPdeTz630eJC& panel,
                                      const HeldEntryRow& row) {
  const jc::Outlet<jc::TextField>& field = panel.*row.field;
  if (!field) return std::nullopt;
  const std::uint32_t core = jc::coreEncodingFromStringEncoding(panel.systemEncoding);
  const std::size_t blockBytes = row.cipherDigits / 2;
  if (row.entry == HeldEntry::LoginName) {
    std::optional<std::string> source = panel.loginNameButton->state() != 0
                                            ? panel.loginNameStringRef
                                            : std::optional(field->stringValue());
    if (!source) return std::nullopt;
    std::string plain = bytesOf(*source, core, row.limit.bytes);
    return plain.empty() ? std::string() : storedCipherBase64(plain);
  }
  if (row.entry == HeldEntry::FolderPassCode)
    return cipherHex(bytesOf(field->stringValue(), jc::core_encoding::kASCII, 255), blockBytes);
  if (blockBytes != 0)
    return cipherHex(bytesOf(field->stringValue(), core, blockBytes), blockBytes);
  return field->stringValue();
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
  // The baseline is set once, when the dialog opens; a load after a save keeps the one the
  // save left, which is this dialog's own state.
  if (!heldBaseline) heldBaseline = heldPart(entries);
  if (!entries) return;
  // The mask must be an integer that fits 32 signed bits; anything else loads nothing.
  const std::optional<std::uint32_t> mask = storedMask(*entries);
  if (!mask) return;
  const std::uint32_t bits = *mask;

  for (const HeldEntryRow& row : kHeldEntries)
    if (bits & row.bit) this->*row.remembered = stringAt(*entries, row.preferenceName);
  if (auto it = entries->find(kAuthentication); it != entries->end() && it->second.boolean())
    prefAuthenticationBooleanRef = *it->second.boolean();
  prefHoldButtonFlag = bits;
}

bool VoreliaPrintPdeTz630eJC::SaveUserPreference() {
  auto store = openStore(*this, kHeldNotKept);
  if (!store) return false;
  const std::uint32_t mask = jc::holdButtonMask(*this);
  const bool authentication = authenticationRadioButton->state() != 0;  // absent: state 0
  std::vector<std::optional<std::string>> values;
  for (const HeldEntryRow& row : kHeldEntries) values.push_back(storedForm(*this, row));

  PropertyDictionary now;
  bool saved = store->updateDomain(
      *preferenceName,
      [&](PropertyDictionary& domain) {
        PropertyDictionary& entries = jobControl(domain);
        // Only what this dialog changed since it loaded is written over what the store
        // holds now, so entries another dialog held or changed meanwhile stay.
        const PropertyDictionary* before = heldBaseline ? &*heldBaseline : nullptr;
        const std::uint32_t beforeMask = before ? storedMask(*before).value_or(0) : ~mask;
        std::uint32_t merged = storedMask(entries).value_or(0) & jc::kAllHeldBits;
        for (std::size_t i = 0; i < kHeldEntries.size(); ++i) {
          const HeldEntryRow& row = kHeldEntries[i];
          if ((beforeMask ^ mask) & row.bit) merged = (merged & ~row.bit) | (mask & row.bit);
          if (values[i] && writes(before, entries, row.preferenceName, *values[i], ""))
            entries[row.preferenceName] = *values[i];
        }
        if (writes(before, entries, kAuthentication, authentication, false))
          entries[kAuthentication] = authentication;
        entries[kHoldButton] = static_cast<std::int64_t>(static_cast<std::int32_t>(merged));
      },
      &now);
  // From now on this dialog's own state is what later saves compare against, whatever the
  // store holds from other dialogs.
  if (saved) {
    PropertyDictionary own = heldBaseline.value_or(PropertyDictionary{});
    for (std::size_t i = 0; i < kHeldEntries.size(); ++i)
      if (values[i]) own[kHeldEntries[i].preferenceName] = *values[i];
    own[kAuthentication] = authentication;
    own[kHoldButton] = static_cast<std::int64_t>(static_cast<std::int32_t>(mask));
    heldBaseline = std::move(own);
  }
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
