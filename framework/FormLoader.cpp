#include "FormLoader.h"

#include <cctype>
#include <map>
#include <memory>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FileDialogs.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TrayIcon.h"

// ------------------------------------------------------------------ values

std::string TFormValue::Describe() const
{
    switch (Kind) {
    case vkInteger:
        return IntToStr(Integer);
    case vkString:
        return "'" + Text + "'";
    case vkIdent:
        return "'" + Text + "'";
    case vkSet: {
        std::string s = "[";
        for (size_t i = 0; i < Items.size(); ++i) s += (i ? ", " : "") + Items[i];
        return s + "]";
    }
    }
    return std::string();
}

// ---------------------------------------------------------------- registry

namespace {

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::map<std::string, std::unique_ptr<TComponentClass>>& Classes()
{
    static std::map<std::string, std::unique_ptr<TComponentClass>> classes;
    return classes;
}

void RegisterFrameworkClasses();

void EnsureFrameworkClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterFrameworkClasses();
}

const TPropertyInfo* FindIn(const std::vector<TPropertyInfo>& list, const std::string& name)
{
    size_t dot = name.find('.');
    std::string head = dot == std::string::npos ? name : name.substr(0, dot);
    for (const TPropertyInfo& p : list) {
        if (!SameText(p.Name, head)) continue;
        if (dot == std::string::npos) return p.Apply ? &p : nullptr;
        return FindIn(p.Sub, name.substr(dot + 1));
    }
    return nullptr;
}

} // namespace

void RegisterComponentClass(TComponentClass cls)
{
    std::string key = Lower(cls.Name);
    Classes()[key] = std::make_unique<TComponentClass>(std::move(cls));
}

const TComponentClass* FindComponentClass(const std::string& name)
{
    EnsureFrameworkClasses();
    auto it = Classes().find(Lower(name));
    return it == Classes().end() ? nullptr : it->second.get();
}

const TPropertyInfo* FindClassProperty(const TComponentClass& cls, const std::string& name)
{
    for (const TComponentClass* c = &cls; c; c = c->Base.empty() ? nullptr : FindComponentClass(c->Base)) {
        if (const TPropertyInfo* p = FindIn(c->Properties, name)) return p;
    }
    return nullptr;
}

// ------------------------------------------------------------------ reader

void TFormReader::Error(int line, const std::string& message) const
{
    throw EReadError(FFileName + "(" + IntToStr(line) + "): " + message);
}

void TFormReader::InvalidValue(const TFormValue& value) const
{
    Error(FLine, "invalid value " + value.Describe() + " for property '" + FProperty + "' of " + FClassName);
}

int TFormReader::Ident(const TFormValue& value, const TIdentTable& table) const
{
    if (value.Kind == TFormValue::vkIdent)
        for (const auto& entry : table)
            if (SameText(value.Text, entry.first)) return entry.second;
    InvalidValue(value);
}

unsigned TFormReader::SetValue(const TFormValue& value, const TIdentTable& table) const
{
    if (value.Kind != TFormValue::vkSet) InvalidValue(value);
    unsigned bits = 0;
    for (const std::string& item : value.Items) {
        bool found = false;
        for (const auto& entry : table)
            if (SameText(item, entry.first)) {
                bits |= static_cast<unsigned>(entry.second);
                found = true;
            }
        if (!found) Error(FLine, "invalid value '" + item + "' for property '" + FProperty + "' of " + FClassName);
    }
    return bits;
}

bool TFormReader::Boolean(const TFormValue& value) const
{
    if (value.Kind == TFormValue::vkIdent) {
        if (SameText(value.Text, "True")) return true;
        if (SameText(value.Text, "False")) return false;
    }
    InvalidValue(value);
}

TColor TFormReader::Color(const TFormValue& value) const
{
    if (value.Kind == TFormValue::vkInteger) return static_cast<TColor>(value.Integer);
    TColor color = 0;
    if (value.Kind != TFormValue::vkIdent || !IdentToColor(value.Text, color)) InvalidValue(value);
    return color;
}

TComponent* TFormReader::Lookup(const std::string& name) const
{
    if (SameText(name, FRoot->GetName())) return FRoot;
    return FRoot->FindComponent(name);
}

void TFormReader::Reference(const std::string& name, std::function<bool(TComponent*)> assign)
{
    if (TComponent* c = Lookup(name)) {
        if (!assign(c)) Error(FLine, "component '" + name + "' does not fit " + FProperty);
        return;
    }
    FFixups.push_back(Fixup{name, std::move(assign), FLine, FProperty, FClassName});
}

const THandlerBase& TFormReader::Handler(const std::string& name) const
{
    const THandlerBase* h = FRoot->FindHandler(name);
    if (!h) Error(FLine, "unknown handler '" + name + "' for " + FProperty);
    return *h;
}

// ------------------------------------------------------------------ parser

enum TTokenKind { tkEnd, tkIdent, tkInteger, tkString, tkSymbol };

struct TToken {
    TTokenKind Kind = tkEnd;
    std::string Text;
    long long Integer = 0;
    char Symbol = 0;
    int Line = 1;
};

class TFormParser {
public:
    TFormParser(TFormReader& reader, const std::string& text) : R(reader), S(text) { Next(); }

    void ReadRoot(TCustomForm* root, std::vector<TComponent*>& created)
    {
        Created = &created;
        ReadObject(root, nullptr, true);
        if (T.Kind != tkEnd) R.Error(T.Line, "text after the end of the form");
    }

private:
    [[noreturn]] void Expected(const char* what)
    {
        if (T.Kind == tkEnd) R.Error(T.Line, "'end' expected");
        R.Error(T.Line, std::string(what) + " expected");
    }

    void Next()
    {
        // Blanks, line ends and comments ("//" to the line's end, "{ }").
        for (;;) {
            while (P < S.size() && std::isspace(static_cast<unsigned char>(S[P]))) {
                if (S[P] == '\n') ++Line;
                ++P;
            }
            if (P + 1 < S.size() && S[P] == '/' && S[P + 1] == '/') {
                while (P < S.size() && S[P] != '\n') ++P;
                continue;
            }
            break;
        }
        T = TToken();
        T.Line = Line;
        if (P >= S.size()) return;
        char c = S[P];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = P;
            while (P < S.size() && (std::isalnum(static_cast<unsigned char>(S[P])) || S[P] == '_' || S[P] == '.')) ++P;
            T.Kind = tkIdent;
            T.Text = S.substr(start, P - start);
            return;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
            (c == '-' && P + 1 < S.size() && (std::isdigit(static_cast<unsigned char>(S[P + 1])) || S[P + 1] == '$'))) {
            bool negative = c == '-';
            if (negative) ++P;
            bool hex = S[P] == '$';
            if (hex) ++P;
            size_t start = P;
            while (P < S.size() && (hex ? std::isxdigit(static_cast<unsigned char>(S[P]))
                                        : std::isdigit(static_cast<unsigned char>(S[P]))))
                ++P;
            if (P == start) R.Error(Line, "number expected");
            if (P < S.size() && (std::isalpha(static_cast<unsigned char>(S[P])) || S[P] == '.'))
                R.Error(Line, "invalid number");
            T.Kind = tkInteger;
            T.Integer = std::stoll(S.substr(start, P - start), nullptr, hex ? 16 : 10);
            if (negative) T.Integer = -T.Integer;
            return;
        }
        if (c == '\'' || c == '#') {
            T.Kind = tkString;
            while (P < S.size() && (S[P] == '\'' || S[P] == '#')) {
                if (S[P] == '\'') {
                    ++P;
                    for (;;) {
                        if (P >= S.size() || S[P] == '\n') R.Error(Line, "unterminated string");
                        if (S[P] == '\'') {
                            if (P + 1 < S.size() && S[P + 1] == '\'') {
                                T.Text += '\'';
                                P += 2;
                                continue;
                            }
                            ++P;
                            break;
                        }
                        T.Text += S[P++];
                    }
                } else {
                    ++P;
                    bool hex = P < S.size() && S[P] == '$';
                    if (hex) ++P;
                    size_t start = P;
                    while (P < S.size() && (hex ? std::isxdigit(static_cast<unsigned char>(S[P]))
                                                : std::isdigit(static_cast<unsigned char>(S[P]))))
                        ++P;
                    if (P == start) R.Error(Line, "character code expected");
                    long code = std::stol(S.substr(start, P - start), nullptr, hex ? 16 : 10);
                    if (code < 0 || code > 255) R.Error(Line, "character code out of range");
                    T.Text += static_cast<char>(code);
                }
            }
            return;
        }
        T.Kind = tkSymbol;
        T.Symbol = c;
        ++P;
    }

    bool IsIdent(const char* word) const { return T.Kind == tkIdent && SameText(T.Text, word); }

    bool IsSymbol(char c) const { return T.Kind == tkSymbol && T.Symbol == c; }

    std::string ReadName()
    {
        if (T.Kind != tkIdent || T.Text.find('.') != std::string::npos) Expected("name");
        std::string name = T.Text;
        Next();
        return name;
    }

    TFormValue ReadValue()
    {
        TFormValue v;
        switch (T.Kind) {
        case tkInteger:
            v.Kind = TFormValue::vkInteger;
            v.Integer = T.Integer;
            Next();
            return v;
        case tkString:
            v.Kind = TFormValue::vkString;
            v.Text = T.Text;
            Next();
            while (IsSymbol('+')) {
                Next();
                if (T.Kind != tkString) Expected("string");
                v.Text += T.Text;
                Next();
            }
            return v;
        case tkIdent:
            v.Kind = TFormValue::vkIdent;
            v.Text = T.Text;
            Next();
            return v;
        case tkSymbol:
            if (T.Symbol == '[') {
                v.Kind = TFormValue::vkSet;
                Next();
                while (!IsSymbol(']')) {
                    if (T.Kind != tkIdent) Expected("set member");
                    v.Items.push_back(T.Text);
                    Next();
                    if (IsSymbol(',')) Next();
                    else if (!IsSymbol(']')) Expected("']'");
                }
                Next();
                return v;
            }
            R.Error(T.Line, std::string("unsupported value starting with '") + T.Symbol + "'");
        case tkEnd:
            break;
        }
        Expected("value");
    }

    void ReadObject(TCustomForm* root, TComponent* parent, bool isRoot)
    {
        if (!IsIdent("object")) Expected("'object'");
        int line = T.Line;
        Next();
        std::string name = ReadName();
        if (!IsSymbol(':')) Expected("':'");
        Next();
        std::string className = ReadName();

        const TComponentClass* cls = nullptr;
        TComponent* instance = nullptr;
        if (isRoot) {
            // The form's own class (TForm1) is not registered: it is the
            // object being built, with the properties of a form.
            cls = FindComponentClass(className);
            if (!cls || cls->Create) cls = FindComponentClass("TForm");
            // A second instance of a form takes a free name, as Form1_1.
            std::string unique = name;
            TComponent* owner = root->GetOwner();
            for (int n = 1; owner && owner->FindComponent(unique) && owner->FindComponent(unique) != root; ++n)
                unique = name + "_" + IntToStr(n);
            root->SetName(unique);
            root->SetClassName(className);
            instance = root;
        } else {
            cls = FindComponentClass(className);
            if (!cls || !cls->Create) R.Error(line, "unknown class '" + className + "'");
            instance = cls->Create(root);
            instance->SetClassName(cls->Name);
            instance->BeginLoading();
            Created->push_back(instance);
            try {
                instance->SetName(name);
            } catch (const Exception& e) {
                R.Error(line, e.Message);
            }
            if (auto control = dynamic_cast<TControl*>(instance)) {
                auto parentWin = dynamic_cast<TWinControl*>(parent);
                if (!parentWin) R.Error(line, "'" + parent->GetName() + "' cannot hold the control '" + name + "'");
                control->SetParent(parentWin);
            } else if (parent != root && !instance->SetParentComponent(parent)) {
                R.Error(line, "'" + parent->GetName() + "' cannot hold '" + name + "'");
            }
        }

        for (;;) {
            if (IsIdent("end")) {
                Next();
                return;
            }
            if (IsIdent("object")) {
                ReadObject(root, instance, false);
                continue;
            }
            if (T.Kind != tkIdent) Expected("property or 'end'");
            int propertyLine = T.Line;
            std::string property = T.Text;
            Next();
            if (!IsSymbol('=')) Expected("'='");
            Next();
            TFormValue value = ReadValue();
            const TPropertyInfo* info = FindClassProperty(*cls, property);
            if (!info) R.Error(propertyLine, "unknown property '" + property + "' of " + className);
            R.FLine = propertyLine;
            R.FProperty = property;
            R.FClassName = className;
            try {
                info->Apply(instance, value, R);
            } catch (const EReadError&) {
                throw;
            } catch (const Exception& e) {
                R.Error(propertyLine, e.Message);
            }
        }
    }

    TFormReader& R;
    const std::string& S;
    size_t P = 0;
    int Line = 1;
    TToken T;
    std::vector<TComponent*>* Created = nullptr;
};

void TFormReader::Read(const std::string& text)
{
    std::vector<TComponent*> created;
    FRoot->BeginLoading();
    TFormParser parser(*this, text);
    parser.ReadRoot(FRoot, created);
    for (Fixup& f : FFixups) {
        FLine = f.Line;
        FProperty = f.Property;
        FClassName = f.ClassName;
        TComponent* c = Lookup(f.Name);
        if (!c) Error(f.Line, "unknown component '" + f.Name + "' for " + f.Property);
        if (!f.Assign(c)) Error(f.Line, "component '" + f.Name + "' does not fit " + f.Property);
    }
    FFixups.clear();
    FRoot->Loaded();
    for (TComponent* c : created) c->Loaded();
}

// --------------------------------------------------------- form loading

void TCustomForm::LoadForm(const std::string& resourceName)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, resourceName.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) throw EReadError("Form description '" + resourceName + "' not found");
    LoadFormFromText(std::string(bytes, SizeofResource(module, info)), resourceName);
}

void TCustomForm::LoadFormFromText(const std::string& text, const std::string& fileName)
{
    TFormReader reader(this, fileName);
    reader.Read(text);
    for (const FieldEntry& f : FFields) {
        TComponent* c = FindComponent(f.Name);
        if (!c) throw EReadError(fileName + ": no component '" + f.Name + "' for the form's field");
        if (!f.Assign(c)) throw EReadError(fileName + ": component '" + f.Name + "' is not of the field's class");
    }
    DoCreate();
}

// ------------------------------------------------------ property tables

namespace Prop {

TPropertyInfo Font(const char* name, std::function<TFont*(TComponent*)> font)
{
    static const TIdentTable styles = {{"fsBold", fsBold}};
    TPropertyInfo info{name, nullptr, {}};
    auto sub = [font](const char* subName, std::function<void(TFont*, const TFormValue&, TFormReader&)> apply) {
        return TPropertyInfo{subName,
                             [font, apply](TComponent* i, const TFormValue& v, TFormReader& r) { apply(font(i), v, r); },
                             {}};
    };
    info.Sub.push_back(sub("Color", [](TFont* f, const TFormValue& v, TFormReader& r) { f->SetColor(r.Color(v)); }));
    info.Sub.push_back(sub("Height", [](TFont* f, const TFormValue& v, TFormReader& r) {
        if (v.Kind != TFormValue::vkInteger) r.InvalidValue(v);
        f->SetHeight(static_cast<int>(v.Integer));
    }));
    info.Sub.push_back(sub("Name", [](TFont* f, const TFormValue& v, TFormReader& r) {
        if (v.Kind != TFormValue::vkString) r.InvalidValue(v);
        f->SetName(v.Text);
    }));
    info.Sub.push_back(sub("Style", [](TFont* f, const TFormValue& v, TFormReader& r) {
        f->SetStyle(r.SetValue(v, styles));
    }));
    return info;
}

} // namespace Prop

namespace {

const TIdentTable& kAlignIdents()
{
    static const TIdentTable table = {{"alNone", alNone}, {"alTop", alTop},     {"alBottom", alBottom},
                                  {"alLeft", alLeft}, {"alRight", alRight}, {"alClient", alClient}};
    return table;
}
const TIdentTable& kDragModeIdents()
{
    static const TIdentTable table = {{"dmManual", dmManual}, {"dmAutomatic", dmAutomatic}};
    return table;
}
const TIdentTable& kAlignmentIdents()
{
    static const TIdentTable table = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
    return table;
}
const TIdentTable& kCursorIdents()
{
    static const TIdentTable table = {{"crDefault", crDefault}, {"crHandPoint", crHandPoint}};
    return table;
}
const TIdentTable& kBevelIdents()
{
    static const TIdentTable table = {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}};
    return table;
}
const TIdentTable& kPositionIdents()
{
    static const TIdentTable table = {
    {"poDesigned", poDesigned}, {"poDesktopCenter", poDesktopCenter}, {"poOwnerFormCenter", poOwnerFormCenter}};
    return table;
}
const TIdentTable& kBorderStyleIdents()
{
    static const TIdentTable table = {{"bsNone", bsNone}, {"bsSizeable", bsSizeable}};
    return table;
}

TControl* AsControl(TComponent* c) { return dynamic_cast<TControl*>(c); }

// The control properties a class may publish, in one pool.
const std::vector<TPropertyInfo>& ControlPool()
{
    static const std::vector<TPropertyInfo> pool = [] {
        std::vector<TPropertyInfo> p;
        p.push_back(Prop::Enum("Align", &TControl::SetAlign, kAlignIdents()));
        p.push_back(Prop::String("Caption", &TControl::SetCaption));
        p.push_back(Prop::Color("Color", &TControl::SetColor));
        p.push_back(Prop::Enum("DragMode", &TControl::SetDragMode, kDragModeIdents()));
        p.push_back(Prop::Bool("Enabled", &TControl::SetEnabled));
        p.push_back(Prop::Font("Font", [](TComponent* i) { return AsControl(i)->GetFont(); }));
        p.push_back(Prop::Bool("ParentColor", &TControl::SetParentColor));
        p.push_back(Prop::Bool("ParentFont", &TControl::SetParentFont));
        p.push_back(Prop::Bool("ParentShowHint", &TControl::SetParentShowHint));
        p.push_back(Prop::Reference("PopupMenu", &TControl::SetPopupMenu));
        p.push_back(Prop::Bool("ShowHint", &TControl::SetShowHint));
        p.push_back(Prop::Bool("Visible", &TControl::SetVisible));
        p.push_back(Prop::IntField("TabOrder", &TWinControl::TabOrder));
        p.push_back(Prop::BoolField("TabStop", &TWinControl::TabStop));
        p.push_back(Prop::Event("OnClick", &TControl::OnClick));
        p.push_back(Prop::Event("OnDblClick", &TControl::OnDblClick));
        p.push_back(Prop::Event("OnKeyDown", &TWinControl::OnKeyDown));
        p.push_back(Prop::Event("OnKeyPress", &TWinControl::OnKeyPress));
        p.push_back(Prop::Event("OnKeyUp", &TWinControl::OnKeyUp));
        p.push_back(Prop::Event("OnMouseDown", &TControl::OnMouseDown));
        p.push_back(Prop::Event("OnMouseMove", &TControl::OnMouseMove));
        p.push_back(Prop::Event("OnMouseUp", &TControl::OnMouseUp));
        p.push_back(Prop::Event("OnResize", &TControl::OnResize));
        return p;
    }();
    return pool;
}

// A classic property that descriptions may state and nothing here acts on:
// any value is accepted and dropped; subNames are its dotted parts.
TPropertyInfo Ignored(const char* name, std::initializer_list<const char*> subNames = {})
{
    auto drop = [](TComponent*, const TFormValue&, TFormReader&) {};
    TPropertyInfo info{name, drop, {}};
    for (const char* sub : subNames) info.Sub.push_back({sub, drop, {}});
    return info;
}

void RegisterFrameworkClasses()
{
    RegisterComponentClass({"TComponent", "", nullptr, {Prop::IntField("Tag", &TComponent::Tag)}});
    RegisterComponentClass({"TControl",
                            "TComponent",
                            nullptr,
                            {Prop::Int("Left", &TControl::SetLeft), Prop::Int("Top", &TControl::SetTop),
                             Prop::Int("Width", &TControl::SetWidth), Prop::Int("Height", &TControl::SetHeight),
                             Prop::Enum("Cursor", &TControl::SetCursor, kCursorIdents()),
                             Prop::String("Hint", &TControl::SetHint),
                             // Accepted on every control and ignored.
                             Ignored("Action"), Ignored("Anchors"), Ignored("BiDiMode"), Ignored("ParentBiDiMode"),
                             Ignored("Constraints", {"MaxHeight", "MaxWidth", "MinHeight", "MinWidth"}),
                             Ignored("HelpType"), Ignored("HelpKeyword"), Ignored("HelpContext")}});

    {
        TComponentClass form{"TForm", "TControl", ComponentFactory<TForm>(), {}};
        auto& p = form.Properties;
        p.push_back(ControlProperty("Align"));
        p.push_back(Prop::Enum("BorderStyle", &TCustomForm::SetBorderStyle, kBorderStyleIdents()));
        p.push_back(ControlProperty("Caption"));
        p.push_back(Prop::Int("ClientHeight", &TCustomForm::SetClientHeight));
        p.push_back(Prop::Int("ClientWidth", &TCustomForm::SetClientWidth));
        for (const char* n : {"Color", "DragMode", "Enabled", "ParentFont", "Font"})
            p.push_back(ControlProperty(n));
        p.push_back(Prop::StringField("HelpFile", &TCustomForm::HelpFile));
        p.push_back(Prop::Resource("Icon", &TCustomForm::SetIconResource));
        p.push_back(ControlProperty("PopupMenu"));
        p.push_back(Prop::Enum("Position", &TCustomForm::SetPosition, kPositionIdents()));
        p.push_back(ControlProperty("ShowHint"));
        p.push_back(Prop::Event("OnActivate", &TCustomForm::OnActivate));
        p.push_back(ControlProperty("OnClick"));
        p.push_back(Prop::Event("OnCloseQuery", &TCustomForm::OnCloseQuery));
        p.push_back(Prop::Event("OnCreate", &TCustomForm::OnCreate));
        p.push_back(ControlProperty("OnDblClick"));
        p.push_back(Prop::Event("OnDestroy", &TCustomForm::OnDestroy));
        for (const char* n : {"OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize"})
            p.push_back(ControlProperty(n));
        RegisterComponentClass(std::move(form));
    }

    {
        TComponentClass panel{"TPanel", "TControl", ComponentFactory<TPanel>(), {}};
        auto& p = panel.Properties;
        p.push_back(ControlProperty("Align"));
        p.push_back(Prop::Enum("BevelInner", &TPanel::SetBevelInner, kBevelIdents()));
        p.push_back(Prop::Enum("BevelOuter", &TPanel::SetBevelOuter, kBevelIdents()));
        p.push_back(Prop::Int("BevelWidth", &TPanel::SetBevelWidth));
        for (const char* n : {"Caption", "Color", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont",
                              "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick",
                              "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize"})
            p.push_back(ControlProperty(n));
        RegisterComponentClass(std::move(panel));
    }

    {
        TComponentClass label{"TLabel", "TControl", ComponentFactory<TLabel>(), {}};
        auto& p = label.Properties;
        p.push_back(ControlProperty("Align"));
        p.push_back(Prop::Enum("Alignment", &TLabel::SetAlignment, kAlignmentIdents()));
        p.push_back(Prop::Bool("AutoSize", &TLabel::SetAutoSize));
        for (const char* n : {"Caption", "Color", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont",
                              "ParentShowHint", "PopupMenu"})
            p.push_back(ControlProperty(n));
        p.push_back(ControlProperty("ShowHint"));
        p.push_back(Prop::Bool("Transparent", &TLabel::SetTransparent));
        p.push_back(ControlProperty("Visible"));
        for (const char* n : {"OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"})
            p.push_back(ControlProperty(n));
        RegisterComponentClass(std::move(label));
    }

    {
        TComponentClass image{"TImage", "TControl", ComponentFactory<TImage>(), {}};
        auto& p = image.Properties;
        p.push_back(ControlProperty("Align"));
        for (const char* n : {"DragMode", "Enabled", "ParentShowHint"}) p.push_back(ControlProperty(n));
        p.push_back(Prop::Resource("Picture", &TImage::SetPictureResource));
        for (const char* n : {"PopupMenu", "ShowHint"}) p.push_back(ControlProperty(n));
        for (const char* n : {"Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"})
            p.push_back(ControlProperty(n));
        RegisterComponentClass(std::move(image));
    }

    static const TIdentTable kControlBorderIdents = {{"bsNone", 0}, {"bsSingle", 1}};

    {
        TComponentClass edit{"TEdit", "TControl", ComponentFactory<TEdit>(), {}};
        auto& p = edit.Properties;
        p.push_back(Prop::Enum("BorderStyle", &TEdit::SetBorder, kControlBorderIdents));
        for (const char* n : {"Color", "DragMode", "Enabled", "Font"}) p.push_back(ControlProperty(n));
        for (const char* n : {"ParentColor", "ParentFont", "ParentShowHint", "PopupMenu"})
            p.push_back(ControlProperty(n));
        for (const char* n : {"ShowHint", "TabOrder", "TabStop"}) p.push_back(ControlProperty(n));
        p.push_back(Prop::String("Text", &TEdit::SetText));
        p.push_back(ControlProperty("Visible"));
        p.push_back(Prop::Event("OnChange", &TEdit::OnChange));
        for (const char* n : {"OnClick", "OnDblClick", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
                              "OnMouseMove", "OnMouseUp"})
            p.push_back(ControlProperty(n));
        RegisterComponentClass(std::move(edit));
    }

    {
        TComponentClass check{"TCheckBox", "TControl", ComponentFactory<TCheckBox>(), {}};
        auto& p = check.Properties;
        p.push_back(ControlProperty("Caption"));
        p.push_back(Prop::Bool("Checked", &TCheckBox::SetChecked));
        for (const char* n : {"Color", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint",
                              "PopupMenu", "ShowHint"})
            p.push_back(ControlProperty(n));
        for (const char* n : {"TabOrder", "TabStop", "Visible", "OnClick", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                              "OnMouseDown", "OnMouseMove", "OnMouseUp"})
            p.push_back(ControlProperty(n));
        RegisterComponentClass(std::move(check));
    }

    {
        static const TIdentTable sorts = {{"stNone", stNone}, {"stText", stText}};
        static const TIdentTable views = {
            {"vsIcon", vsIcon}, {"vsSmallIcon", vsSmallIcon}, {"vsList", vsList}, {"vsReport", vsReport}};
        TComponentClass list{"TListView", "TControl", ComponentFactory<TListView>(), {}};
        auto& p = list.Properties;
        p.push_back(ControlProperty("Align"));
        p.push_back(Prop::Bool("Checkboxes", &TListView::SetCheckboxes));
        p.push_back(ControlProperty("Color"));
        for (const char* n : {"DragMode", "Enabled", "Font"}) p.push_back(ControlProperty(n));
        p.push_back(Prop::Reference("LargeImages", &TListView::SetLargeImages));
        p.push_back(Prop::Bool("ReadOnly", &TListView::SetReadOnly));
        p.push_back(Prop::Bool("RowSelect", &TListView::SetRowSelect));
        for (const char* n : {"ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint"})
            p.push_back(ControlProperty(n));
        p.push_back(Prop::Reference("SmallImages", &TListView::SetSmallImages));
        p.push_back(Prop::Enum("SortType", &TListView::SetSortType, sorts));
        for (const char* n : {"TabOrder", "TabStop"}) p.push_back(ControlProperty(n));
        p.push_back(Prop::Enum("ViewStyle", &TListView::SetViewStyle, views));
        p.push_back(ControlProperty("Visible"));
        p.push_back(Prop::Event("OnChange", &TListView::OnChange));
        for (const char* n : {"OnClick", "OnDblClick", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
                              "OnMouseMove", "OnMouseUp"})
            p.push_back(ControlProperty(n));
        p.push_back(Prop::Event("OnSelectItem", &TListView::OnSelectItem));
        RegisterComponentClass(std::move(list));
    }

    RegisterComponentClass({"TPopupMenu",
                            "TComponent",
                            ComponentFactory<TPopupMenu>(),
                            {Prop::Event("OnPopup", &TPopupMenu::OnPopup)}});
    RegisterComponentClass({"TMenuItem",
                            "TComponent",
                            ComponentFactory<TMenuItem>(),
                            {Prop::Resource("Bitmap", &TMenuItem::SetBitmapResource),
                             Prop::String("Caption", &TMenuItem::SetCaption),
                             Prop::Bool("Checked", &TMenuItem::SetChecked),
                             Prop::Bool("Enabled", &TMenuItem::SetEnabled),
                             Prop::Int("GroupIndex", &TMenuItem::SetGroupIndex),
                             Prop::String("Hint", &TMenuItem::SetHint),
                             Prop::Bool("RadioItem", &TMenuItem::SetRadioItem),
                             Prop::Bool("Visible", &TMenuItem::SetVisible),
                             Prop::Event("OnClick", &TMenuItem::OnClick)}});
    {
        static const TIdentTable events = {{"imDoubleClick", imDoubleClick}, {"imRightClickUp", imRightClickUp}};
        RegisterComponentClass({"TTrayIcon",
                                "TComponent",
                                ComponentFactory<TTrayIcon>(),
                                {Prop::Bool("Visible", &TTrayIcon::SetVisible),
                                 Prop::String("Hint", &TTrayIcon::SetHint),
                                 Prop::Reference("PopupMenu", &TTrayIcon::SetPopupMenu),
                                 Prop::Bool("Hide", &TTrayIcon::SetHide),
                                 Prop::Enum("RestoreOn", &TTrayIcon::SetRestoreOn, events),
                                 Prop::Enum("PopupMenuOn", &TTrayIcon::SetPopupMenuOn, events),
                                 Prop::Reference("Icons", &TTrayIcon::SetIcons),
                                 Prop::Int("IconIndex", &TTrayIcon::SetIconIndex)}});
    }

    {
        static const TIdentTable options = {
            {"ofHideReadOnly", ofHideReadOnly}, {"ofFileMustExist", ofFileMustExist}, {"ofEnableSizing", ofEnableSizing}};
        RegisterComponentClass({"TOpenDialog",
                                "TComponent",
                                ComponentFactory<TOpenDialog>(),
                                {Prop::String("FileName", &TOpenDialog::SetFileName),
                                 Prop::String("Filter", &TOpenDialog::SetFilter),
                                 Prop::Int("FilterIndex", &TOpenDialog::SetFilterIndex),
                                 Prop::Set("Options", &TOpenDialog::SetOptions, options)}});
    }

    RegisterComponentClass({"TImageList",
                            "TComponent",
                            ComponentFactory<TImageList>(),
                            {Prop::Int("Width", &TImageList::SetWidth), Prop::Int("Height", &TImageList::SetHeight),
                             Prop::Bool("Masked", &TImageList::SetMasked),
                             Prop::Resource("Bitmap", &TImageList::AddStripResource)}});
}

} // namespace

const TPropertyInfo& ControlProperty(const std::string& name)
{
    for (const TPropertyInfo& p : ControlPool())
        if (SameText(p.Name, name)) return p;
    throw Exception("no control property '" + name + "'");
}

std::vector<TPropertyInfo> ControlProperties(std::initializer_list<const char*> names)
{
    std::vector<TPropertyInfo> list;
    for (const char* n : names) list.push_back(ControlProperty(n));
    return list;
}
