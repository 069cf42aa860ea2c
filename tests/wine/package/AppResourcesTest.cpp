// The resources of the Windows program, read back from the built exe the way Explorer and the
// system read them: the icon group and its images, the version block, the manifest.

#include "WineSupport.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace tessaly::test {
namespace {

// Every exe that carries the resources.
std::vector<std::string> Programs()
{
    return {TESSALY_EXE};
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

class DataModule {
public:
    explicit DataModule(const std::string& path)
        : module_(LoadLibraryExA(WindowsPath(path).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {}
    ~DataModule()
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    HMODULE get() const { return module_; }

    // The resource's bytes; empty when it is missing.
    std::string resource(LPCSTR name, LPCSTR type) const
    {
        HRSRC found = FindResourceA(module_, name, type);
        if (found == nullptr)
            return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const auto* bytes = static_cast<const char*>(LockResource(loaded));
        return bytes == nullptr ? std::string()
                                : std::string(bytes, SizeofResource(module_, found));
    }

private:
    HMODULE module_;
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    // Numeric IDs only: a named group would sort after every numbered one.
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<ULONG_PTR>*>(names)->push_back(
            reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}

TEST(AppResourcesTest, IconHasEachSizeAtEachDepthAndEveryImageDecodes)
{
    const std::set<std::pair<int, int>> expected{{48, 4},  {48, 8}, {48, 32}, {32, 4}, {32, 8},
                                                 {32, 32}, {16, 4}, {16, 8},  {16, 32}};
    for (const std::string& program : Programs()) {
        SCOPED_TRACE(program);
        DataModule module(program);
        ASSERT_NE(module.get(), nullptr) << GetLastError();

        // Explorer and the window class use the first icon group: ours must be it, with ID 1.
        std::vector<ULONG_PTR> groups;
        EnumResourceNamesA(module.get(), RT_GROUP_ICON, CollectName,
                           reinterpret_cast<LONG_PTR>(&groups));
        ASSERT_FALSE(groups.empty());
        EXPECT_EQ(*std::min_element(groups.begin(), groups.end()), 1u);

        const std::string group = module.resource(MAKEINTRESOURCEA(1), RT_GROUP_ICON);
        ASSERT_GE(group.size(), sizeof(GroupIconHeader));
        GroupIconHeader header{};
        memcpy(&header, group.data(), sizeof(header));
        EXPECT_EQ(header.type, 1);
        ASSERT_EQ(group.size(), sizeof(header) + header.count * sizeof(GroupIconEntry));

        std::set<std::pair<int, int>> found;
        for (WORD i = 0; i < header.count; ++i) {
            GroupIconEntry entry{};
            memcpy(&entry, group.data() + sizeof(header) + i * sizeof(entry), sizeof(entry));
            const int size = entry.width;
            SCOPED_TRACE(std::to_string(size) + " px, " + std::to_string(entry.bitCount) + " bpp");
            EXPECT_EQ(entry.height, entry.width);
            found.emplace(size, entry.bitCount);

            // The image itself says the same as the directory.
            std::string image = module.resource(MAKEINTRESOURCEA(entry.id), RT_ICON);
            ASSERT_EQ(image.size(), entry.bytesInRes);
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER bitmap{};
            memcpy(&bitmap, image.data(), sizeof(bitmap));
            EXPECT_EQ(bitmap.biWidth, size);
            EXPECT_EQ(bitmap.biHeight, 2 * size); // the colour image and its mask
            EXPECT_EQ(bitmap.biBitCount, entry.bitCount);

            HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(image.data()),
                                                  static_cast<DWORD>(image.size()), TRUE,
                                                  0x00030000, size, size, LR_DEFAULTCOLOR);
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP color{};
            GetObjectA(info.hbmColor, sizeof(color), &color);
            EXPECT_EQ(color.bmWidth, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
        EXPECT_EQ(found, expected);
    }
}

TEST(AppResourcesTest, VersionIs1_0_0_18AndNamesTessaly)
{
    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "Tessaly"},
        {"ProductName", "Tessaly"},
        {"FileVersion", "1.0.0.18"},
        {"ProductVersion", "1.0.0.18"},
        {"OriginalFilename", "tessaly.exe"},
        {"InternalName", "tessaly"},
        {"CompanyName", "The Tessaly developers"},
    };
    for (const std::string& program : Programs()) {
        SCOPED_TRACE(program);
        const std::string path = WindowsPath(program);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000012u);
        EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwProductVersionLS, 0x00000012u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

        for (const auto& [name, value] : strings) {
            const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
            char* text = nullptr;
            ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text),
                                       &length))
                << name;
            EXPECT_STREQ(text, value) << name;
        }
    }
}

TEST(AppResourcesTest, ManifestIsValidAndAsksForSystemDpiAwareness)
{
    for (const std::string& program : Programs()) {
        SCOPED_TRACE(program);
        DataModule module(program);
        ASSERT_NE(module.get(), nullptr);
        const std::string manifest = module.resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
        EXPECT_NE(manifest.find("version=\"1.0.0.18\""), std::string::npos);
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(manifest.find("/2005/WindowsSettings\">true</dpiAware>"), std::string::npos);

        // The loader builds the process's activation context from it; a manifest it rejects
        // keeps the program from starting at all.
        const std::string path = WindowsPath(program);
        ACTCTXA context{};
        context.cbSize = sizeof(context);
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.lpSource = path.c_str();
        context.lpResourceName = MAKEINTRESOURCEA(1);
        HANDLE created = CreateActCtxA(&context);
        EXPECT_NE(created, INVALID_HANDLE_VALUE) << GetLastError();
        if (created != INVALID_HANDLE_VALUE)
            ReleaseActCtx(created);
    }
}

} // namespace
} // namespace tessaly::test
