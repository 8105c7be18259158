// Import slots for the programs that run on Windows 98.
//
// The compiler's runtime calls three wide-character functions: libgcc's
// mutexes and the exception unwinder create semaphores with CreateSemaphoreW,
// and the C runtime's code-page and random-number helpers look for DLLs with
// GetModuleHandleW and LoadLibraryW. The KERNEL32 of Windows 98 does not
// implement them (Windows 9x has only a few wide-character functions; most
// are stubs that fail, if they are exported at all). Those calls go through
// the functions' import slots (__imp_ symbols). Defining the slots here,
// filled with narrow-character versions, means the linker takes no import of
// the wide functions: the program imports only what Windows 98 exports and
// the runtime gets working functions there and on every later system.
#include <windows.h>

namespace {

// The name in the system's ANSI code page; false (with the system's error)
// when it does not fit or convert. Names here are DLL names and semaphore
// names, both shorter than MAX_PATH.
bool Narrow(LPCWSTR wide, char (&narrow)[MAX_PATH])
{
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, nullptr) != 0;
}

HANDLE WINAPI CreateSemaphoreNarrow(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (name && !Narrow(name, narrow)) return nullptr;
    return CreateSemaphoreA(attributes, initial, maximum, name ? narrow : nullptr);
}

HMODULE WINAPI GetModuleHandleNarrow(LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (name && !Narrow(name, narrow)) return nullptr;
    return GetModuleHandleA(name ? narrow : nullptr);
}

HMODULE WINAPI LoadLibraryNarrow(LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!Narrow(name, narrow)) return nullptr;
    return LoadLibraryA(narrow);
}

} // namespace

// A slot's name: "__imp_" and the function's symbol, which in 32-bit code
// carries a leading "_" and the size of its arguments ("@16").
#ifdef _WIN64
#define SWEEPORA_IMPORT_SLOT(function, argumentBytes) "__imp_" #function
#else
#define SWEEPORA_IMPORT_SLOT(function, argumentBytes) "__imp__" #function "@" #argumentBytes
#endif

extern "C" {
decltype(&CreateSemaphoreNarrow) CreateSemaphoreWSlot __asm__(SWEEPORA_IMPORT_SLOT(CreateSemaphoreW, 16)) =
    CreateSemaphoreNarrow;
decltype(&GetModuleHandleNarrow) GetModuleHandleWSlot __asm__(SWEEPORA_IMPORT_SLOT(GetModuleHandleW, 4)) =
    GetModuleHandleNarrow;
decltype(&LoadLibraryNarrow) LoadLibraryWSlot __asm__(SWEEPORA_IMPORT_SLOT(LoadLibraryW, 4)) = LoadLibraryNarrow;
}
