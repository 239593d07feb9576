// The template cars as stand-ins for the traffic while the program warm-up
// draws its unseen frames: no traffic is out yet when a game starts, and
// every model drawn fading in and solid makes the programs the traffic
// needs. What the draws change on a template is put back afterwards.
#include "roadusers/VehicleManager.h"

#include "roadusers/Vehicle.h"

void CVehicleManager::ShowTemplates(int shown, float alpha)
{
    for (int i = 0; i < VEHICLE_MODEL_COUNT; ++i) {
        CVehicle* model = m_Templates[i];
        if (!model)
            continue;
        const bool listed = IndexOf(model) >= 0;
        WarmUpSaved& saved = m_WarmUpSaved[i];
        if (shown) {
            if (!listed) {
                if (!AddVehicle(model))
                    continue;
                saved = {model->m_Material, {}, model->m_bVisible, model->m_fCameraDistance};
                for (int g = 0; g < 4; ++g)
                    saved.glass[g] = model->m_GlassMaterials[g];
            }
            model->m_bVisible = 1;
            model->m_bWarmUpWheels = 1;
            model->m_fCameraDistance = 0.0f;
            model->m_Material.Diffuse.a = alpha;
        } else if (listed) {
            RemoveVehicle(model);
            model->m_Material = saved.material;
            for (int g = 0; g < 4; ++g)
                model->m_GlassMaterials[g] = saved.glass[g];
            model->m_bVisible = saved.visible;
            model->m_bWarmUpWheels = 0;
            model->m_fCameraDistance = saved.distance;
        }
    }
}
