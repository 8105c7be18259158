// The icons of the installed programs: found in the program's own
// "DisplayIcon", in the icon that Windows Installer keeps for its products,
// or in the program path of the Add/Remove Programs cache, and appended to
// both image lists of the Uninstall list.
#include "Unit1.h"

#include <shellapi.h>

#include <vector>

#include "UninstallValues.h"

namespace {

const char kInstallerProducts[] = "\\Software\\Classes\\Installer\\Products\\";
const char kArpCache[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";
// The cache value holds a header of 28 bytes, then the program's path.
const int kCacheSize = 600;
const int kCachePathOffset = 28;

// The zero-terminated UTF-16 path that starts at the offset, within the
// bytes read; "" when the bytes end before its terminating zero.
std::string CachedProgramPath(const unsigned char* bytes, int count)
{
    std::wstring path;
    for (int i = kCachePathOffset; i + 1 < count; i += 2) {
        wchar_t c = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c == L'\0') {
            if (path.empty()) return "";
            int size = WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0,
                                           nullptr, nullptr);
            std::string text(static_cast<size_t>(size), '\0');
            WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &text[0], size, nullptr,
                                nullptr);
            return text;
        }
        path.push_back(c);
    }
    return "";
}

} // namespace

void TForm1::ResetProgramIcons()
{
    ilUninstallLargeIcons->Clear();
    ilUninstallSmallIcons->Clear();
    ilUninstallLargeIcons->AddImages(ilNoIconNagy);
    ilUninstallSmallIcons->AddImages(ilNoIconKicsi);
    NextIconIndex = 2;
}

int TForm1::FindProgramIcon(std::string KeyName)
{
    std::string reference;
    if (Registry->ValueExists("DisplayIcon") && ReadTextValue(*Registry, "DisplayIcon", reference)) {
        int index = AddProgramIcon(reference);
        if (index != 0) return index;
    }

    std::string path;
    // A Windows Installer product: its key name holds the product code.
    std::string::size_type brace = KeyName.find('{');
    if (brace != std::string::npos && brace + 9 < KeyName.size() && KeyName[brace + 9] == '-') {
        std::string packed = PackInstallerGuid(KeyName.substr(brace, 37));
        if (Registry->OpenKey(kInstallerProducts + packed, false)) ReadTextValue(*Registry, "ProductIcon", path);
    }
    // The program's cache key is opened relative to the cache, as its
    // Uninstall key is: a long key name would pass the ANSI path limit.
    if (path.empty() && Registry->OpenKey(kArpCache, false) && Registry->OpenKey(KeyName, false)) {
        // A fresh buffer: nothing of another program's value may carry over.
        std::vector<unsigned char> bytes(kCacheSize, 0);
        int count = 0;
        try {
            count = Registry->ReadBinaryData("SlowInfoCache", bytes.data(), kCacheSize);
        } catch (const ERegistryException&) {
            count = 0; // a string, a number or an oversized value: no path
        }
        path = CachedProgramPath(bytes.data(), count);
    }
    return path.empty() ? 0 : AddProgramIcon(path);
}

int TForm1::AddProgramIcon(std::string IconReference)
{
    // "file,index" splits at its first comma; the file is used as written.
    std::string file = IconReference;
    int index = 0;
    std::string::size_type comma = IconReference.find(',');
    if (comma != std::string::npos) {
        file = IconReference.substr(0, comma);
        index = StrToIntDef(IconReference.substr(comma + 1), 0);
    }
    HICON large = nullptr, small = nullptr;
    // Only a count of extracted icons makes the handles valid: a file
    // without icons may leave anything in them.
    const UINT extracted = ExtractIconExA(file.c_str(), index, &large, &small, 1);
    if (extracted == 0 || extracted == UINT_MAX) large = small = nullptr;
    if (!large) {
        if (small) DestroyIcon(small);
        return 0;
    }
    try {
        ilUninstallLargeIcons->AddIcon(large);
        // Both lists must keep the same index for the icon.
        ilUninstallSmallIcons->AddIcon(small ? small : large);
    } catch (...) {
        DestroyIcon(large);
        if (small) DestroyIcon(small);
        throw;
    }
    DestroyIcon(large);
    if (small) DestroyIcon(small);
    return NextIconIndex++;
}

std::string TForm1::PackInstallerGuid(const std::string& Guid)
{
    // The slices of "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (first, last
    // position, counted from 1), each taken in reverse order.
    static const int kSlices[][2] = {{2, 9},   {11, 14}, {16, 19}, {21, 22}, {23, 24}, {26, 27},
                                     {28, 29}, {30, 31}, {32, 33}, {34, 35}, {36, 37}};
    const int length = static_cast<int>(Guid.size());
    std::string packed;
    for (const auto& slice : kSlices)
        for (int position = slice[1]; position >= slice[0]; --position)
            if (position <= length) packed.push_back(Guid[static_cast<size_t>(position - 1)]);
    return packed;
}
