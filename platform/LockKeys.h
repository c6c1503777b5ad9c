#pragma once

struct LockKeyState
{
    bool kana = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The keyboard's lock indicators as the X server reports them; all off where there is no X
// server to ask (Wayland without XWayland, the offscreen platform).
LockKeyState ReadLockKeys();
