// Reading and adding JobPrivateValues in cupsd.conf text.
#include "hosts/cli/private_values.h"

#include <algorithm>
#include <sstream>

namespace jc::cli {

namespace {

std::vector<std::string> words(std::string_view line) {
  std::istringstream in{std::string(line)};
  std::vector<std::string> out;
  for (std::string word; in >> word;) out.push_back(word);
  return out;
}

bool caseEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// One <Policy> block: its name, where its opening line ends, and its JobPrivateValues line.
struct Policy {
  std::string name;
  std::size_t afterOpening = 0;     // offset just past the <Policy ...> line
  std::size_t valuesLine = 0;       // offset of the JobPrivateValues line, if any
  std::size_t valuesLineEnd = 0;    // its end (before the line feed)
  std::vector<std::string> values;  // its words after the directive
  bool hasValues = false;
};

std::vector<Policy> policies(std::string_view conf) {
  std::vector<Policy> found;
  bool inside = false;
  for (std::size_t at = 0; at < conf.size();) {
    std::size_t end = conf.find('\n', at);
    if (end == std::string_view::npos) end = conf.size();
    std::vector<std::string> w = words(conf.substr(at, end - at));
    if (!w.empty() && caseEqual(w[0].substr(0, 7), "<Policy")) {
      inside = true;
      Policy p;
      p.name = w.size() > 1 ? w[1].substr(0, w[1].find('>')) : "";
      p.afterOpening = std::min(end + 1, conf.size());
      found.push_back(p);
    } else if (!w.empty() && caseEqual(w[0], "</Policy>")) {
      inside = false;
    } else if (inside && !w.empty() && caseEqual(w[0], "JobPrivateValues")) {
      Policy& p = found.back();
      p.hasValues = true;
      p.valuesLine = at;
      p.valuesLineEnd = end;
      p.values.assign(w.begin() + 1, w.end());
    }
    at = end + 1;
  }
  return found;
}

std::vector<std::string> shown(const Policy& p, const std::vector<std::string>& names) {
  for (const std::string& v : p.values)
    if (caseEqual(v, "all")) return {};
  std::vector<std::string> out;
  for (const std::string& name : names)
    if (std::find(p.values.begin(), p.values.end(), name) == p.values.end()) out.push_back(name);
  return out;
}

}  // namespace

std::vector<std::string> policiesShowing(std::string_view conf,
                                         const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const Policy& p : policies(conf)) {
    std::vector<std::string> missing = shown(p, names);
    if (missing.empty()) continue;
    std::string line = p.name + ":";
    for (std::size_t i = 0; i < missing.size(); ++i) line += (i ? ", " : " ") + missing[i];
    out.push_back(line);
  }
  return out;
}

std::string withPrivateValues(std::string_view conf, const std::vector<std::string>& names) {
  std::string out(conf);
  std::vector<Policy> found = policies(conf);
  // From the last policy back, so the offsets of the earlier ones stay right.
  for (auto p = found.rbegin(); p != found.rend(); ++p) {
    std::vector<std::string> missing = shown(*p, names);
    if (missing.empty()) continue;
    std::string added;
    for (const std::string& name : missing) added += " " + name;
    if (!p->hasValues) {
      out.insert(p->afterOpening, "  JobPrivateValues default" + added + "\n");
    } else if (p->values.size() == 1 && caseEqual(p->values[0], "none")) {
      std::size_t none = out.rfind(p->values[0], p->valuesLineEnd);
      out.replace(none, p->values[0].size(), added.substr(1));
    } else {
      std::size_t end = p->valuesLineEnd;
      while (end > p->valuesLine &&
             (out[end - 1] == ' ' || out[end - 1] == '\t' || out[end - 1] == '\r'))
        --end;
      out.insert(end, added);
    }
  }
  return out;
}

}  // namespace jc::cli
