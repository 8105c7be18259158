#include "Classes.h"

#include <windows.h>

int TStringList::IndexOf(const std::string& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (lstrcmpiA(Items[static_cast<size_t>(i)].c_str(), text.c_str()) == 0)
            return i;
    return -1;
}

#include "SysUtils.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner)
{
    if (owner) owner->Insert(this);
}

TComponent::~TComponent()
{
    FDestroying = true;
    DestroyComponents();
    if (FOwner) FOwner->Remove(this);
}

void TComponent::Free()
{
    if (!FBeforeDestructionDone) {
        FBeforeDestructionDone = true;
        FDestroying = true;
        BeforeDestruction();
    }
    delete this;
}

void TComponent::DestroyComponents()
{
    // Last created first; each one leaves the list as it goes.
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        last->Free();
        // A component that failed to leave (it cannot) must not loop forever.
        if (!FComponents.empty() && FComponents.back() == last) FComponents.pop_back();
    }
}

void TComponent::SetName(const std::string& name)
{
    if (name == FName) return;
    if (FOwner && !name.empty()) {
        TComponent* other = FOwner->FindComponent(name);
        if (other && other != this) throw Exception("A component named " + name + " already exists");
    }
    FName = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name)) return c;
    return nullptr;
}

void TComponent::Insert(TComponent* component)
{
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::Remove(TComponent* component)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it != FComponents.end()) FComponents.erase(it);
    component->FOwner = nullptr;
}
