// GTK backend only: GDK key values turned into the toolkit's virtual-key codes and key data.
#pragma once

#include <gdk/gdk.h>

#include <cstdint>

#include "kiro/ui/types.h"

namespace kiro::ui {

// The virtual-key code of a key value; 0 for keys without one here.
inline std::uint32_t virtualKeyOf(guint keyval) {
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + (keyval - GDK_KEY_a);
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return 'A' + (keyval - GDK_KEY_A);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + (keyval - GDK_KEY_0);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return 0x60 + (keyval - GDK_KEY_KP_0);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return vk::F1 + (keyval - GDK_KEY_F1);
    switch (keyval) {
    case GDK_KEY_Escape: return vk::Escape;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: return vk::Return;
    case GDK_KEY_BackSpace: return vk::Back;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab: return vk::Tab;
    case GDK_KEY_space: return vk::Space;
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R: return vk::Shift;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R: return vk::Control;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R: return vk::Menu;
    case GDK_KEY_Pause: return vk::Pause;
    case GDK_KEY_Caps_Lock: return vk::Capital;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up: return vk::Prior;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down: return vk::Next;
    case GDK_KEY_End:
    case GDK_KEY_KP_End: return vk::End;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home: return vk::Home;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left: return vk::Left;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return vk::Up;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right: return vk::Right;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return vk::Down;
    case GDK_KEY_Insert:
    case GDK_KEY_KP_Insert: return vk::Insert;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete: return vk::Delete;
    default: return 0;
    }
}

// The key data of a key-down message: repeat count 1 and the scan code in bits 16 to 23
// (X key codes are the PC scan codes plus 8).
inline LParam keyData(guint16 hardwareKeycode) {
    const std::uint32_t scan = hardwareKeycode >= 8 ? (hardwareKeycode - 8) & 0xFF : 0;
    return static_cast<LParam>(1u | (scan << 16));
}

}  // namespace kiro::ui
