#include "graphics/MeshContainer.h"

#include "graphics/D3DRender.h"
#include "graphics/DataFileReader.h"
#include "shell/FileManager.h"
#include "shell/Log.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void ShowOpenError(const char* name)
{
    char message[MESH_NAME_SIZE + 64];
    std::snprintf(message, sizeof(message), "Open mesh file '%s' error!", name);
    ErrorBox(message, "Mesh error!", MB_OK);
}

bool LoadRecord(CMeshRecord* record, DWORD options, int optimise)
{
    std::vector<unsigned char> bytes;
    MeshFileLayout layout;
    return ReadDataFile(record->m_szName, ARCHIVE_WORLD, false, MAX_MESH_FILE_BYTES, &bytes) == DataFileResult::Read &&
           ParseMeshFile(bytes.data(), bytes.size(), record->m_nFormat, &layout) &&
           record->Load(layout, g_D3DRender.m_pDevice, options, optimise);
}

} // namespace

CMeshRecord* CMeshContainer::Find(const char* name, std::uint32_t format) const
{
    for (CMeshRecord* r = m_pHead; r; r = r->m_pNext) {
        if (r->m_nFormat == format && std::strcmp(r->m_szName, name) == 0)
            return r;
    }
    return nullptr;
}

CMeshRecord* CMeshContainer::Append(const char* name, std::uint32_t format)
{
    CMeshRecord* record = new CMeshRecord;
    record->m_nFormat = format;
    std::memcpy(record->m_szName, name, std::strlen(name) + 1);
    record->m_nId = static_cast<int>(m_nNextId++);
    CMeshRecord** tail = &m_pHead;
    while (*tail)
        tail = &(*tail)->m_pNext;
    *tail = record;
    return record;
}

CMeshRecord* CMeshContainer::LoadMesh(const char* name, std::uint32_t format, DWORD options, int optimise)
{
    if (!name || std::strlen(name) >= MESH_NAME_SIZE || format >= MESH_FORMAT_COUNT) {
        ShowOpenError(name ? name : "");
        return nullptr;
    }
    if (CMeshRecord* shared = Find(name, format)) {
        if (!shared->m_bLoaded)
            return nullptr;
        ++shared->m_nRefCount;
        return shared;
    }
    CMeshRecord* record = Append(name, format);
    if (!LoadRecord(record, options, optimise)) {
        ShowOpenError(name);
        return nullptr;
    }
    return record;
}

void CMeshContainer::RemoveRecord(CMeshRecord* record)
{
    for (CMeshRecord** link = &m_pHead; *link; link = &(*link)->m_pNext) {
        if (*link == record) {
            *link = record->m_pNext;
            record->Free();
            delete record;
            return;
        }
    }
}

void CMeshContainer::ReleaseMesh(CMeshRecord* record)
{
    if (!record)
        return;
    if (record->m_nRefCount == 0) {
        char line[MESH_NAME_SIZE + 64];
        std::snprintf(line, sizeof(line), "Mesh reference counter in use! (ID: %d; Name: %s", record->m_nId,
                      record->m_szName);
        DebugLog(line);
        return;
    }
    if (--record->m_nRefCount == 0)
        RemoveRecord(record);
}

void CMeshContainer::Release()
{
    DebugLog("\tCMeshContainer::Release() start...");
    while (m_pHead) {
        CMeshRecord* record = m_pHead;
        char line[MESH_NAME_SIZE + 64];
        std::snprintf(line, sizeof(line), "\t\tMesh lost! (ID: %d; REF: %d; Name: %s", record->m_nId,
                      static_cast<int>(record->m_nRefCount), record->m_szName);
        DebugLog(line);
        m_pHead = record->m_pNext;
        record->Free();
        delete record;
    }
    DebugLog("\tCMeshContainer::Release() done!");
}
