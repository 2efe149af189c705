// Linux backend: GDK key values to the toolkit's virtual-key codes (layout-independent: the
// key's unshifted value decides, as the system's codes name keys, not characters).
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

namespace {

guint baseKeyval(const GdkEventKey* e) {
    guint keyval = e->keyval;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    guint base = 0;
    if (gdk_keymap_translate_keyboard_state(keymap, e->hardware_keycode, GdkModifierType(0),
                                            e->group, &base, nullptr, nullptr, nullptr))
        keyval = base;
    return keyval;
}

}  // namespace

std::uint32_t virtualKeyOf(const GdkEventKey* e) {
    const guint k = baseKeyval(e);
    if (k >= GDK_KEY_a && k <= GDK_KEY_z) return std::uint32_t('A' + (k - GDK_KEY_a));
    if (k >= GDK_KEY_A && k <= GDK_KEY_Z) return std::uint32_t('A' + (k - GDK_KEY_A));
    if (k >= GDK_KEY_0 && k <= GDK_KEY_9) return std::uint32_t('0' + (k - GDK_KEY_0));
    if (k >= GDK_KEY_F1 && k <= GDK_KEY_F24) return vk::F1 + (k - GDK_KEY_F1);
    if (k >= GDK_KEY_KP_0 && k <= GDK_KEY_KP_9) return 0x60 + (k - GDK_KEY_KP_0);
    switch (k) {
    case GDK_KEY_BackSpace: return vk::Back;
    case GDK_KEY_Tab: case GDK_KEY_ISO_Left_Tab: return vk::Tab;
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: return vk::Return;
    case GDK_KEY_Shift_L: case GDK_KEY_Shift_R: return vk::Shift;
    case GDK_KEY_Control_L: case GDK_KEY_Control_R: return vk::Control;
    case GDK_KEY_Alt_L: case GDK_KEY_Alt_R: case GDK_KEY_Meta_L: case GDK_KEY_Meta_R: return vk::Menu;
    case GDK_KEY_Pause: return vk::Pause;
    case GDK_KEY_Caps_Lock: return vk::Capital;
    case GDK_KEY_Escape: return vk::Escape;
    case GDK_KEY_space: return vk::Space;
    case GDK_KEY_Page_Up: case GDK_KEY_KP_Page_Up: return vk::Prior;
    case GDK_KEY_Page_Down: case GDK_KEY_KP_Page_Down: return vk::Next;
    case GDK_KEY_End: case GDK_KEY_KP_End: return vk::End;
    case GDK_KEY_Home: case GDK_KEY_KP_Home: return vk::Home;
    case GDK_KEY_Left: case GDK_KEY_KP_Left: return vk::Left;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: return vk::Up;
    case GDK_KEY_Right: case GDK_KEY_KP_Right: return vk::Right;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: return vk::Down;
    case GDK_KEY_Insert: case GDK_KEY_KP_Insert: return vk::Insert;
    case GDK_KEY_Delete: case GDK_KEY_KP_Delete: return vk::Delete;
    case GDK_KEY_KP_Multiply: return 0x6A;
    case GDK_KEY_KP_Add: return 0x6B;
    case GDK_KEY_KP_Subtract: return 0x6D;
    case GDK_KEY_KP_Decimal: return 0x6E;
    case GDK_KEY_KP_Divide: return 0x6F;
    case GDK_KEY_semicolon: return 0xBA;
    case GDK_KEY_equal: return 0xBB;
    case GDK_KEY_comma: return 0xBC;
    case GDK_KEY_minus: return 0xBD;
    case GDK_KEY_period: return 0xBE;
    case GDK_KEY_slash: return 0xBF;
    case GDK_KEY_grave: return 0xC0;
    case GDK_KEY_bracketleft: return 0xDB;
    case GDK_KEY_backslash: return 0xDC;
    case GDK_KEY_bracketright: return 0xDD;
    case GDK_KEY_apostrophe: return 0xDE;
    default: return 0;
    }
}

}  // namespace kiro::ui
