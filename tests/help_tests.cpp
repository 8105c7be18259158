// The installed help file "Sweepora 2004.chm", read the way the HTML Help
// viewer reads it: through the system's compiled-help storage (itss.dll).
// A help file that the compiler left empty, that lost a chapter or whose
// contents, index or links lead nowhere fails here.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// itss.dll's factory of compiled-help storages (class ITStorage). Only the
// methods up to the one called are declared, in the interface's order. It
// stays outside the anonymous namespace: there the compiler would know every
// class of the type and, seeing none implement it, drop the calls.
const CLSID kClsidITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

struct ITStorage : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR* name, DWORD mode, DWORD reserved,
                                                       IStorage** storage) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes* bytes, DWORD mode, DWORD reserved,
                                                                   IStorage** storage) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes* bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode,
                                                     SNB exclude, DWORD reserved, IStorage** storage) = 0;
};

namespace {

const char kHelpFile[] = "D:\\Sweepora 2004.chm";

// The chapters a user must find in the table of contents.
const char* const kChapters[] = {
    "intro.htm",    "start.htm",    "window.htm",  "tray.htm",     "uninstall.htm", "phantom.htm",
    "startup.htm",  "newentry.htm", "taskman.htm", "privacy.htm",  "priv_ie.htm",   "priv_op.htm",
    "priv_moz.htm", "priv_win.htm", "restart.htm", "editions.htm", "lang.htm",      "faq.htm",
};

// Owns one reference to a COM object.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }
    void Reset()
    {
        if (FPtr) FPtr->Release();
        FPtr = nullptr;
    }
    T** Out()
    {
        Reset();
        return &FPtr;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }

private:
    T* FPtr = nullptr;
};

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

std::string Lower(std::string text)
{
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// A link target inside the help file, as an absolute path without the
// leading "/" and without its "#part"; nullopt for links that leave the
// file (http:, mailto:, ...) and for links within the page.
std::optional<std::string> Resolve(const std::string& page, std::string link)
{
    link = link.substr(0, link.find('#'));
    if (link.empty() || link.find(':') != std::string::npos) return std::nullopt;
    std::vector<std::string> parts;
    if (link[0] != '/') {
        std::string dir = page.substr(0, page.find_last_of('/') + 1);
        link = dir + link;
    }
    size_t start = 0;
    while (start <= link.size()) {
        size_t end = link.find('/', start);
        if (end == std::string::npos) end = link.size();
        std::string part = link.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string path;
    for (const auto& part : parts) path += (path.empty() ? "" : "/") + part;
    return Lower(path);
}

// Every link of a page or sitemap: href and src attributes, and the "Local"
// parameters of the contents and the index.
std::vector<std::string> Links(const std::string& text)
{
    static const std::regex attribute(R"re((?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    static const std::regex local(R"re(<param\s+name\s*=\s*"Local"\s+value\s*=\s*"([^"]*)")re",
                                  std::regex::icase);
    std::vector<std::string> links;
    for (const auto* pattern : {&attribute, &local}) {
        for (std::sregex_iterator it(text.begin(), text.end(), *pattern), end; it != end; ++it)
            links.push_back((*it)[1].str());
    }
    return links;
}

std::string Title(const std::string& page)
{
    static const std::regex title(R"re(<title>\s*([^<]*?)\s*</title>)re", std::regex::icase);
    std::smatch m;
    return std::regex_search(page, m, title) ? m[1].str() : std::string();
}

class HelpFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        FComReady = true;
        ComRef<ITStorage> factory;
        ASSERT_EQ(CoCreateInstance(kClsidITStorage, nullptr, CLSCTX_INPROC_SERVER, kIidITStorage, factory.OutVoid()),
                  S_OK);
        ASSERT_EQ(factory->StgOpenStorage(Wide(kHelpFile).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE,
                                          nullptr, 0, FRoot.Out()),
                  S_OK)
            << kHelpFile;
    }

    void TearDown() override
    {
        FRoot.Reset();
        if (FComReady) CoUninitialize();
    }

    // The file at a path inside the help file ("intro.htm", "art/logo.gif");
    // nullopt when there is none.
    std::optional<std::string> Read(const std::string& path) const
    {
        std::string rest = !path.empty() && path[0] == '/' ? path.substr(1) : path;
        IStorage* parent = FRoot.Get();
        std::deque<ComRef<IStorage>> folders; // the open folders of the path
        size_t slash;
        while ((slash = rest.find('/')) != std::string::npos) {
            folders.emplace_back();
            if (parent->OpenStorage(Wide(rest.substr(0, slash)).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                    nullptr, 0, folders.back().Out()) != S_OK)
                return std::nullopt;
            parent = folders.back().Get();
            rest = rest.substr(slash + 1);
        }
        ComRef<IStream> stream;
        if (parent->OpenStream(Wide(rest).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Out()) !=
            S_OK)
            return std::nullopt;
        std::string data;
        char buffer[4096];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) data.append(buffer, got);
        return data;
    }

    // The text records of the file's #SYSTEM header, by code: 0 contents,
    // 1 index, 2 start page, 3 title.
    std::map<int, std::string> SystemTexts() const
    {
        std::map<int, std::string> texts;
        std::optional<std::string> system = Read("#SYSTEM");
        if (!system || system->size() < 4) return texts;
        size_t at = 4; // after the version
        while (at + 4 <= system->size()) {
            auto word = [&](size_t i) {
                return static_cast<unsigned>(static_cast<unsigned char>((*system)[i])) |
                       static_cast<unsigned>(static_cast<unsigned char>((*system)[i + 1])) << 8;
            };
            unsigned code = word(at), length = word(at + 2);
            at += 4;
            if (at + length > system->size()) break;
            if (code <= 3) {
                std::string text = system->substr(at, length);
                text.resize(std::min(text.find('\0'), text.size()));
                texts[code] = text;
            }
            at += length;
        }
        return texts;
    }

    ComRef<IStorage> FRoot;

private:
    bool FComReady = false;
};

TEST_F(HelpFileTest, IsCompiledHelpWithContentsIndexAndStartPage)
{
    // The viewer recognises the file by its header: "ITSF", version 3.
    HANDLE file = CreateFileA(kHelpFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << kHelpFile;
    unsigned char header[8] = {};
    DWORD got = 0;
    ReadFile(file, header, sizeof header, &got, nullptr);
    CloseHandle(file);
    ASSERT_EQ(got, sizeof header);
    EXPECT_EQ(std::memcmp(header, "ITSF", 4), 0);
    EXPECT_EQ(header[4] | header[5] << 8 | header[6] << 16 | header[7] << 24, 3);

    // What the viewer opens first: its title, the contents and index tabs
    // (sitemaps), and the start page.
    std::map<int, std::string> system = SystemTexts();
    EXPECT_FALSE(system[3].empty()) << "no title";
    for (int code : {0, 1}) {
        std::optional<std::string> sitemap = Read(system[code]);
        ASSERT_TRUE(sitemap) << (code == 0 ? "contents" : "index") << " \"" << system[code] << "\" missing";
        EXPECT_NE(Lower(*sitemap).find("text/sitemap"), std::string::npos) << system[code];
    }
    std::optional<std::string> start = Read(system[2]);
    ASSERT_TRUE(start) << "start page \"" << system[2] << "\" missing";
    EXPECT_NE(Title(*start), "");
}

TEST_F(HelpFileTest, EveryChapterIsInTheContentsAndEveryLinkOpens)
{
    std::map<int, std::string> system = SystemTexts();
    std::optional<std::string> contents = Read(system[0]);
    ASSERT_TRUE(contents) << "no contents";

    std::set<std::string> inContents;
    for (const auto& link : Links(*contents))
        if (auto target = Resolve("", link)) inContents.insert(*target);
    for (const char* chapter : kChapters) {
        EXPECT_EQ(inContents.count(chapter), 1u) << chapter << " is not in the contents";
    }

    // Everything reachable from the contents, the index and the start page
    // opens, and each page has a title (the index and the search list pages by it).
    std::deque<std::pair<std::string, std::string>> todo; // target, where it is linked from
    for (const auto& source : {system[0], system[1], system[2]}) todo.emplace_back(Lower(source), "#SYSTEM");
    std::set<std::string> seen;
    while (!todo.empty()) {
        auto [target, from] = todo.front();
        todo.pop_front();
        if (!seen.insert(target).second) continue;
        std::optional<std::string> data = Read(target);
        if (!data) {
            ADD_FAILURE() << target << ", linked from " << from << ", is missing";
            continue;
        }
        EXPECT_FALSE(data->empty()) << target;
        bool page = target.size() > 4 && target.compare(target.size() - 4, 4, ".htm") == 0;
        if (page) {
            EXPECT_NE(Title(*data), "") << target << " has no title";
        }
        if (page || target == Lower(system[0]) || target == Lower(system[1])) {
            for (const auto& link : Links(*data))
                if (auto next = Resolve(target, link)) todo.emplace_back(*next, target);
        }
    }
}

} // namespace
