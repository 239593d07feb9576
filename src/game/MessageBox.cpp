// The message box: one numbered message at a time near the top of the
// screen. Opening some messages books money; some pause the world and swing
// the camera onto the player's car until the box closes.
#include "game/GameInterface.h"
#include "game/MessageRows.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/WinMain.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const D3DXCOLOR4 kDefaultColour{1.0f, 0.75f, 0.25f, 1.0f};
constexpr float kDefaultScale = 0.375f;
constexpr float kRowWidth = 340.0f;
const D3DXCOLOR4 kOrange{1.0f, 0.3f, 0.0f, 1.0f};
const D3DXCOLOR4 kAmber{1.0f, 0.7f, 0.0f, 1.0f};
const D3DXCOLOR4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// One styled run of rows: rows first..last take the colour and the scale
// (a scale of 0 leaves the row's scale).
struct RowStyle {
    int first, last;
    D3DXCOLOR4 colour;
    float scale;
};

bool HasOwnStyle(int id)
{
    return id == 2 || id == 3 || id == 4 || id == 5 || id == 7 || id == 9 || id == 10;
}

bool IgnoresCallerScale(int id)
{
    return id == 3 || id == 4 || id == 5 || id == 7 || id == 9 || id == 10;
}

void PlaySound(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

DWORD ToArgb(const D3DXCOLOR4& c, float alpha)
{
    auto channel = [](float v) { return static_cast<DWORD>(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
    return D3DCOLOR_ARGB(static_cast<DWORD>(std::clamp(alpha, 0.0f, 255.0f)), channel(c.r), channel(c.g),
                         channel(c.b));
}

} // namespace

// The game clock of a message's last showing, which its ration counts from.
void CGameInterface::StampMessage(int id)
{
    m_nMessageLastShown[id] = static_cast<std::uint32_t>(static_cast<std::int64_t>(g_GameTimer.m_fGameTime));
}

// The money a message carries is booked when it opens, and also when only
// another open box keeps it from showing.
void CGameInterface::BookMoney(int id)
{
    char* text = g_MessageTexts[id];
    if (id == MSG_ARRESTED) {
        int fine = static_cast<int>(g_PlayerStats.m_fCriminalLevel * 500.0f);
        if (g_PlayerStats.m_nMoney < 1) {
            std::snprintf(text, MESSAGE_TEXT_SIZE, "YOU are ARRESTED!");
            g_PlayerStats.m_nMoney = 0;
        } else {
            fine = std::min(fine, g_PlayerStats.m_nMoney);
            std::snprintf(text, MESSAGE_TEXT_SIZE, "YOU are ARRESTED!/Amount of the fine:/%d$/  ", fine);
            g_PlayerStats.m_nFinesTotal += fine;
            g_PlayerStats.m_nMoney -= fine;
        }
    } else if (id == MSG_TRICK_BONUS) {
        const int pursuit = g_PlayerStats.m_bPursuit ? 1 : 0;
        const int bonus = 500 + 500 * pursuit;
        g_PlayerStats.m_nMoney += bonus;
        g_PlayerStats.m_nEarningsTotal += bonus;
        PlaySound(m_pSoundMoney);
        std::snprintf(text, MESSAGE_TEXT_SIZE,
                      pursuit ? "YOU'VE GOT BONUS/  /for a UNIQUE TRICK/  /DURING PURSUIT!/  /%d$/  "
                              : "YOU'VE GOT BONUS/  /for a UNIQUE TRICK!/  /%d$/  ",
                      bonus);
    } else if (id == MSG_PASSENGER_DELIVERED) {
        const int fare = static_cast<int>(g_TaxiJob.m_fFare);
        g_PlayerStats.m_nMoney += fare;
        g_PlayerStats.m_nEarningsTotal += fare;
        if (fare > 0)
            PlaySound(m_pSoundMoney);
        std::snprintf(text, MESSAGE_TEXT_SIZE, "The Passenger was taken to the place!/You've earned:/  /%d$/  ", fare);
    } else if (id == MSG_CONGRATULATIONS) {
        g_PlayerStats.m_nMoney += 50000;
        PlaySound(m_pSoundMoney);
    }
}

void CGameInterface::StyleMessage(int id, const D3DXCOLOR4* colour, float scale)
{
    // Every row starts from the defaults, so rows past a style table never
    // keep an earlier message's look.
    const bool own = HasOwnStyle(id);
    const D3DXCOLOR4 base = colour && !own ? *colour : kDefaultColour;
    const float baseScale = scale != 0.0f && !IgnoresCallerScale(id) ? scale : kDefaultScale;
    for (int i = 0; i < MESSAGE_ROWS; ++i) {
        m_MessageRowColors[i] = base;
        m_fMessageRowScales[i] = baseScale;
    }

    std::vector<RowStyle> styles;
    switch (id) {
    case MSG_CRIMINAL_EXCEEDED:
        styles = {{0, 1, {1.0f, 0.3f, 0.3f, 1.0f}, 0.0f}, {2, 2, kAmber, 0.0f}, {3, 5, {0.7f, 1.0f, 0.0f, 1.0f}, 0.0f}};
        break;
    case MSG_ARRESTED:
        styles = {{0, 0, {1.0f, 0.3f, 0.3f, 1.0f}, 0.5f}, {1, 1, {1.0f, 0.5f, 0.0f, 1.0f}, 0.5f},
                  {2, 2, {1.0f, 0.8f, 0.0f, 1.0f}, 0.75f}};
        break;
    case MSG_PASSENGER_DELIVERED:
        styles = {{0, 2, kOrange, 0.4f}, {3, 3, kAmber, 0.8f}};
        break;
    case MSG_TRICK_BONUS:
        if (g_PlayerStats.m_bPursuit)
            styles = {{0, 5, kOrange, 0.4f}, {6, 6, kAmber, 0.8f}};
        else
            styles = {{0, 3, kOrange, 0.4f}, {4, 4, kAmber, 0.8f}};
        break;
    case MSG_POLICE_DEACTIVATED:
        styles = {{0, 1, kWhite, 0.5f}, {2, 2, kOrange, 0.5f}, {3, 3, kAmber, 0.8f}, {4, 5, kOrange, 0.4f}};
        break;
    case MSG_MAP_LEGEND:
        styles = {{0, 1, {1.0f, 0.8f, 0.4f, 1.0f}, 0.4f}, {2, 7, {1.0f, 0.6f, 0.0f, 1.0f}, 0.35f}};
        break;
    case MSG_CONGRATULATIONS:
        styles = {{0, 1, {1.0f, 0.6f, 0.2f, 1.0f}, 0.8f}, {2, 3, {1.0f, 1.0f, 0.5f, 1.0f}, 0.5f},
                  {4, 4, {1.0f, 1.0f, 0.2f, 1.0f}, 0.4f}, {5, 6, {0.7f, 0.7f, 0.7f, 1.0f}, 0.35f}};
        break;
    default:
        break;
    }
    for (const RowStyle& s : styles)
        for (int i = s.first; i <= s.last; ++i) {
            m_MessageRowColors[i] = s.colour;
            if (s.scale != 0.0f)
                m_fMessageRowScales[i] = s.scale;
        }
}

void CGameInterface::ShowMessage(int id, float time, const D3DXCOLOR4* colour, float scale)
{
    if (id < -1 || id >= MESSAGE_COUNT)
        return;
    if (id >= 0) {
        const std::uint32_t shown = m_nMessageShown[id];
        const float since = g_GameTimer.GetGameTimeSince(m_nMessageLastShown[id]);
        if ((id == MSG_CRIMINAL_LEVEL || id == MSG_CRIMINAL_EXCEEDED) && (since < 20.0f || shown >= 3))
            return;
        if ((id == MSG_MAP_LEGEND || id == MSG_PASSENGER) && shown >= 3)
            return;
        if (id == MSG_TRICK_BONUS && since < 60.0f)
            return;
        if (id == MSG_CONGRATULATIONS) {
            if (shown >= 1)
                return;
            m_bMessageVisible = 0;
            g_AudioManager.PlayVoice(0, 0);
            g_AudioManager.PlayVoice(0, 1);
        }
        if (m_bMessageVisible && m_nMessageId != id) {
            // Booked behind the open box, the money takes its ration too:
            // without the stamp every trick within the minute would pay.
            if (id == MSG_ARRESTED || id == MSG_TRICK_BONUS || id == MSG_PASSENGER_DELIVERED) {
                BookMoney(id);
                StampMessage(id);
            }
            return;
        }
    }
    m_nMessageId = id;
    if (id == -1) {
        m_bMessageVisible = 0;
        return;
    }
    m_bMessageVisible = 1;
    ++m_nMessageShown[id];
    StampMessage(id);
    m_fMessageTime = time;
    m_fMessageFade = 0.0f;
    m_fMessageElapsed = 0.0f;

    BookMoney(id);
    StyleMessage(id, colour, scale);

    const float cutScale = scale != 0.0f ? scale : kDefaultScale;
    RowWidthFn width;
    if (!IgnoresCallerScale(id))
        width = [this, cutScale](const char* text, int length) {
            char piece[MESSAGE_ROW_SIZE];
            const int n = std::min(length, MESSAGE_ROW_SIZE - 1);
            std::memcpy(piece, text, static_cast<std::size_t>(n));
            piece[n] = '\0';
            return m_Font.GetTextWidth(piece, cutScale, 0);
        };
    m_nMessageRows =
        static_cast<std::uint32_t>(CutMessageRows(g_MessageTexts[id], m_szMessageRows, MESSAGE_ROWS, width, kRowWidth));
}

// Gives back what a pausing message took: the camera and the running world.
void CGameInterface::UpdateMessagePause()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (!m_bMessageVisible) {
        if (m_bMessagePaused) {
            if (m_bMessageCameraMoved && camera)
                camera->SetMode(camera->m_nLastView, g_pPlayerVehicle);
            m_bMessageCameraMoved = 0;
            m_bMessagePaused = 0;
            g_bInGame = 1;
            g_GameTimer.Resume();
        }
        return;
    }
    const bool pausing = m_nMessageId == MSG_CRIMINAL_LEVEL || m_nMessageId == MSG_CRIMINAL_EXCEEDED ||
                         m_nMessageId == MSG_PASSENGER;
    if (!pausing || m_fMessageFade < 1.0f || g_GameTimer.IsPaused() || m_bMessagePaused)
        return;
    if (camera && g_pPlayerVehicle && camera->m_nMode >= 1 && camera->m_nMode <= 3) {
        const D3DXVECTOR3& car = g_pPlayerVehicle->m_vPosition;
        const D3DXVECTOR3 eye(car.x + 6.0f, car.y + 2.5f, car.z);
        const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
        const float rate = std::rand() % 2 ? 0.5f : -0.5f;
        camera->StartTransition(&eye, &car, 2.0f, &axis, rate, 0);
        m_bMessageCameraMoved = 1;
    }
    g_bInGame = 0;
    g_GameTimer.Pause();
    m_bMessagePaused = 1;
}

void CGameInterface::DrawMessageRows(float height)
{
    const float half = m_Font.GetLineHeight(0.4f) * 0.5f;
    const float step = height / static_cast<float>(m_nMessageRows + 1);
    const float alpha = m_fMessageFade * 255.0f;
    for (std::uint32_t i = 0; i < m_nMessageRows && i < MESSAGE_ROWS; ++i) {
        const float y = 55.0f + step * static_cast<float>(i + 1) - half;
        const DWORD colour = ToArgb(m_MessageRowColors[i], alpha * m_MessageRowColors[i].a);
        const float scale = m_fMessageRowScales[i];
        const char* row = m_szMessageRows[i];
        if (m_nMessageId == MSG_MAP_LEGEND && i >= 2 && i <= 7) {
            m_Font.DrawText(290, static_cast<int>(y), row, colour, scale, 0);
            const DWORD a = static_cast<DWORD>(std::clamp(alpha, 0.0f, 255.0f)) << 24;
            const float top = y + half - 6.5f;
            const DWORD tints[6] = {0xFFFF64u, 0x9696FFu, 0x46FF46u, 0x6464FFu, 0x6464FFu, 0x32FF32u};
            const int icons[5] = {1, 1, 3, 4, 2}; // race start, race start, workshop, car shop, police
            if (i < 7)
                m_MapIcons[icons[i - 2]].Draw(265.0f, top, 280.0f, top + 13.0f, a | tints[i - 2]);
            else
                CScreenDraw::DrawDisc(272.5f, top + 6.5f, 8.0f, a | tints[5], a | tints[5], 1.0f, 1.0f, nullptr);
        } else {
            const float width = m_Font.GetTextWidth(row, scale, 0);
            m_Font.DrawText(static_cast<int>(400.0f - width * 0.5f), static_cast<int>(y), row, colour, scale, 0);
        }
    }
}

void CGameInterface::DrawMessageBox()
{
    const float dt = g_GameTimer.m_fRealDelta;
    if (m_bMessageVisible)
        m_fMessageFade = std::min(1.0f, m_fMessageFade + 4.0f * dt);
    else
        m_fMessageFade = std::max(0.0f, m_fMessageFade - 4.0f * dt);

    if (m_bMessageVisible) {
        m_fMessageElapsed += dt;
        if (m_fMessageElapsed >= m_fMessageTime)
            ShowMessage(-1, 0.0f, nullptr, 0.0f);
    }
    UpdateMessagePause();
    if (!m_bMessageVisible && m_fMessageFade <= 0.0f)
        return;

    CWorldCamera* camera = g_Game.m_pCamera;
    if (camera && camera->m_nMode == 4)
        g_D3DRender.m_fMotionBlur = std::min(1.0f, g_D3DRender.m_fMotionBlur + m_fMessageFade);

    const bool small = m_nMessageId == MSG_TRICK_BONUS;
    const float panelAlpha = m_fMessageFade * 254.0f * (small ? 0.5f : 1.0f);
    const DWORD white = D3DCOLOR_ARGB(static_cast<DWORD>(panelAlpha), 255, 255, 255);
    if (small)
        m_InfoBar.Draw(247.5f, 0.0f, 552.5f, 200.0f, white);
    else
        m_InfoBar.Draw(205.0f, 0.0f, 595.0f, 290.0f, white);
    DrawMessageRows(small ? 90.0f : 180.0f);

    StepWithScreenKeys([&](ScreenKeys& keys) {
        if (keys.enter || keys.escape) {
            PlaySound(m_pSoundClick);
            ShowMessage(-1, 0.0f, nullptr, 0.0f);
            keys.enter = keys.escape = 0;
        }
    });
}
