// pickcore: the select field (SelectBase), its popup container (MenuView) and HeightItem.
// This header holds the module globals every area file reads and the bodies module.cpp binds.
#pragma once

#include "common/classdef.h"
#include "common/placement.h"

namespace pickcore {

using vantu::Args;

/// Module globals (imports of the module body) and Qt constants, fetched once at import and
/// kept for the life of the process.
struct Globals {
    nb::handle QVBoxLayout, QWidget, QHBoxLayout, QPlainTextEdit, QLineEdit, QApplication, QSizePolicy,
        QPushButton, QFrame, QGroupBox, QLabel;
    nb::handle Qt, QPoint, Signal, QTimer, QEvent;
    nb::handle QCursor, QFontMetrics, QIcon;
    nb::handle State, getTranslatedText, FlowWidget, useState, useTheme, i18n, VANTU_ASSETS, PyWidgetBase,
        ListView, useEffect, MenuView;
    nb::handle SelectSerializer, SelectStyleMixin, SelectGetterMixin;
    // Library helpers the module uses without binding them as globals.
    nb::handle QRect, QSize, isValid, partial, weakref_ref, uuid4, print_exc, dict_type;
    // Qt constants.
    nb::handle PointingHandCursor, NoFocus, WA_ShowWithoutActivating, WA_TranslucentBackground, popup_flags,
        align_right_vcenter, OtherFocusReason, ElideRight, size_maximum, size_fixed, size_preferred, ev_mouse_press, ev_wheel, ev_window_activate, ev_hide, ev_enabled_change, AltModifier,
        TabFocusReason, BacktabFocusReason, ControlModifier, MetaModifier;
    // Keys the field answers while its input has focus.
    long key_up = 0, key_down = 0, key_home = 0, key_end = 0, key_page_up = 0, key_page_down = 0, key_return = 0,
         key_enter = 0, key_escape = 0, key_f4 = 0, key_space = 0, key_delete = 0, key_backspace = 0;
    // The option list's type-ahead match over a field's options (list_view.find_option).
    nb::handle find_option;
    // Names the field's buttons for assistive technology (accessibility.name_field_buttons).
    nb::handle name_field_buttons;
    // Classes defined here.
    nb::handle SelectLineEdit, SelectPlainTextEdit;
    // Plain functions made by the class layer: tag deletion and the controlled-value effect.
    nb::handle tag_on_delete, apply_controlled_value;
};
extern Globals G;

/// Fills G from the module's globals (after the imports).
void load_globals(nb::module_ &m);

/// The input classes whose press and focus-out go to the owning field.
void register_inputs(nb::module_ &m);

using vantu::Point;
using vantu::Rect;

// Helpers shared by the area files.
nb::object label_of(nb::handle self, nb::handle option);  // label getter, or the option's own key
bool is_dict(nb::handle o) noexcept;
bool is_str(nb::handle o) noexcept;
bool is_list(nb::handle o) noexcept;
bool py_equal(nb::handle a, nb::handle b);
bool contains_value(nb::handle seq, nb::handle item);  // `item in seq` by equality
bool has_key(nb::handle dict, nb::handle key);          // `key in dict`; False for an unhashable key
void del_first_value(nb::handle dict, nb::handle value);  // deletes the first entry equal to `value`
nb::object icon(const char *name);
// Whether `widget` lays out right to left (its rules of place then read mirrored).
bool right_to_left(nb::handle widget);
void retire_widget(nb::handle self, nb::handle widget);  // setParent(None) + deleteLater, kept until deleted
void replace_flow(nb::handle self, nb::handle tags);
// Placeholder from an untranslated text (None: empty), remembered so a language switch can
// translate it again.
void set_placeholder(nb::handle self, nb::handle key);
// Whether the field shows a value (single: not None/""; multiple: a non-empty selection).
bool shows_value(nb::handle self);
// Title and placeholder after an outside value: the label floats as the title over a value,
// and is the placeholder of an empty, unfocused field.
void reflect_value(nb::handle self);
// Single selection: the selected-keys state names the option the field shows (None if none).
void sync_selected_key(nb::handle self);
// Multiple selection: the selected options, keys and tags follow an outside value.
void sync_multiple_selection(nb::handle self);
// Multiple selection: the keys of the selected options (a text option is its own key).
nb::list selection_keys(nb::handle self);
nb::object key_for_value(nb::handle self, nb::handle value);

// Bodies, one namespace per class, each named after its Python method.
namespace menu_view {}
namespace height_item {
nb::object __init__(Args a);
}
namespace select_base {
nb::object __init__(Args a);
nb::object __init_ui(Args a);
nb::object _setup_default_tags(Args a);
nb::object _setup_select_mode(Args a);
nb::object _create_menu(Args a);
nb::object onFlowlayoutMousePressEvent(Args a);
nb::object onChange(Args a);
nb::object _base_on_error_state_changed(Args a);
nb::object base_update_style(Args a);
nb::object _connect_signals_props(Args a);
nb::object setControlledState(Args a);
nb::object setValue(Args a);
nb::object base_set_value(Args a);
nb::object _update_input_text(Args a);
nb::object setElidedText(Args a);
nb::object _set_slot(Args a);
nb::object _update_popup_position(Args a);
nb::object _hide_popup(Args a);
nb::object _on_clear_text(Args a);
nb::object getTagProps(Args a);
nb::object _on_tag_deleted(Args a);
nb::object _update_selected_options(Args a);
nb::object _setup_tags(Args a);
nb::object _selected_change(Args a);
nb::object _show_label(Args a);
nb::object _set_translated_label(Args a);
nb::object _retranslate_label(Args a);
nb::object _hide_label(Args a);
nb::object _set_hovered_prop(Args a);
nb::object _set_multiple_has_value_prop(Args a);
nb::object _set_filled_has_value_prop(Args a);
nb::object _set_filled_foucusin_prop(Args a);
nb::object _set_prop_has_start_adornment(Args a);
nb::object setup_action_frame_and_adornment(Args a);
nb::object _toggle_popup(Args a);
nb::object _show_popup(Args a);
nb::object leaveEvent(Args a);
nb::object resizeEvent(Args a);
nb::object focusInEvent(Args a);
nb::object focusOutEvent(Args a);
nb::object enterEvent(Args a);
nb::object onInputFieldFocusOutEvent(Args a);
nb::object onInputFieldMousePressEvent(Args a);
nb::object eventFilter(Args a);
PyObject *eventFilter_shortcut(PyObject *const *args, size_t nargs) noexcept;
/// Whether the field's popup may be up, for its filter: marked before the popup is shown.
void mark_popup_up(nb::handle self, bool up) noexcept;
nb::object _on_input_key_press(Args a);
// Module-level helpers.
nb::object tag_on_delete(Args a);
nb::object apply_controlled_value(Args a);
nb::object place_popup_py(Args a);
}  // namespace select_base

}  // namespace pickcore
