// The data of one row of the Uninstall list: one program's Uninstall subkey.
// Only the installed-program scan makes entries; a row owns its entry.
#pragma once

#include <string>

#include "Classes.h"

class TPRegistryEntry : public TObject {
public:
    TPRegistryEntry(std::string keyName, std::string displayName, std::string uninstallString)
        : KeyName(std::move(keyName)), DisplayName(std::move(displayName)), UninstallString(std::move(uninstallString))
    {
    }

    std::string GetKeyName() const { return KeyName; }
    std::string GetDisplayName() const { return DisplayName; }
    std::string GetUninstallString() const { return UninstallString; }
    std::string GetPublisher() const { return Publisher; }
    void SetPublisher(const std::string& value) { Publisher = value; }
    std::string GetVersion() const { return Version; }
    void SetVersion(const std::string& value) { Version = value; }
    int GetIconIndex() const { return IconIndex; }
    void SetIconIndex(int value) { IconIndex = value; }

private:
    std::string KeyName;         // the subkey under the Uninstall key
    std::string DisplayName;     // "DisplayName", else KeyName
    std::string UninstallString; // "UninstallString" unchanged; "" when missing
    std::string Publisher;       // "Publisher"; "" when missing
    std::string Version;         // "DisplayVersion"; "" when missing
    int IconIndex = 0;           // 0 no icon, 1 phantom, 2 and up its own icon
};
