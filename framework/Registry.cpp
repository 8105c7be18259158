#include "Registry.h"

#include <vector>

namespace {

bool IsRelative(const std::string& key)
{
    return key.empty() || key[0] != '\\';
}

std::string StripRoot(const std::string& key)
{
    return IsRelative(key) ? key : key.substr(1);
}

// The rights KeyExists asks for: reading and enumerating, nothing more.
const REGSAM kReadRights = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

[[noreturn]] void Raise(const char* format, const std::string& what)
{
    throw ERegistryException(Format(format, what.c_str()));
}

// Enumerates names by index with a buffer that grows as the registry asks,
// so no name is cut whatever its length.
template <typename Enum>
void EnumerateNames(HKEY key, DWORD maxLength, TStringList* names, Enum enumerate)
{
    std::vector<char> buffer(static_cast<size_t>(maxLength) + 1);
    for (DWORD index = 0;; ++index) {
        LONG status;
        DWORD length;
        for (;;) {
            length = static_cast<DWORD>(buffer.size());
            status = enumerate(key, index, buffer.data(), &length);
            if (status != ERROR_MORE_DATA)
                break;
            buffer.resize(buffer.size() * 2);
        }
        if (status != ERROR_SUCCESS)
            break;
        names->Add(std::string(buffer.data(), length));
    }
}

// Deletes every subkey of key, deepest first, from the last index down.
void DeleteSubtree(HKEY key)
{
    DWORD count = 0, maxLength = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &maxLength, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<char> name(static_cast<size_t>(maxLength) + 1);
    for (DWORD index = count; index-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        HKEY child;
        if (RegOpenKeyExA(key, name.data(), 0, KEY_ALL_ACCESS, &child) == ERROR_SUCCESS) {
            DeleteSubtree(child);
            RegCloseKey(child);
        }
        RegDeleteKeyA(key, name.data());
    }
}

} // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY root)
{
    if (root == FRootKey)
        return;
    CloseKey();
    FRootKey = root;
}

HKEY TRegistry::BaseKey(bool relative) const
{
    return (FCurrentKey == nullptr || !relative) ? FRootKey : FCurrentKey;
}

HKEY TRegistry::OpenRaw(const std::string& key) const
{
    HKEY result = nullptr;
    if (RegOpenKeyExA(BaseKey(IsRelative(key)), StripRoot(key).c_str(), 0, FAccess, &result) != ERROR_SUCCESS)
        return nullptr;
    return result;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const bool relative = IsRelative(key);
    const std::string path = StripRoot(key);
    HKEY opened = nullptr;
    LONG status;
    if (canCreate && !path.empty()) {
        DWORD disposition;
        status = RegCreateKeyExA(BaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                                 nullptr, &opened, &disposition);
    } else {
        status = RegOpenKeyExA(BaseKey(relative), path.c_str(), 0, FAccess, &opened);
    }
    if (status != ERROR_SUCCESS)
        return false; // the previous key stays open and current
    std::string newPath = path;
    if (relative && !FCurrentPath.empty())
        newPath = path.empty() ? FCurrentPath : FCurrentPath + "\\" + path;
    CloseKey();
    FCurrentKey = opened;
    FCurrentPath = newPath;
    return true;
}

void TRegistry::CloseKey()
{
    if (FCurrentKey != nullptr) {
        RegCloseKey(FCurrentKey);
        FCurrentKey = nullptr;
        FCurrentPath.clear();
    }
}

bool TRegistry::CreateKey(const std::string& key)
{
    HKEY created = nullptr;
    DWORD disposition;
    if (RegCreateKeyExA(BaseKey(IsRelative(key)), StripRoot(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        FAccess, nullptr, &created, &disposition) != ERROR_SUCCESS)
        Raise("Failed to create key %s", key);
    RegCloseKey(created);
    return true;
}

bool TRegistry::KeyExists(const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKey(IsRelative(key)), StripRoot(key).c_str(), 0, kReadRights, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool TRegistry::ValueExists(const std::string& name)
{
    if (FCurrentKey == nullptr)
        return false;
    return RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& key)
{
    HKEY target = OpenRaw(key);
    if (target != nullptr) {
        DeleteSubtree(target);
        RegCloseKey(target);
    }
    return RegDeleteKeyA(BaseKey(IsRelative(key)), StripRoot(key).c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name)
{
    if (FCurrentKey == nullptr)
        return false;
    return RegDeleteValueA(FCurrentKey, name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name)
{
    if (FCurrentKey == nullptr)
        return "";
    // Most values fit the first buffer, so most reads take one query; a
    // larger one is read again with the size the registry asks for (the
    // value may grow between two queries).
    std::vector<char> data(256);
    DWORD type = 0, size = static_cast<DWORD>(data.size() - 1);
    LONG status = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                   &size);
    if ((status != ERROR_SUCCESS && status != ERROR_MORE_DATA) || (status == ERROR_SUCCESS && size == 0))
        return ""; // missing or empty, whatever its type
    while (status == ERROR_MORE_DATA) {
        data.assign(static_cast<size_t>(size) + 1, '\0');
        status = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS)
        Raise("Failed to get data for '%s'", name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        Raise("Invalid data type for '%s'", name);
    std::string text(data.data(), size);
    std::string::size_type nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
    return text;
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    if (FCurrentKey == nullptr ||
        RegSetValueExA(FCurrentKey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        Raise("Failed to set data for '%s'", name);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int bufferSize)
{
    if (FCurrentKey == nullptr)
        return 0;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return 0;
    const bool classified = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD;
    if (classified || bufferSize < 0 || size > static_cast<DWORD>(bufferSize))
        Raise("Invalid data type for '%s'", name);
    if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        Raise("Failed to get data for '%s'", name);
    return static_cast<int>(size);
}

bool TRegistry::ReadValueData(const std::string& name, TValueData& value)
{
    value = TValueData{};
    if (FCurrentKey == nullptr)
        return false;
    DWORD type = REG_NONE, size = 0;
    LONG status = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) { // the value may grow between the queries
        value.Bytes.resize(size);
        status = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, size ? value.Bytes.data() : nullptr,
                                  &size);
        if (status == ERROR_SUCCESS) {
            value.Type = type;
            value.Bytes.resize(size);
            return true;
        }
    }
    value = TValueData{};
    return false;
}

void TRegistry::WriteValueData(const std::string& name, const TValueData& value)
{
    if (FCurrentKey == nullptr ||
        RegSetValueExA(FCurrentKey, name.c_str(), 0, value.Type, value.Bytes.empty() ? nullptr : value.Bytes.data(),
                       static_cast<DWORD>(value.Bytes.size())) != ERROR_SUCCESS)
        Raise("Failed to set data for '%s'", name);
}

void TRegistry::GetKeyNames(TStringList* names)
{
    names->Clear();
    DWORD maxLength = 0;
    if (FCurrentKey == nullptr ||
        RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    EnumerateNames(FCurrentKey, maxLength, names, [](HKEY key, DWORD index, char* name, DWORD* length) {
        return RegEnumKeyExA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

void TRegistry::GetValueNames(TStringList* names)
{
    names->Clear();
    DWORD maxLength = 0;
    if (FCurrentKey == nullptr ||
        RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLength,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    EnumerateNames(FCurrentKey, maxLength, names, [](HKEY key, DWORD index, char* name, DWORD* length) {
        return RegEnumValueA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}
