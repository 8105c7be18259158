// Folder cleaning and restart-time deletion for the privacy cleanup.
//
// The walk deletes what a folder holds and hands what it cannot delete now to
// Windows for its next start: "nul=" lines under "[rename]" of "wininit.ini"
// in the 98 edition, the system's delayed deletion in the XP edition. A
// cleaner must never delete what was not chosen, so the walk:
//   - never cleans a drive or share root, the Windows or system directory,
//     the user's profile folder or a folder holding one of them, nor a folder
//     that is a link or lies below one: its text says nothing of where it
//     really is;
//   - never descends through a link (a junction, a symbolic link or any other
//     reparse point); it removes the link itself where the system lets it
//     address the link, and otherwise leaves it. Wine shows a Unix symbolic
//     link to a folder as 0x410 but opens, moves and removes what it points
//     to, never the link, so there links stay where they are;
//   - never deletes through a link to a file. Where links carry their mark
//     (Windows), deleting one removes only the link. Wine shows a Unix link
//     to a file as the file itself and deletes what it points to, so there
//     each file is opened first and left when it really is somewhere else;
//   - addresses an entry only by its own path: where the short form cannot be
//     had, the shared buffer still holds the previous entry's path.
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "ShellFolders.h"
#include "Unit1.h"

namespace {

// The size every short-path call is told, terminator included.
const DWORD kShortPathSize = 260;

bool IsDots(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// A file left for the restart loses its read-only mark first: the system
// deletes it then as it finds it, and would refuse a read-only file.
void ReadOnlyCleared(const char* path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Whether the entry at path is the link itself as the system opens it. A
// handle opened on a reparse point without following it carries the
// reparse attribute; where the system follows the link anyway (Wine), the
// handle is the target's and deleting by this path would hit the target.
bool SystemAddressesLinkItself(const std::string& path)
{
    HANDLE entry = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (entry == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool itself = GetFileInformationByHandle(entry, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    CloseHandle(entry);
    return itself;
}

// Whether a link to a file looks like the file it points to, so that only an
// open tells them apart: under Wine (a Unix link to a file carries no
// reparse mark there). Decided once; Windows marks every link itself.
bool FileLinksLookLikeFiles()
{
    static const bool unmarked = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return unmarked;
}

// Where the system's functions for telling and deleting by handle are looked
// up, not imported: Windows 98 and XP lack them, and only Wine needs them.
template <typename Function>
Function SystemFunction(const char* module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}

// The name of what the handle really opens, every link on the way resolved
// (ANSI, in the system's own form); "" when the system cannot tell or the
// code page cannot spell it.
std::string OpenedName(HANDLE handle)
{
    struct Name {
        USHORT Length;
        USHORT MaximumLength;
        WCHAR* Buffer;
    };
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const QueryObject query = SystemFunction<QueryObject>("ntdll.dll", "NtQueryObject");
    const int objectNameInformation = 1;
    union {
        Name name;
        BYTE bytes[sizeof(Name) + 1024 * sizeof(WCHAR)];
    } buffer;
    ULONG size = 0;
    if (query == nullptr || query(handle, objectNameInformation, &buffer, sizeof buffer, &size) < 0) return "";
    const int length = buffer.name.Length / sizeof(WCHAR);
    if (length == 0) return "";
    char name[2048];
    BOOL unspellable = FALSE;
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, buffer.name.Buffer, length, name,
                                            sizeof name, nullptr, &unspellable);
    return written == 0 || unspellable ? "" : std::string(name, written);
}

// Asks the system to delete the opened file when its handle closes; false
// when it refuses (a read-only file, for one).
bool MarkedForDeletion(HANDLE file)
{
    using SetFileInformation = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
    static const SetFileInformation set =
        SystemFunction<SetFileInformation>("kernel32.dll", "SetFileInformationByHandle");
    const int fileDispositionInfo = 4;
    BOOLEAN deleteFile = TRUE;
    return set != nullptr && set(file, fileDispositionInfo, &deleteFile, sizeof deleteFile);
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What became of a file that a folder lists, where links to files look like
// files.
enum class FileOutcome {
    Deleted,
    Refused, // the file itself, which the system will not delete now
    Left,    // a link to a file elsewhere, or a file that cannot be told from one
};

// A folder whose files are told from links to files (under Wine): a file is
// opened once, told by the name of what the handle opens, and deleted
// through that handle, so that the look costs one query per file. The
// folder's own real name is worked out at its first file.
class FolderOfFiles {
public:
    explicit FolderOfFiles(const std::string& folder) : FFolder(folder) {}

    // Deletes the file opened by path, which the folder lists under name
    // (its long name), when it is that very file.
    FileOutcome Delete(const char* path, const char* name)
    {
        HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            // In use or refused: a look that needs no right to delete tells
            // whether it is the file itself, to be left for the restart.
            file = CreateFileA(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) return FileOutcome::Left;
            const bool itself = Opens(file, name);
            CloseHandle(file);
            return itself ? FileOutcome::Refused : FileOutcome::Left;
        }
        FileOutcome outcome = FileOutcome::Left;
        if (Opens(file, name)) outcome = MarkedForDeletion(file) ? FileOutcome::Deleted : FileOutcome::Refused;
        CloseHandle(file);
        return outcome;
    }

private:
    bool Opens(HANDLE file, const char* name)
    {
        if (!FKnown) {
            HANDLE folder = CreateFileA(FFolder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            if (folder != INVALID_HANDLE_VALUE) {
                FName = OpenedName(folder);
                CloseHandle(folder);
            }
            FKnown = true;
        }
        if (FName.empty()) return false;
        const std::string opened = OpenedName(file);
        const std::string expected = FName + (FName.back() == '\\' ? "" : "\\") + name;
        return !opened.empty() && lstrcmpiA(opened.c_str(), expected.c_str()) == 0;
    }

    const std::string& FFolder;
    bool FKnown = false;
    std::string FName;
};

std::string ComparablePath(const std::string& path, bool longNames = true);

// One walk of a folder; the recursion stays inside, so that the top-level
// refusal of DeleteFolderContents is made once per call.
class FolderWalk {
public:
    FolderWalk(char* shortPath, FILE* wininitOut, const std::string& ownFile)
        : FShortPath(shortPath), FWininitOut(wininitOut), FOwnFile(ownFile)
    {
    }

    int Run(const std::string& folder, const std::string& mask)
    {
        int result = 1;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\" + mask).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 1;
        FolderOfFiles files(folder);
        do {
            if (IsDots(found.cFileName)) continue;
            std::string path = folder + "\\" + found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                if (IsOwnFile(found.cFileName, path)) continue;
                if (DeleteOrSchedule(path, found, files)) result = 0;
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // Never entered; removed only where that removes the link.
                if (SystemAddressesLinkItself(path) && RemoveOrSchedule(path)) result = 0;
            } else {
                // Whatever was scheduled inside keeps the folder, and counts
                // even when the folder itself cannot be named for the restart.
                if (Run(path, "*.*") == 0) result = 0;
                if (RemoveOrSchedule(path)) result = 0;
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return result;
    }

private:
    // Whether the entry is the program's own file of this call (the copy of
    // "wininit.ini" it is reading). Paths are compared only when the names
    // match, so the walk pays nothing for it.
    bool IsOwnFile(const char* name, const std::string& path) const
    {
        if (FOwnFile.empty()) return false;
        const size_t slash = FOwnFile.find_last_of('\\');
        const std::string ownName = slash == std::string::npos ? FOwnFile : FOwnFile.substr(slash + 1);
        return lstrcmpiA(name, ownName.c_str()) == 0 && ComparablePath(path) == ComparablePath(FOwnFile);
    }

    // The short form of path into the shared buffer; false when the system
    // gives none or needs more than the buffer, and the buffer then does not
    // hold this entry's path.
    bool ShortForm(const std::string& path)
    {
        DWORD length = GetShortPathNameA(path.c_str(), FShortPath, kShortPathSize);
        return length != 0 && length < kShortPathSize;
    }

    // Removes an emptied folder (or a link) now, else schedules it; true
    // when it was scheduled.
    bool RemoveOrSchedule(const std::string& path)
    {
        bool own = ShortForm(path);
        if (RemoveDirectoryA(own ? FShortPath : path.c_str())) return false;
#ifdef Edition98
        if (!own || FWininitOut == nullptr) return false; // left, with no line
        std::fprintf(FWininitOut, "nul=%s\n", FShortPath);
#else
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
#endif
        return true;
    }

    // Deletes a file now, else schedules it; true when it was scheduled. A
    // link to a file is neither (either would hit what it leads to).
    bool DeleteOrSchedule(const std::string& path, const WIN32_FIND_DATAA& found, FolderOfFiles& files)
    {
#ifdef Edition98
        if (!ShortForm(path)) {
            DeleteNow(path.c_str(), found, files); // by its long path, else left with no line
            return false;
        }
        if (DeleteNow(FShortPath, found, files) != FileOutcome::Refused || FWininitOut == nullptr) return false;
        ReadOnlyCleared(FShortPath, found.dwFileAttributes);
        std::fprintf(FWininitOut, "nul=%s\n", FShortPath);
#else
        if (DeleteNow(path.c_str(), found, files) != FileOutcome::Refused) return false;
        ReadOnlyCleared(path.c_str(), found.dwFileAttributes);
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
#endif
        return true;
    }

    // Where links carry their mark, deleting one removes only the link.
    static FileOutcome DeleteNow(const char* path, const WIN32_FIND_DATAA& found, FolderOfFiles& files)
    {
        if (FileLinksLookLikeFiles()) return files.Delete(path, found.cFileName);
        return DeleteFileA(path) ? FileOutcome::Deleted : FileOutcome::Refused;
    }

    char* FShortPath;   // the main window's buffer, borrowed
    FILE* FWininitOut;  // borrowed; only the 98 edition writes to it, and
                        // without it (no cleaning call open) nothing is
                        // scheduled
    const std::string& FOwnFile; // left alone; "" for none
};

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The absolute form of path (in long names when asked and the path exists),
// without a final "\" but for a drive root, upper-cased for comparing; ""
// when the system gives none.
std::string ComparablePath(const std::string& path, bool longNames)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return "";
    std::string result = full;
    char longForm[MAX_PATH];
    if (longNames) length = GetLongPathNameA(full, longForm, MAX_PATH);
    if (longNames && length != 0 && length < MAX_PATH) result = longForm;
    while (result.size() > 3 && (result.back() == '\\' || result.back() == '/')) result.pop_back();
    return Upper(result);
}

// Whether inner is outer or lies below it.
bool Contains(const std::string& outer, const std::string& inner)
{
    if (inner.size() < outer.size() || inner.compare(0, outer.size(), outer) != 0) return false;
    return inner.size() == outer.size() || outer.back() == '\\' || inner[outer.size()] == '\\';
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A folder that is no cleaning target: the profile folder and the Windows
// and system directories, whose contents are the user's and the system's.
std::vector<std::string> ProtectedFolders()
{
    std::vector<std::string> folders;
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length != 0 && length < MAX_PATH) folders.push_back(path);
    length = GetSystemDirectoryA(path, MAX_PATH);
    if (length != 0 && length < MAX_PATH) folders.push_back(path);
    const std::string profile = ShellFolderPath(CSIDL_PROFILE);
    if (!profile.empty()) folders.push_back(profile);
    DWORD envLength = GetEnvironmentVariableA("USERPROFILE", path, MAX_PATH);
    if (envLength != 0 && envLength < MAX_PATH) folders.push_back(path);
    return folders;
}

// Whether the entry at path is missing as far as the system can tell: a
// path that does not exist, or cannot (an invalid name, a share that is not
// there), holds no link.
bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME || error == ERROR_BAD_DEV_TYPE;
}

// Whether the folder is a link, a junction or another reparse point, or a
// folder on the way to it below its root (the first rootLength characters)
// is one; also when that cannot be told. One look per folder on the way.
// The path is asked without a final "\": through that, Wine shows what a
// link to a folder leads to, not the link.
bool PassesThroughLink(const std::string& folder, size_t rootLength)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return true;
    std::string path = full;
    while (path.size() > rootLength && IsSeparator(path.back())) path.pop_back();
    for (size_t end = path.find('\\', rootLength);; end = path.find('\\', end + 1)) {
        const DWORD attributes = GetFileAttributesA(path.substr(0, end).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return !IsMissing(GetLastError());
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
        if (end == std::string::npos) return false;
    }
}

} // namespace

bool TForm1::IsCleanableFolder(const std::string& folder)
{
    // Absolute paths only: "X:\..." or "\\server\share\...". Everything else
    // (empty, ".", "..", "C:", "C:name", "\name") depends on the current
    // drive or folder. Device and long-path forms are not targets either.
    bool drivePath = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                     IsSeparator(folder[2]);
    bool sharePath = folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1]);
    if (!drivePath && !sharePath) return false;
    if (sharePath && folder.size() >= 4 && (folder[2] == '?' || folder[2] == '.') && IsSeparator(folder[3]))
        return false;

    // No long names for a share: that would reach out to the network.
    std::string path = ComparablePath(folder, !sharePath);
    if (path.empty()) return false;
    if (sharePath) {
        // "\\server\share" is the root of the share: a target lies below it.
        size_t server = path.find('\\', 2);
        if (server == std::string::npos || server == 2) return false;
        size_t share = path.find('\\', server + 1);
        return share != std::string::npos && share > server + 1 && share + 1 < path.size() &&
               !PassesThroughLink(folder, share + 1);
    }
    if (path.size() <= 3) return false; // "X:\"
    for (const std::string& folderOfSystem : ProtectedFolders()) {
        std::string guarded = ComparablePath(folderOfSystem);
        if (!guarded.empty() && Contains(path, guarded)) return false;
    }
    // Judged by its text so far; a link on the way makes that text say
    // nothing of where the folder really is.
    return !PassesThroughLink(folder, 3);
}

int TForm1::DeleteFolderContents(std::string folder, std::string mask)
{
    if (!IsCleanableFolder(folder)) return 1;
    return FolderWalk(ShortPathBuffer, WininitOut, WininitCopy).Run(folder, mask);
}

#ifdef Edition98
namespace {

const char kCouldNotOpen[] = "The application could not open\nthe file wininit.ini";

// Whether a piece read at the start of a line is the section header, in any
// letter case, with or without its line end.
bool IsRenameHeader(const char* piece)
{
    static const char header[] = "[rename]";
    size_t i = 0;
    for (; header[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(piece[i])) != header[i]) return false;
    return piece[i] == '\0' || (piece[i] == '\n' && piece[i + 1] == '\0');
}

} // namespace

int TForm1::CleanFolderWithWininit(std::string folder, std::string mask)
{
    int result = 1;
    char tempFolder[MAX_PATH] = "";
    char tempCopy[MAX_PATH] = "";
    DWORD length = GetTempPathA(MAX_PATH, tempFolder);
    bool haveTempCopy = length != 0 && length < MAX_PATH && GetTempFileNameA(tempFolder, "qln", 0, tempCopy) != 0;
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string path = std::string(windows) + "\\wininit.ini";

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        WininitOut = std::fopen(path.c_str(), "wt");
        if (WininitOut == nullptr) {
            ShowMessageDialog(kCouldNotOpen, "Error", MB_OK);
        } else {
            std::fputs("[rename]\n", WininitOut);
            result = DeleteFolderContents(folder, mask);
        }
    } else if (!haveTempCopy) {
        // Rewriting the old file needs a copy of it to read from.
        ShowMessageDialog(kCouldNotOpen, "Error", MB_OK);
    } else if (!CopyFileA(path.c_str(), tempCopy, FALSE)) {
        ShowSystemError(GetLastError());
    } else if ((WininitIn = std::fopen(tempCopy, "rt")) == nullptr ||
               (WininitOut = std::fopen(path.c_str(), "wt")) == nullptr) {
        // Nothing was read, so nothing may be written: the old file stays.
        ShowMessageDialog(kCouldNotOpen, "Error", MB_OK);
    } else {
        WininitCopy = tempCopy;
        // Every piece passes through as read (a line longer than 100
        // characters comes in pieces); a header, only at the start of a line,
        // is followed by this call's lines.
        char piece[101];
        bool lineStart = true;
        bool headerMet = false;
        while (std::fgets(piece, sizeof piece, WininitIn) != nullptr) {
            std::fputs(piece, WininitOut);
            size_t pieceLength = std::strlen(piece);
            bool lineEnds = pieceLength != 0 && piece[pieceLength - 1] == '\n';
            if (lineStart && IsRenameHeader(piece)) {
                if (!lineEnds) std::fputs("\n", WininitOut);
                lineEnds = true;
                headerMet = true;
                result = DeleteFolderContents(folder, mask);
            }
            lineStart = lineEnds;
        }
        if (!headerMet) {
            if (!lineStart) std::fputs("\n", WininitOut);
            std::fputs("[rename]\n", WininitOut);
            result = DeleteFolderContents(folder, mask);
        }
    }
    if (WininitIn != nullptr) std::fclose(WininitIn);
    if (WininitOut != nullptr) std::fclose(WininitOut);
    WininitIn = nullptr;
    WininitOut = nullptr;
    WininitCopy.clear();
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    if (haveTempCopy) {
        // Windows gives the copy the attributes of "wininit.ini", read-only
        // included (Wine does not when the copy overwrites the empty file).
        SetFileAttributesA(tempCopy, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(tempCopy);
    }
    return result;
}
#else
int TForm1::CleanFolder(std::string folder, std::string mask)
{
    return DeleteFolderContents(folder, mask);
}

int TForm1::DeleteFileNowOrAtRestart(std::string path)
{
    // The file's folder is judged as a cleaning target is; a link to a file
    // is left as the walk leaves it. A missing file or folder takes its
    // usual way below.
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    if (!IsCleanableFolder(folder)) return 1;
    WIN32_FIND_DATAA found; // the name as the folder lists it
    HANDLE search = FileLinksLookLikeFiles() ? FindFirstFileA(path.c_str(), &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        if (FolderOfFiles(folder).Delete(path.c_str(), found.cFileName) != FileOutcome::Refused) return 1;
    } else {
        if (DeleteFileA(path.c_str())) return 1;
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return 1;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) ReadOnlyCleared(path.c_str(), attributes);
    MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}
#endif
