// Cleaning a tree of 10,000 files in 100 folders against the floor of a bare
// walk that deletes the same tree: FindFirstFileA/FindNextFileA, DeleteFileA
// and RemoveDirectoryA, plus in the 98 edition the one GetShortPathNameA per
// entry by whose result the entry is deleted. Each measurement gets a fresh
// copy of the tree; rounds alternate which goes first. The ratio of the best
// times counts; the median of the rounds' ratios is printed beside it, since
// a shared disk makes single rounds slow by several times, both sides alike.
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

// The floor: what any walk that deletes the tree must do.
void BareWalk(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    char shortPath[264];
    do {
        if (std::string(found.cFileName) == "." || std::string(found.cFileName) == "..") continue;
        std::string path = folder + "\\" + found.cFileName;
        bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder) BareWalk(path);
#ifdef Edition98
        GetShortPathNameA(path.c_str(), shortPath, 260);
        const char* name = shortPath;
#else
        (void)shortPath;
        const char* name = path.c_str();
#endif
        if (isFolder)
            RemoveDirectoryA(name);
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

    double bestFloor = 1e30, bestClean = 1e30;
    std::vector<double> ratios;
    std::printf("%-24s %d files in %d folders\n", "tree", kFolders * kFilesPerFolder, kFolders);
    for (int round = 0; round < kRounds; ++round) {
        std::string floorTree = std::string(kBenchDir) + "\\floor" + std::to_string(round);
        std::string cleanTree = std::string(kBenchDir) + "\\clean" + std::to_string(round);
        MakeTree(floorTree);
        MakeTree(cleanTree);
        double floor = 0, clean = 0;
        for (int turn = 0; turn < 2; ++turn) {
            LARGE_INTEGER t0, t1;
            bool floorTurn = (turn == 0) == (round % 2 == 0);
            QueryPerformanceCounter(&t0);
            if (floorTurn)
                BareWalk(floorTree);
            else if (Clean(form, cleanTree) != 1)
                std::fprintf(stderr, "something was scheduled\n");
            QueryPerformanceCounter(&t1);
            (floorTurn ? floor : clean) = Seconds(t0, t1);
        }
        if (!TreeIsGone(floorTree) || !TreeIsGone(cleanTree)) {
            std::fprintf(stderr, "a tree was not deleted whole\n");
            return 1;
        }
        RemoveDirectoryA(floorTree.c_str());
        RemoveDirectoryA(cleanTree.c_str());
        std::printf("round %d                  floor %.3f s, %s %.3f s, ratio %.3f\n", round + 1, floor, edition,
                    clean, clean / floor);
        ratios.push_back(clean / floor);
        bestFloor = std::min(bestFloor, floor);
        bestClean = std::min(bestClean, clean);
    }
    std::printf("%-24s %.3f s\n", "floor (bare walk)", bestFloor);
    std::printf("%-24s %.3f s\n", edition, bestClean);
    std::printf("%-24s %.3f (must stay at or below 1.15)\n", "ratio", bestClean / bestFloor);
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-24s %.3f\n", "median round ratio", ratios[ratios.size() / 2]);
    form->Free();
    return 0;
}
