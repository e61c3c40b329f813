#pragma once
// A window message as the windows of the UI library receive it. Numbers are those
// of the messages the program and the outside programs already agree on. A message
// may carry a payload (for example the menu command record) that the receiver reads
// with std::any_cast; nothing has to be freed by hand.

#include <any>
#include <cstdint>

namespace lumora {

using LRESULT = std::intptr_t;

struct WindowMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::any payload;
};

inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_ACTIVATE = 0x0006;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr std::uint32_t WM_COPYDATA = 0x004A;
inline constexpr std::uint32_t WM_DISPLAYCHANGE = 0x007E;
inline constexpr std::uint32_t WM_SETICON = 0x0080;
inline constexpr std::uint32_t WM_NCDESTROY = 0x0082;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_POWERBROADCAST = 0x0218;
inline constexpr std::uint32_t WM_MOUSEHOVER = 0x02A1;
inline constexpr std::uint32_t WM_MOUSELEAVE = 0x02A3;
inline constexpr std::uint32_t WM_DPICHANGED = 0x02E0;
inline constexpr std::uint32_t WM_USER = 0x0400;
// The library's default tray message: wParam the icon id, lParam the mouse message.
inline constexpr std::uint32_t UIMSG_TRAYICON = WM_USER + 1;
// The library's menu-click message: payload is a MenuCmd, lParam 1 when checked.
inline constexpr std::uint32_t WM_MENUCLICK = WM_USER + 121;

inline constexpr std::uintptr_t SC_MINIMIZE = 0xF020;
inline constexpr std::uintptr_t SC_MAXIMIZE = 0xF030;
inline constexpr std::uintptr_t SC_CLOSE = 0xF060;
inline constexpr std::uintptr_t SC_RESTORE = 0xF120;

inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;

}  // namespace lumora
