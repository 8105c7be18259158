// How the Uninstall Manager reads the values of the entries it lists.
#pragma once

#include <string>

#include "Registry.h"

// Reads the string value of the open key into text. A value that is missing,
// or that holds another type than a string (a number where a name belongs, a
// string where bytes belong), whatever its length, reads as missing: false,
// and text is left as it was. One broken entry must never hide the others nor
// end a scan.
inline bool ReadTextValue(TRegistry& registry, const std::string& name, std::string& text)
{
    std::string read;
    try {
        read = registry.ReadString(name);
    } catch (const ERegistryException&) {
        return false;
    }
    // The wrapper reads an empty value of any type as "": only a string value
    // of that name makes it an empty text.
    if (read.empty()) {
        TRegistry::TValueData value;
        if (!registry.ReadValueData(name, value) || (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ))
            return false;
    }
    text = read;
    return true;
}

// The text of the string value, "" when it is missing or of another type.
inline std::string TextValue(TRegistry& registry, const std::string& name)
{
    std::string text;
    ReadTextValue(registry, name, text);
    return text;
}
