// Dropping one reference of a device object and forgetting the pointer.
#pragma once

template <class T>
void ReleaseAndClear(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}
