// Placeholder until the archive file layer lands: opening the archives
// succeeds and serves nothing.
#include "shell/FileManager.h"

CFileManager g_FileManager;

int CFileManager::Init()
{
    return 1;
}
