#include "Classes.h"

#include <windows.h>

int TStringList::AddObject(const std::string& text, TObject* object)
{
    Items.push_back(Item{text, object});
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& text)
{
    Items.insert(Items.begin() + index, Item{text, nullptr});
}

void TStringList::Delete(int index)
{
    Items.erase(Items.begin() + index);
}

int TStringList::IndexOf(const std::string& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (lstrcmpiA(Items[static_cast<size_t>(i)].Text.c_str(), text.c_str()) == 0)
            return i;
    return -1;
}
