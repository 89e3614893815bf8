#include "settings/settings_store.h"

#include "common/bytes.h"
#include "common/control_numbers.h"
#include "platform/path.h"
#include "platform/legacy_text.h"
#include "platform/process.h"
#include "settings/key_value_file.h"
#include "ui/controls/control_seam.h"

namespace vudo {

WindowLayout SavedLayout;

namespace {

// The layout's keys, in the order they are written.
struct LayoutKey {
  const char* key;
  int WindowLayout::*field;
};
constexpr LayoutKey kLayoutKeys[] = {
    {"windowleft", &WindowLayout::left},          {"windowtop", &WindowLayout::top},
    {"windowwidth", &WindowLayout::width},        {"windowheight", &WindowLayout::height},
    {"filenamewidth", &WindowLayout::name_width}, {"directorywidth", &WindowLayout::directory_width},
};
constexpr const char* kMaximizedKey = "windowmaximized";

// All keys or none: a layout half there (edited by hand, say) is not used.
WindowLayout ReadLayout() {
  WindowLayout layout;
  for (const LayoutKey& entry : kLayoutKeys)
    if (!ParseWholeNumber(GetKeyValue(entry.key), layout.*entry.field)) return {};
  int maximized = 0;
  if (!ParseWholeNumber(GetKeyValue(kMaximizedKey), maximized)) return {};
  layout.maximized = maximized != 0;
  if (layout.width <= 0 || layout.height <= 0 || layout.name_width <= 0 || layout.directory_width <= 0) return {};
  layout.saved = true;
  return layout;
}

void WriteLayout(const WindowLayout& layout) {
  for (const LayoutKey& entry : kLayoutKeys) {
    PutKeyValue(entry.key, std::to_string(layout.*entry.field));
    if (entry.field == &WindowLayout::height) PutKeyValue(kMaximizedKey, layout.maximized ? "1" : "0");
  }
}

constexpr int kRecentKept = 10;

std::string RecentKey(int index) { return "recentsearchdir" + std::to_string(index); }

// The settings file's path; empty when there is no directory to keep it in.
std::string SettingsPath() {
  const std::string directory = SettingsDirectory();
  return directory.empty() ? std::string() : directory + kSettingsFileName;
}

// A value as the program holds text: under UTF-8, a value that is no UTF-8
// was written in the system's legacy code page (by an earlier build, or by
// hand) and is converted; saving writes it back as UTF-8.
std::string Setting(const char* key) {
  std::string value = GetKeyValue(key);
  if (Utf8Text() && !IsValidUtf8(value)) value = platform::FromLegacyCodePage(value);
  return value;
}

}  // namespace

std::string SettingsDirectoryFor(const std::string& program_path, const std::string& current_directory) {
  std::string directory = PathPart(program_path);
  if (directory == DevelopmentDirectory) directory = current_directory;
  // Without a directory the file would land in the current drive's root, or
  // wherever the current directory happens to be: better kept nowhere.
  if (directory.empty()) return {};
  // PathPart ends at either slash, so either one ends the directory.
  if (directory.back() != '\\' && directory.back() != '/') directory += platform::kSeparator;
  return directory;
}

std::string SettingsDirectory() {
  return SettingsDirectoryFor(platform::ProgramPath(), platform::CurrentDirectory());
}

void LoadSettings() {
  ControlSetText(kStartDirectoryCombo, "");
  ControlSetText(kPatternField, "");
  ControlSetText(kContainsField, "");
  // Nothing is put after a failed open, so the file is never created here.
  const std::string path = SettingsPath();
  if (path.empty() || !OpenKeyValueFile(path)) return;
  ControlSetText(kStartDirectoryCombo, Setting("searchdir"));
  ControlSetText(kPatternField, Setting("filename"));
  ControlSetText(kContainsField, Setting("contains"));
  for (int i = 0; i < kRecentKept; ++i) {
    const std::string directory = Setting(RecentKey(i).c_str());
    if (!directory.empty()) ControlItemAdd(kStartDirectoryCombo, kAppend, directory);
  }
  SavedLayout = ReadLayout();
  CloseKeyValueFile();
}

void SaveSettings() {
  const std::string path = SettingsPath();
  if (path.empty() || !CreateKeyValueFile(path)) return;
  PutKeyValue("searchdir", ControlText(kStartDirectoryCombo));
  PutKeyValue("filename", ControlText(kPatternField));
  PutKeyValue("contains", ControlText(kContainsField));
  int written = 0;
  for (int i = 0; i < kRecentKept; ++i) {
    const std::string directory = ControlItemText(kStartDirectoryCombo, i);
    if (!directory.empty()) PutKeyValue(RecentKey(written++), directory);
  }
  if (SavedLayout.saved) WriteLayout(SavedLayout);
  CloseKeyValueFile();
}

}  // namespace vudo
