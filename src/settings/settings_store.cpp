#include "settings/settings_store.h"

#include "common/bytes.h"
#include "common/control_numbers.h"
#include "platform/path.h"
#include "platform/process.h"
#include "settings/key_value_file.h"
#include "ui/controls/control_seam.h"

namespace vudo {
namespace {

constexpr int kRecentKept = 10;

std::string RecentKey(int index) { return "recentsearchdir" + std::to_string(index); }

std::string SettingsPath() { return SettingsDirectory() + kSettingsFileName; }

}  // namespace

std::string SettingsDirectoryFor(const std::string& program_path, const std::string& current_directory) {
  std::string directory = PathPart(program_path);
  if (directory == DevelopmentDirectory) directory = current_directory;
  // PathPart ends at either slash, so either one ends the directory.
  if (directory.empty() || (directory.back() != '\\' && directory.back() != '/')) directory += platform::kSeparator;
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
  if (!OpenKeyValueFile(SettingsPath())) return;
  ControlSetText(kStartDirectoryCombo, GetKeyValue("searchdir"));
  ControlSetText(kPatternField, GetKeyValue("filename"));
  ControlSetText(kContainsField, GetKeyValue("contains"));
  for (int i = 0; i < kRecentKept; ++i) {
    const std::string directory = GetKeyValue(RecentKey(i));
    if (!directory.empty()) ControlItemAdd(kStartDirectoryCombo, kAppend, directory);
  }
  CloseKeyValueFile();
}

void SaveSettings() {
  if (!CreateKeyValueFile(SettingsPath())) return;
  PutKeyValue("searchdir", ControlText(kStartDirectoryCombo));
  PutKeyValue("filename", ControlText(kPatternField));
  PutKeyValue("contains", ControlText(kContainsField));
  int written = 0;
  for (int i = 0; i < kRecentKept; ++i) {
    const std::string directory = ControlItemText(kStartDirectoryCombo, i);
    if (!directory.empty()) PutKeyValue(RecentKey(written++), directory);
  }
  CloseKeyValueFile();
}

}  // namespace vudo
