// Base object, components with ownership, and the string list of the
// framework layer.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// The plain event: handlers receive the object that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A component belongs to its owner: the owner frees what it owns when it is
// freed, the last created first. Free() (rather than delete) lets a component
// run its destruction events while it is still whole; an owner frees its
// components the same way.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    void Free();

    TComponent* GetOwner() const { return FOwner; }
    const std::string& GetName() const { return FName; }
    // Names are unique among the components of one owner (case-insensitive).
    void SetName(const std::string& name);
    // The class name as form descriptions spell it ("TPanel", "TForm1").
    const std::string& ClassName() const { return FClassName; }
    void SetClassName(const std::string& name) { FClassName = name; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
    // The owned component of that name (case-insensitive), or nullptr.
    TComponent* FindComponent(const std::string& name) const;

    // True between creation by a form loader and the call of Loaded.
    bool IsLoading() const { return FLoading; }
    void BeginLoading() { FLoading = true; }
    // Called by the loader once the whole description has been applied.
    virtual void Loaded() { FLoading = false; }
    // A description nests this (non-visual) component inside another one, as
    // a menu item inside its menu; false when it cannot be placed there.
    virtual bool SetParentComponent(TComponent* parent)
    {
        (void)parent;
        return false;
    }

    int Tag = 0;

protected:
    // Runs before the destructors; the component is still complete here.
    virtual void BeforeDestruction() {}
    void DestroyComponents();
    std::string FClassName = "TComponent";

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    bool FLoading = false;
    bool FDestroying = false;
    bool FBeforeDestructionDone = false;
};

// An ordered list of strings.
class TStringList : public TObject {
public:
    int Count() const { return static_cast<int>(Items.size()); }
    const std::string& operator[](int index) const { return Items.at(static_cast<size_t>(index)); }
    const std::string& Strings(int index) const { return (*this)[index]; }
    int Add(const std::string& text)
    {
        Items.push_back(text);
        return Count() - 1;
    }
    void Clear() { Items.clear(); }
    // Case-insensitive, as the platform's string lists compare.
    int IndexOf(const std::string& text) const;

private:
    std::vector<std::string> Items;
};
