// Form descriptions: the text format, the class registry and the property
// tables.
//
// A description is an object tree in the classic text form:
//
//     object Form1: TForm1
//       Caption = 'Sweepora'
//       Font.Height = -11
//       object bbtOk: TPSpeedButton
//         Images = ilButtons            (a component, may be declared later)
//         Anchors = [akLeft, akTop]     (accepted and ignored, see below)
//         Hint = 'line one'#10'line two'
//         OnClick = bbtOkClick          (a handler the form class registered)
//       end
//     end
//
// Values: integers (decimal, negative, $hex), strings in single quotes (''
// for a quote) joined with #NN character codes and with "+" across lines,
// identifiers, sets in brackets. Each class is registered with a factory and
// a table of its published properties in declared order; the loader applies
// properties in the order written. Anything it does not know (class,
// property, value, handler, component) is an EReadError naming file and line,
// e.g. "Unit1.dfm(42): unknown property 'Foo' of TPanel". The classic control
// properties that nothing here acts on (Action, Anchors, BiDiMode,
// ParentBiDiMode, Constraints, the help properties) are one list of the
// TControl class: accepted on every control, whatever their value, and dropped.
//
// File references ('banner.bmp') name a resource of the program by the file's
// name; the CMake function sweepora_forms() compiles a folder of descriptions
// and bitmaps into the program that way.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "SysUtils.h"

struct TFormValue {
    enum TKind { vkInteger, vkString, vkIdent, vkSet };
    TKind Kind = vkInteger;
    long long Integer = 0;
    std::string Text;                // string or identifier
    std::vector<std::string> Items;  // set members
    // The value as the description wrote it (for error messages).
    std::string Describe() const;
};

class TFormReader;

struct TPropertyInfo {
    std::string Name;
    std::function<void(TComponent* instance, const TFormValue& value, TFormReader& reader)> Apply;
    // Dotted sub-properties (Font.Name, Font.Style).
    std::vector<TPropertyInfo> Sub;
};

struct TComponentClass {
    std::string Name;
    // The class whose properties this one inherits ("" for none).
    std::string Base;
    // nullptr for classes that only lend their properties.
    std::function<TComponent*(TComponent* owner)> Create;
    std::vector<TPropertyInfo> Properties;
};

// Registers (or replaces) a class by name.
void RegisterComponentClass(TComponentClass cls);
const TComponentClass* FindComponentClass(const std::string& name);
// A property of the class or of one of its bases; dotted names reach
// sub-properties. nullptr when there is none.
const TPropertyInfo* FindClassProperty(const TComponentClass& cls, const std::string& name);

template <class T>
std::function<TComponent*(TComponent*)> ComponentFactory()
{
    return [](TComponent* owner) -> TComponent* { return new T(owner); };
}

using TIdentTable = std::vector<std::pair<const char*, int>>;

// The loader's state while one description is read; property setters use it
// to report bad values, to resolve component references and to find handlers.
class TFormReader {
public:
    TFormReader(TCustomForm* root, std::string fileName) : FRoot(root), FFileName(std::move(fileName)) {}

    [[noreturn]] void Error(int line, const std::string& message) const;
    [[noreturn]] void InvalidValue(const TFormValue& value) const;
    // Resolves a component name now or, when it is declared later, after the
    // whole tree is built; assign returns false when the component does not
    // fit the property.
    void Reference(const std::string& name, std::function<bool(TComponent*)> assign);
    const THandlerBase& Handler(const std::string& name) const;
    int Ident(const TFormValue& value, const TIdentTable& table) const;
    unsigned SetValue(const TFormValue& value, const TIdentTable& table) const;
    // True or False.
    bool Boolean(const TFormValue& value) const;
    // An integer or a colour name (clBtnFace).
    TColor Color(const TFormValue& value) const;

    // Reads the description into the root form.
    void Read(const std::string& text);

private:
    struct Fixup {
        std::string Name;
        std::function<bool(TComponent*)> Assign;
        int Line;
        std::string Property;
        std::string ClassName;
    };
    TComponent* Lookup(const std::string& name) const;

    TCustomForm* FRoot;
    std::string FFileName;
    std::vector<Fixup> FFixups;
    // Where the property being applied stands, for messages.
    int FLine = 0;
    std::string FProperty;
    std::string FClassName;
    friend class TFormParser;
};

// Builders of property table entries. The setters are member functions (or
// fields) of the class or one of its bases.
namespace Prop {

template <class C>
C* As(TComponent* instance)
{
    return dynamic_cast<C*>(instance);
}

template <class C>
TPropertyInfo Bool(const char* name, void (C::*set)(bool))
{
    return {name, [set](TComponent* i, const TFormValue& v, TFormReader& r) { (As<C>(i)->*set)(r.Boolean(v)); }, {}};
}

template <class C>
TPropertyInfo BoolField(const char* name, bool C::*field)
{
    return {name, [field](TComponent* i, const TFormValue& v, TFormReader& r) { As<C>(i)->*field = r.Boolean(v); }, {}};
}

template <class C>
TPropertyInfo Int(const char* name, void (C::*set)(int))
{
    return {name, [set](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkInteger) r.InvalidValue(v);
                (As<C>(i)->*set)(static_cast<int>(v.Integer));
            }, {}};
}

template <class C>
TPropertyInfo IntField(const char* name, int C::*field)
{
    return {name, [field](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkInteger) r.InvalidValue(v);
                As<C>(i)->*field = static_cast<int>(v.Integer);
            }, {}};
}

template <class C>
TPropertyInfo String(const char* name, void (C::*set)(const std::string&))
{
    return {name, [set](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkString) r.InvalidValue(v);
                (As<C>(i)->*set)(v.Text);
            }, {}};
}

template <class C>
TPropertyInfo StringField(const char* name, std::string C::*field)
{
    return {name, [field](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkString) r.InvalidValue(v);
                As<C>(i)->*field = v.Text;
            }, {}};
}

template <class C, class E>
TPropertyInfo Enum(const char* name, void (C::*set)(E), const TIdentTable& table)
{
    return {name, [set, table](TComponent* i, const TFormValue& v, TFormReader& r) {
                (As<C>(i)->*set)(static_cast<E>(r.Ident(v, table)));
            }, {}};
}

template <class C>
TPropertyInfo Set(const char* name, void (C::*set)(unsigned), const TIdentTable& table)
{
    return {name, [set, table](TComponent* i, const TFormValue& v, TFormReader& r) {
                (As<C>(i)->*set)(r.SetValue(v, table));
            }, {}};
}

// An integer or a colour name (clBtnFace).
template <class C>
TPropertyInfo Color(const char* name, void (C::*set)(TColor))
{
    return {name, [set](TComponent* i, const TFormValue& v, TFormReader& r) { (As<C>(i)->*set)(r.Color(v)); }, {}};
}

// Another component of the description, by name.
template <class C, class R>
TPropertyInfo Reference(const char* name, void (C::*set)(R*))
{
    return {name, [set](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkIdent) r.InvalidValue(v);
                C* instance = As<C>(i);
                r.Reference(v.Text, [instance, set](TComponent* c) {
                    R* typed = dynamic_cast<R*>(c);
                    if (!typed) return false;
                    (instance->*set)(typed);
                    return true;
                });
            }, {}};
}

// An event bound to a handler of the form by name.
template <class C, class Fn>
TPropertyInfo Event(const char* name, Fn C::*field)
{
    std::string property = name;
    return {name, [field, property](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkIdent) r.InvalidValue(v);
                auto typed = dynamic_cast<const THandler<Fn>*>(&r.Handler(v.Text));
                if (!typed)
                    throw Exception("handler '" + v.Text + "' does not fit " + property);
                As<C>(i)->*field = typed->Value;
            }, {}};
}

// A file of the forms folder, compiled in as a resource named after the file
// (any folder part of the reference is dropped).
template <class C>
TPropertyInfo Resource(const char* name, void (C::*set)(const std::string&))
{
    return {name, [set](TComponent* i, const TFormValue& v, TFormReader& r) {
                if (v.Kind != TFormValue::vkString || v.Text.empty()) r.InvalidValue(v);
                std::string file = v.Text;
                size_t slash = file.find_last_of("\\/");
                if (slash != std::string::npos) file.erase(0, slash + 1);
                (As<C>(i)->*set)(file);
            }, {}};
}

// Font.Name, Font.Height, Font.Color, Font.Style.
TPropertyInfo Font(const char* name, std::function<TFont*(TComponent*)> font);

} // namespace Prop

// The properties that TControl and TWinControl keep for their descendants to
// publish, by name (Align, Caption, Color, Enabled, Font, OnClick, ...).
const TPropertyInfo& ControlProperty(const std::string& name);
std::vector<TPropertyInfo> ControlProperties(std::initializer_list<const char*> names);
