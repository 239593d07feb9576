// The archive file layer.
#pragma once

class CFileManager {
public:
    int Init();
};

extern CFileManager g_FileManager;
