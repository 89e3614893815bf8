// The resources inside Vudo.exe, read the way the platform reads them: icon 1
// (an image at 8 bits per pixel for each size Windows picks from at the usual
// display scales), the manifest asking for common
// controls 6.0.0.0 on the build's machine (x86 or amd64), and the version
// block.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string VudoExe() {
  std::string path = "Z:";
  for (const char* c = VUDO_EXE; *c; ++c) path += *c == '/' ? '\\' : *c;
  return path;
}

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(VudoExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }
  std::string Resource(LPCSTR type, LPCSTR name) {
    const HRSRC found = FindResourceA(module_, name, type);
    if (!found) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    return std::string(data, SizeofResource(module_, found));
  }
  HMODULE module_ = nullptr;
};

#pragma pack(push, 2)
struct GroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bits;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST_F(Resources, AnIconImageForEverySizeOfTheUsualScales) {
  const std::string group = Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEA(1));
  ASSERT_GE(group.size(), 6u);
  const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(group.size(), 6u + count * sizeof(GroupEntry));
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    const auto* entry = reinterpret_cast<const GroupEntry*>(group.data() + 6) + i;
    const int size = entry->width ? entry->width : 256;
    sizes.push_back(size);
    SCOPED_TRACE(size);
    EXPECT_EQ(entry->height, entry->width);
    EXPECT_EQ(entry->bits, 8);
    // The image itself: what Windows draws, of the size its entry says.
    const std::string image = Resource(MAKEINTRESOURCEA(3) /* RT_ICON */, MAKEINTRESOURCEA(entry->id));
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
    EXPECT_EQ(header->biWidth, size);
    EXPECT_EQ(header->biHeight, 2 * size);  // image and mask
    EXPECT_EQ(header->biBitCount, 8);
    const HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image.data())),
                                                static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size, 0);
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

TEST_F(Resources, AManifestForCommonControlsSixOnTheBuildsMachine) {
  const std::string manifest = Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, MAKEINTRESOURCEA(1));
  ASSERT_FALSE(manifest.empty());
  for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "6595b64144ccf1df", "supportedOS",
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                           ">true/pm</dpiAware>"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  // The program's own identity and the common controls it asks for both name
  // the machine it was built for; Windows refuses a mismatch.
  std::vector<std::string> machines;
  const std::string key = "processorArchitecture=\"";
  for (std::size_t at = manifest.find(key); at != std::string::npos; at = manifest.find(key, at + 1)) {
    const std::size_t start = at + key.size();
    machines.push_back(manifest.substr(start, manifest.find('"', start) - start));
  }
  EXPECT_EQ(machines, (std::vector<std::string>{VUDO_MANIFEST_ARCH, VUDO_MANIFEST_ARCH}));
  EXPECT_STREQ(VUDO_MANIFEST_ARCH, sizeof(void*) == 8 ? "amd64" : "x86");
}

TEST_F(Resources, AVersionBlockWithTheProductName) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(VudoExe().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(VudoExe().c_str(), 0, size, block.data()));
  char* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\ProductName",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_STREQ(value, "Vudo (Pathquest)");
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\ProductVersion",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_STREQ(value, VUDO_VERSION);
}

}  // namespace
