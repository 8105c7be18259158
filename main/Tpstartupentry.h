// What the Startup scan knew of a row: whether the entry was enabled when the
// list was built, and where it lives. A row owns its entry.
#pragma once

class TPStartupEntry {
public:
    TPStartupEntry(int enabledAtLoad, int location) : EnabledAtLoad(enabledAtLoad), Location(location) {}
    int GetEnabledAtLoad() const { return EnabledAtLoad; }
    int GetLocation() const { return Location; }

private:
    int EnabledAtLoad; // 1 found in an enabled place, 0 in a disabled one
    int Location;      // the entry's LocationCode
};
