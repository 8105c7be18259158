// Cleaning a tree of 10,000 files in 100 folders against the floor of a bare
// walk that deletes the same tree: FindFirstFileA/FindNextFileA, DeleteFileA
// and RemoveDirectoryA, plus in the 98 edition the one GetShortPathNameA per
// entry by whose result the entry is deleted. Where links to files carry no
// mark of their own (Wine), the cleaning opens every file to tell it from a
// link; there a second floor does the same: the bare walk deleting each file
// through a handle (open, NtQueryObject for the name of what it opens,
// SetFileInformationByHandle, close), with one such look per folder.
// Each measurement gets a fresh copy of the tree; rounds rotate which goes
// first. The ratios of the best times count; the median of the rounds' ratios
// is printed beside them, since a shared disk makes single rounds slow by
// several times, all sides alike.
// Run by hand: tools/wine-run build/i686/bin/cleaning_bench98.exe (and XP).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Unit1.h"

namespace {

const int kFolders = 100;
const int kFilesPerFolder = 100;
const int kRounds = 7;
const char kBenchDir[] = "C:\\work\\bench";

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Names as a browser cache has them: long, with spaces, not 8.3.
void MakeTree(const std::string& root)
{
    CreateDirectoryA(root.c_str(), nullptr);
    char name[64];
    for (int f = 0; f < kFolders; ++f) {
        std::snprintf(name, sizeof name, "\\Cache Folder %03d", f);
        std::string folder = root + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            std::snprintf(name, sizeof name, "\\Cached Page %04d.html", i);
            HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, "<html></html>", 13, &written, nullptr);
            CloseHandle(file);
        }
    }
}

// The check of the floor that tells files from links to files as the
// cleaning does: the name of what a handle opens (NtQueryObject), and the
// deletion through that handle.
struct FileCheck {
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    using SetFileInformation = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
    QueryObject Query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    SetFileInformation Set = reinterpret_cast<SetFileInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));

    std::string Name(HANDLE handle) const
    {
        union {
            struct {
                USHORT Length, MaximumLength;
                WCHAR* Buffer;
            } Name;
            BYTE Bytes[2064];
        } buffer;
        ULONG size = 0;
        if (Query(handle, 1, &buffer, sizeof buffer, &size) < 0) return "";
        char name[2048];
        int length = WideCharToMultiByte(CP_ACP, 0, buffer.Name.Buffer, buffer.Name.Length / 2, name, sizeof name,
                                         nullptr, nullptr);
        return std::string(name, length);
    }
    std::string FolderName(const std::string& folder) const
    {
        HANDLE handle = CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        std::string name = Name(handle);
        CloseHandle(handle);
        return name;
    }
    void Delete(const char* path, const std::string& expected) const
    {
        HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING, 0, nullptr);
        BOOLEAN deleteFile = TRUE;
        if (lstrcmpiA(Name(file).c_str(), expected.c_str()) == 0) Set(file, 4, &deleteFile, sizeof deleteFile);
        CloseHandle(file);
    }
};

// The floors: what any walk that deletes the tree must do, and with check
// also what telling every file from a link to a file costs.
void BareWalk(const std::string& folder, const FileCheck* check = nullptr)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    char shortPath[264];
    const std::string folderName = check ? check->FolderName(folder) : "";
    do {
        if (std::string(found.cFileName) == "." || std::string(found.cFileName) == "..") continue;
        std::string path = folder + "\\" + found.cFileName;
        bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder) BareWalk(path, check);
#ifdef Edition98
        GetShortPathNameA(path.c_str(), shortPath, 260);
        const char* name = shortPath;
#else
        (void)shortPath;
        const char* name = path.c_str();
#endif
        if (isFolder)
            RemoveDirectoryA(name);
        else if (check)
            check->Delete(name, folderName + "\\" + found.cFileName);
        else
            DeleteFileA(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

int Clean(TForm1* form, const std::string& folder)
{
#ifdef Edition98
    return form->CleanFolderWithWininit(folder, "*.*");
#else
    return form->CleanFolder(folder, "*.*");
#endif
}

bool TreeIsGone(const std::string& root)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    int entries = 0;
    do ++entries;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return entries == 2; // "." and ".."
}

} // namespace

int main()
{
    Application->Initialize();
    TForm1* form = new TForm1(Application);
    CreateDirectoryA(kBenchDir, nullptr);
#ifdef Edition98
    // An existing "wininit.ini" with a section before the header, as the
    // program meets it after its first step.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    HANDLE ini = CreateFileA((std::string(windows) + "\\wininit.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    const char text[] = "[Other]\r\nx=y\r\n[rename]\r\nnul=C:\\OLDER.TMP\r\n";
    DWORD written = 0;
    WriteFile(ini, text, sizeof text - 1, &written, nullptr);
    CloseHandle(ini);
    const char* edition = "CleanFolderWithWininit";
#else
    const char* edition = "CleanFolder";
#endif

    // The per-file check runs where links to files look like files (Wine);
    // elsewhere the walk must stay within 1.15 of the bare walk.
    const bool fileLinksUnmarked = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    const FileCheck check;
    const bool checkedFloor = fileLinksUnmarked && check.Query != nullptr && check.Set != nullptr;

    struct Side {
        explicit Side(const char* name) : Name(name) {}
        const char* Name;
        double Best = 1e30;
        std::vector<double> Times;
    };
    std::vector<Side> sides = {Side("floor (bare walk)"), Side(edition)};
    if (checkedFloor) sides.push_back(Side("floor (walk + check)"));
    std::printf("%-24s %d files in %d folders%s\n", "tree", kFolders * kFilesPerFolder, kFolders,
                fileLinksUnmarked ? ", links to files unmarked (each file checked)" : "");
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::string> trees;
        for (size_t side = 0; side < sides.size(); ++side) {
            trees.push_back(std::string(kBenchDir) + "\\tree" + std::to_string(side) + "-" + std::to_string(round));
            MakeTree(trees.back());
        }
        std::vector<double> times(sides.size());
        for (size_t turn = 0; turn < sides.size(); ++turn) {
            const size_t side = (turn + round) % sides.size();
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            if (side == 0)
                BareWalk(trees[side]);
            else if (side == 2)
                BareWalk(trees[side], &check);
            else if (Clean(form, trees[side]) != 1)
                std::fprintf(stderr, "something was scheduled\n");
            QueryPerformanceCounter(&t1);
            times[side] = Seconds(t0, t1);
        }
        for (size_t side = 0; side < sides.size(); ++side) {
            if (!TreeIsGone(trees[side])) {
                std::fprintf(stderr, "the tree of %s was not deleted whole\n", sides[side].Name);
                return 1;
            }
            RemoveDirectoryA(trees[side].c_str());
            sides[side].Times.push_back(times[side]);
            sides[side].Best = std::min(sides[side].Best, times[side]);
        }
        std::printf("round %d                 ", round + 1);
        for (size_t side = 0; side < sides.size(); ++side) std::printf(" %s %.3f s", sides[side].Name, times[side]);
        std::printf("\n");
    }
    for (const Side& side : sides) std::printf("%-24s %.3f s\n", side.Name, side.Best);
    // Each floor against the cleaning: best times, and the median of rounds.
    for (size_t floor = 0; floor < sides.size(); ++floor) {
        if (floor == 1) continue;
        std::vector<double> ratios;
        for (int round = 0; round < kRounds; ++round) ratios.push_back(sides[1].Times[round] / sides[floor].Times[round]);
        std::sort(ratios.begin(), ratios.end());
        const bool bound = floor == (checkedFloor ? 2u : 0u);
        std::printf("ratio to %-21s %.3f%s, median round ratio %.3f\n", sides[floor].Name,
                    sides[1].Best / sides[floor].Best, bound ? " (must stay at or below 1.15)" : "",
                    ratios[ratios.size() / 2]);
    }
    form->Free();
    return 0;
}
