// Folder cleaning and restart-time deletion for the privacy cleanup.
#include "Unit1.h"

// Not built yet: nothing is deleted.
int TForm1::DeleteFolderContents(std::string, std::string)
{
    return 1;
}

#ifdef Edition98
int TForm1::CleanFolderWithWininit(std::string, std::string)
{
    return 1;
}
#else
int TForm1::CleanFolder(std::string, std::string)
{
    return 1;
}

int TForm1::DeleteFileNowOrAtRestart(std::string)
{
    return 1;
}
#endif

bool TForm1::IsCleanableFolder(const std::string&)
{
    return false;
}
