#include "LanguageFile.h"

#include <windows.h>

#include <string>

#include "Registry.h"

namespace {

const char kProductKey[] = "\\Software\\QLN Soft\\Sweepora 2004 Pro";

// No language file has a section name longer than this, and the platform's
// profile reader fails on the longest ones (a name of 32,767 characters crashes
// it): a longer "Language" is taken as a language without a file.
const std::string::size_type kLongestSectionName = 255;

} // namespace

void ReadLanguageHints(TRegistry* registry, const THintDefault* hints, std::size_t count,
                       const std::function<void(const char* key, const char* text)>& apply)
{
    registry->SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry->KeyExists(kProductKey)) return;
    if (!registry->OpenKey(kProductKey, false)) return;
    if (!registry->ValueExists("Language")) return;
    const std::string section = registry->ReadString("Language");

    char directory[260] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    const std::string file = std::string(directory) + "\\lang.lng";

    // Each read is a call of its own on the file; nothing is kept between them.
    const bool readFile = section.size() <= kLongestSectionName;
    for (std::size_t i = 0; i < count; ++i) {
        char buffer[500] = {};
        if (readFile)
            GetPrivateProfileStringA(section.c_str(), hints[i].Key, hints[i].Default, buffer, sizeof buffer,
                                     file.c_str());
        else
            lstrcpynA(buffer, hints[i].Default, sizeof buffer);
        apply(hints[i].Key, buffer);
    }
}
