// Whole-file reads of meshes, textures and technique files: what lies where a
// data file belongs may be a folder or something enormous.
#include "graphics/DataFileReader.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(DataFileReader, RefusesFoldersAndFilesOverTheirCapWithALogLine)
{
    test::ScopedTempDir dir;
    g_bDebugLog = 1;
    g_bFileManager = 0;
    g_FileManager.Init();
    std::filesystem::create_directories("Data/Models");
    test::WriteWholeFile("Data/Models/ok.x", "mesh");
    test::WriteWholeFile("Data/Models/big.x", "mesh");
    std::filesystem::resize_file("Data/Models/big.x", 5ull << 30); // sparse, beyond 32 bits
    std::filesystem::create_directory("Data/Models/folder.x");

    struct Case {
        const char* path;
        std::uint32_t cap;
        DataFileResult result;
        std::size_t size;
    };
    const Case cases[] = {
        {"Data/Models/ok.x", MAX_MESH_FILE_BYTES, DataFileResult::Read, 4},
        {"Data/Models/ok.x", 4, DataFileResult::Read, 4},
        {"Data/Models/ok.x", 3, DataFileResult::Failed, 0},
        {"Data/Models/big.x", MAX_MESH_FILE_BYTES, DataFileResult::Failed, 0},
        {"Data/Models/folder.x", MAX_MESH_FILE_BYTES, DataFileResult::NotOpened, 0},
        {"Data/Models/none.x", MAX_MESH_FILE_BYTES, DataFileResult::NotOpened, 0},
    };
    // The optional reader differs only in saying nothing of a missing file.
    for (const bool optional : {false, true}) {
        auto* read = optional ? ReadOptionalDataFile : ReadDataFile;
        for (const Case& c : cases) {
            std::remove("debug.txt");
            std::vector<unsigned char> bytes(7, 1);
            EXPECT_EQ(read(c.path, ARCHIVE_WORLD, false, c.cap, &bytes), c.result) << c.path << " " << c.cap;
            EXPECT_EQ(bytes.size(), c.size) << c.path;
            const bool logged = test::ReadWholeFile("debug.txt").find(c.path) != std::string::npos;
            const bool quiet = c.result == DataFileResult::Read || (optional && c.result == DataFileResult::NotOpened);
            EXPECT_EQ(logged, !quiet) << c.path << " " << c.cap << (optional ? " optional" : "");
        }
    }
    g_bDebugLog = 0;
    g_bFileManager = 1;
}

} // namespace
