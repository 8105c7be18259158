// Base object and the string list of the framework layer.
#pragma once

#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// An ordered list of strings, each with an optional object pointer that the
// list does not own.
class TStringList : public TObject {
public:
    int Count() const { return static_cast<int>(Items.size()); }
    const std::string& operator[](int index) const { return Items.at(static_cast<size_t>(index)).Text; }
    const std::string& Strings(int index) const { return (*this)[index]; }
    TObject* Objects(int index) const { return Items.at(static_cast<size_t>(index)).Object; }
    int Add(const std::string& text) { return AddObject(text, nullptr); }
    int AddObject(const std::string& text, TObject* object);
    void Insert(int index, const std::string& text);
    void Delete(int index);
    void Clear() { Items.clear(); }
    // Case-insensitive, as the platform's string lists compare.
    int IndexOf(const std::string& text) const;

private:
    struct Item {
        std::string Text;
        TObject* Object;
    };
    std::vector<Item> Items;
};
