// The owner of every loaded mesh: one record per (file name, vertex format),
// kept in load order and shared by reference count.
#pragma once

#include "graphics/MeshRecord.h"

class CMeshContainer {
public:
    // The shared record of the file in that format (its count raised), or a
    // new one read from the World archive. Null, after the "Mesh error!" box,
    // when the file is missing or malformed; such a record stays in the list
    // empty and every later request for it is null as well.
    CMeshRecord* LoadMesh(const char* name, std::uint32_t format, DWORD options, int optimise);
    // Gives back one reference; the record is freed at 0. Null is ignored.
    void ReleaseMesh(CMeshRecord* record);
    // Shut-down: frees every record still loaded, logging each.
    void Release();

    std::uint32_t m_nNextId = 0;
    CMeshRecord* m_pHead = nullptr;

private:
    CMeshRecord* Find(const char* name, std::uint32_t format) const;
    CMeshRecord* Append(const char* name, std::uint32_t format);
    // Unlinks, frees and deletes a listed record; one not listed is left alone.
    void RemoveRecord(CMeshRecord* record);
};

extern CMeshContainer g_MeshContainer;
