// Registry wrapper: one root key and at most one open key.
//
// Paths that begin with "\" are taken from the root (the backslash dropped);
// other paths are relative to the open key, or to the root when none is open.
// A failed OpenKey keeps the previously open key current: callers that write
// or delete after an open must check its result first.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Classes.h"
#include "SysUtils.h"

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry : public TObject {
public:
    TRegistry(); // root HKEY_CURRENT_USER, KEY_ALL_ACCESS
    explicit TRegistry(REGSAM access);
    ~TRegistry() override;

    HKEY GetRootKey() const { return FRootKey; }
    // A root different from the current one closes the open key.
    void SetRootKey(HKEY root);

    HKEY CurrentKey() const { return FCurrentKey; }
    const std::string& CurrentPath() const { return FCurrentPath; }

    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    bool CreateKey(const std::string& key);
    bool KeyExists(const std::string& key);
    bool ValueExists(const std::string& name);
    bool DeleteKey(const std::string& key);
    bool DeleteValue(const std::string& name);

    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    int ReadBinaryData(const std::string& name, void* buffer, int bufferSize);

    // A value as stored: its type and its bytes, whatever the type. Moving a
    // value through these keeps it exactly as it was.
    struct TValueData {
        DWORD Type = REG_NONE;
        std::vector<BYTE> Bytes;
    };
    // False when no key is open or it has no value of that name.
    bool ReadValueData(const std::string& name, TValueData& value);
    // Raises "Failed to set data for '%s'" when it cannot write.
    void WriteValueData(const std::string& name, const TValueData& value);

    void GetKeyNames(TStringList* names);
    void GetValueNames(TStringList* names);

private:
    HKEY BaseKey(bool relative) const;
    // Opens key (relative or absolute path) with the current access; 0 on failure.
    HKEY OpenRaw(const std::string& key) const;

    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    std::string FCurrentPath;
    REGSAM FAccess = KEY_ALL_ACCESS;
};
