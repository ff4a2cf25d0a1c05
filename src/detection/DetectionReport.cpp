#include "detection/DetectionReport.h"

#include <algorithm>
#include <cstdio>

#include "base/Json.h"
#include "base/Strings.h"

namespace nudgelet::detection {
namespace {

class ObjectWriter {
 public:
  explicit ObjectWriter(std::string& out) : out_(out) { out_ += '{'; }
  ~ObjectWriter() { out_ += '}'; }

  ObjectWriter& Text(const char* name, const std::wstring& value) {
    Name(name);
    AppendJsonString(out_, value);
    return *this;
  }
  ObjectWriter& Integer(const char* name, std::int64_t value) {
    Name(name);
    out_ += std::to_string(value);
    return *this;
  }
  ObjectWriter& Boolean(const char* name, bool value) {
    Name(name);
    out_ += value ? "true" : "false";
    return *this;
  }
  ObjectWriter& Date(const char* name, double value) {
    Name(name);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    out_ += buffer;
    return *this;
  }
  std::string& Raw(const char* name) {
    Name(name);
    return out_;
  }

 private:
  void Name(const char* name) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += '"';
    out_ += name;
    out_ += "\":";
  }
  std::string& out_;
  bool first_ = true;
};

void WriteSoftInfo(std::string& out, const TSoftInfo& r, const MatchTrace* trace) {
  ObjectWriter o(out);
  o.Text("DisplayName", r.DisplayName).Text("HelpLink", r.HelpLink).Text("Publisher", r.Publisher);
  o.Text("DisplayVersion", r.DisplayVersion)
      .Text("URLInfoAbout", r.URLInfoAbout)
      .Text("URLUpdateInfo", r.URLUpdateInfo);
  o.Text("InstallDateText", r.InstallDateText).Text("SizeText", r.SizeText).Text("RootName", r.RootName);
  o.Text("KeyPath", r.KeyPath).Text("UninstallString", r.UninstallString).Text("QuickUninstall", r.QuickUninstall);
  o.Text("DisplayIcon", r.DisplayIcon).Text("InstallLocation", r.InstallLocation).Integer("IconIndex", r.IconIndex);
  o.Integer("Size", r.Size).Date("InstallDate", r.InstallDate).Date("ScanTime", r.ScanTime);
  o.Integer("RegistrySize", r.RegistrySize).Integer("Index", r.Index).Boolean("Is64BitView", r.Is64BitView);
  o.Boolean("IsUpdate", r.IsUpdate).Boolean("Hidden", r.Hidden).Date("RegistryInstallDate", r.RegistryInstallDate);
  o.Boolean("IsSystemComponent", r.IsSystemComponent).Boolean("IsToolbar", r.IsToolbar).Text("Readme", r.Readme);
  if (trace) {
    std::string& raw = o.Raw("explain");
    ObjectWriter e(raw);
    e.Text("decision", trace->decision).Text("key", trace->key).Text("keyStatement", trace->keyStatement);
    e.Text("installedVersion", trace->installedVersion).Text("newVersion", trace->newVersion);
  }
}

void WriteSoftViewInfo(std::string& out, const TSoftViewInfo& c) {
  ObjectWriter o(out);
  o.Text("DisplayName", c.DisplayName).Text("Publisher", c.Publisher).Text("DisplayIcon", c.DisplayIcon);
  o.Text("InstalledVersion", c.InstalledVersion).Text("NewVersion", c.NewVersion).Boolean("HasUpdate", c.HasUpdate);
  o.Text("Key", c.Key).Integer("Bit", c.Bit).Integer("LanID", c.LanID).Integer("IconIndex", c.IconIndex);
  o.Text("Icon", c.Icon).Text("InstallLocation", c.InstallLocation).Text("InURL", c.InURL).Text("InMD5", c.InMD5);
  o.Integer("InFileSize", c.InFileSize).Text("OutURL", c.OutURL).Text("OutMD5", c.OutMD5);
  o.Integer("OutFileSize", c.OutFileSize).Integer("DownloadSize", c.DownloadSize);
  o.Text("InstallerType", c.InstallerType).Text("DownURL", c.DownURL).Text("Param", c.Param);
  o.Text("MainRegKey", c.MainRegKey).Text("MainExePath", c.MainExePath).Boolean("Superseded", c.Superseded);
}

void WriteViewdata(std::string& out, const TViewdata& v) {
  ObjectWriter o(out);
  o.Text("DisplayName", v.DisplayName).Integer("ImageIndex", v.ImageIndex).Text("Key", v.Key);
  o.Text("BitText", v.BitText).Text("NewVersion", v.NewVersion).Boolean("Listed", v.Listed);
}

template <typename T, typename Write>
void WriteArray(std::string& out, const std::vector<T>& items, Write write) {
  out += '[';
  for (std::size_t i = 0; i < items.size(); ++i) {
    out += i ? ",\n  " : "\n  ";
    write(out, items[i], i);
  }
  out += items.empty() ? "]" : "\n]";
}

}  // namespace

void SortRowsByCaption(std::vector<const TViewdata*>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const TViewdata* a, const TViewdata* b) {
    return LessIgnoreCase{}(a->DisplayName, b->DisplayName);
  });
}

std::string RenderDetectionJson(const DetectionReport& report) {
  std::string out = "{\"inventory\": ";
  WriteArray(out, report.inventory, [&](std::string& o, const TSoftInfo& r, std::size_t i) {
    const MatchTrace* trace =
        report.explanations && i < report.explanations->size() ? &(*report.explanations)[i] : nullptr;
    WriteSoftInfo(o, r, trace);
  });
  out += ",\n\"candidates\": ";
  WriteArray(out, report.candidates,
             [](std::string& o, const TSoftViewInfo& c, std::size_t) { WriteSoftViewInfo(o, c); });
  out += ",\n\"rows\": ";
  WriteArray(out, report.rows, [](std::string& o, const TViewdata* v, std::size_t) { WriteViewdata(o, *v); });
  out += "}\n";
  return out;
}

}  // namespace nudgelet::detection
