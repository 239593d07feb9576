#include "platform/D3D9Recording.h"
#include "platform/d3d9/RecordingDevice.h"

namespace plat {

namespace {
bool s_keepCalls = false;
} // namespace

void KeepDeviceCalls(bool keep)
{
    s_keepCalls = keep;
}

bool DeviceCallsKept()
{
    return s_keepCalls;
}

void DeviceLog::Add(D3DCall call)
{
    if (!s_keepCalls)
        return;
    if (m_calls.size() >= kMaxCalls)
        m_calls.pop_front();
    m_calls.push_back(std::move(call));
}

std::vector<D3DCall> DeviceLog::Of(D3DOp op) const
{
    std::vector<D3DCall> found;
    for (const D3DCall& call : m_calls)
        if (call.op == op)
            found.push_back(call);
    return found;
}

size_t DeviceLog::Count(D3DOp op) const
{
    size_t count = 0;
    for (const D3DCall& call : m_calls)
        count += call.op == op ? 1 : 0;
    return count;
}

bool DeviceLog::LastRenderState(DWORD state, DWORD* value) const
{
    for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it) {
        if (it->op == D3DOp::SetRenderState && it->a == state) {
            *value = it->b;
            return true;
        }
    }
    return false;
}

RecordingDevice* AsRecordingDevice(IDirect3DDevice9* device)
{
    return dynamic_cast<RecordingDevice*>(device);
}

DeviceLog& RecordedCalls(IDirect3DDevice9* device)
{
    return AsRecordingDevice(device)->Log();
}

void LoseDevice(IDirect3DDevice9* device)
{
    AsRecordingDevice(device)->Lose();
}

void AllowDeviceReset(IDirect3DDevice9* device)
{
    AsRecordingDevice(device)->AllowReset();
}

void ForceResetResult(IDirect3DDevice9* device, HRESULT result)
{
    AsRecordingDevice(device)->ForceResetResult(result);
}

DeviceCondition GetDeviceCondition(IDirect3DDevice9* device)
{
    return AsRecordingDevice(device)->Condition();
}

int LiveDefaultPoolResources(IDirect3DDevice9* device)
{
    return AsRecordingDevice(device)->LiveDefaultPool();
}

} // namespace plat
