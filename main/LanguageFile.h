// The hints of a window from the language file "lang.lng" in the current
// folder: the section named by the "Language" setting, one key per component.
#pragma once

#include <cstddef>
#include <functional>

class TRegistry;

struct THintDefault {
    const char* Key;     // the component's name, the key in the file
    const char* Default; // the built-in English hint
};

// Hands each hint of the table, in its order, to apply: the file's text, or
// the built-in default where the file, the section or the key lacks it, or
// where the "Language" is longer than any section name can sensibly be.
// Without a "Language" setting nothing is handed on and the stored hints
// stay. Leaves the registry object with HKEY_LOCAL_MACHINE as its root.
void ReadLanguageHints(TRegistry* registry, const THintDefault* hints, std::size_t count,
                       const std::function<void(const char* key, const char* text)>& apply);

template <std::size_t N>
void ReadLanguageHints(TRegistry* registry, const THintDefault (&hints)[N],
                       const std::function<void(const char* key, const char* text)>& apply)
{
    ReadLanguageHints(registry, hints, N, apply);
}
