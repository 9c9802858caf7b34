// SelectBase construction, the effects that follow outside State arguments, and the shared
// helpers of the module (globals, labels, widget retirement).
#include "pickcore/pickcore.h"

#include <algorithm>

namespace pickcore {

Globals G;

namespace {

nb::handle keep(nb::object o) { return vantu::Forever(std::move(o)).h(); }

// Input widgets that hand their press and focus-out to the owning field (held weakly, so the
// input never keeps the field alive) instead of running their own handlers.
nb::object input_init(Args a) {
    nb::handle self = a.self();
    nb::handle base = nb::handle(reinterpret_cast<PyObject *>(Py_TYPE(self.ptr()))).attr("__mro__")[1];
    base.attr("__init__")(self);
    self.attr(VN("_owner")) = G.weakref_ref(a[1]);
    return nb::none();
}

nb::object owner_of(nb::handle self) {
    nb::object owner = self.attr(VN("_owner"))();
    if (owner.is_none() || !vantu::truthy(G.isValid(owner))) return nb::none();
    return owner;
}

nb::object line_press(Args a) {
    nb::object owner = owner_of(a.self());
    if (owner.is_none()) return G.QLineEdit.attr("mousePressEvent")(a.self(), a[1]);
    return owner.attr(VN("onInputFieldMousePressEvent"))(a[1]);
}

// Focus-out goes to the field. Leaving by keyboard (Tab, Shift+Tab) also closes an open list,
// as a combo box does; a press elsewhere is the event filter's business.
nb::object route_focus_out(nb::handle input, nb::handle event, nb::handle base) {
    nb::object owner = owner_of(input);
    if (owner.is_none()) return base.attr("focusOutEvent")(input, event);
    nb::object reason = event.attr(VN("reason"))();
    if (reason.equal(G.TabFocusReason) || reason.equal(G.BacktabFocusReason)) {
        nb::object popup = vantu::getattr_or_none(owner, VN("_popup"));
        if (vantu::truthy(popup) && vantu::truthy(popup.attr(VN("isVisible"))())) owner.attr(VN("_hide_popup"))();
    }
    nb::object result = owner.attr(VN("onInputFieldFocusOutEvent"))(event);
    owner.attr(VN("style_sync_state"))();  // the focus look follows the input
    return result;
}

nb::object line_focus_out(Args a) { return route_focus_out(a.self(), a[1], G.QLineEdit); }

// Focus-in runs the input's own handling (cursor, blinking), then the field's focus look.
nb::object line_focus_in(Args a) {
    nb::object result = G.QLineEdit.attr("focusInEvent")(a.self(), a[1]);
    nb::object owner = owner_of(a.self());
    if (!owner.is_none()) owner.attr(VN("style_sync_state"))();
    return result;
}

// Keys that open, walk and close the popup go to the field; the rest to the input.
nb::object line_key_press(Args a) {
    nb::object owner = owner_of(a.self());
    if (!owner.is_none() && vantu::truthy(owner.attr(VN("_on_input_key_press"))(a[1]))) {
        a[1].attr(VN("accept"))();
        return nb::none();
    }
    return G.QLineEdit.attr("keyPressEvent")(a.self(), a[1]);
}

nb::object plain_press(Args a) {
    nb::object owner = owner_of(a.self());
    if (owner.is_none()) return G.QPlainTextEdit.attr("mousePressEvent")(a.self(), a[1]);
    return owner.attr(VN("onInputFieldMousePressEvent"))(a[1]);
}

nb::object plain_focus_out(Args a) { return route_focus_out(a.self(), a[1], G.QPlainTextEdit); }

nb::object plain_focus_in(Args a) {
    nb::object result = G.QPlainTextEdit.attr("focusInEvent")(a.self(), a[1]);
    nb::object owner = owner_of(a.self());
    if (!owner.is_none()) owner.attr(VN("style_sync_state"))();
    return result;
}

nb::object plain_key_press(Args a) {
    nb::object owner = owner_of(a.self());
    if (!owner.is_none() && vantu::truthy(owner.attr(VN("_on_input_key_press"))(a[1]))) {
        a[1].attr(VN("accept"))();
        return nb::none();
    }
    return G.QPlainTextEdit.attr("keyPressEvent")(a.self(), a[1]);
}

// The tag-holding input is as tall as its rows of tags, not as a text editor's default.
nb::object plain_size_hint(Args a) {
    nb::handle self = a.self();
    nb::object hint = G.QPlainTextEdit.attr("sizeHint")(self);
    nb::object layout = self.attr(VN("layout"))();
    if (layout.is_none()) return hint;
    int frame = nb::cast<int>(self.attr(VN("frameWidth"))());
    int rows = nb::cast<int>(layout.attr(VN("sizeHint"))().attr("height")());
    return G.QSize(hint.attr("width")(), std::max(rows + 2 * frame, 30));
}

nb::object plain_minimum_size_hint(Args a) {
    nb::handle self = a.self();
    nb::object hint = G.QPlainTextEdit.attr("minimumSizeHint")(self);
    nb::object size = plain_size_hint(a);
    return G.QSize(hint.attr("width")(), size.attr("height")());
}

}  // namespace

void load_globals(nb::module_ &m) {
    auto g = [&](const char *name) { return nb::handle(m.attr(name)); };
    G.QVBoxLayout = g("QVBoxLayout");
    G.QWidget = g("QWidget");
    G.QHBoxLayout = g("QHBoxLayout");
    G.QPlainTextEdit = g("QPlainTextEdit");
    G.QLineEdit = g("QLineEdit");
    G.QApplication = g("QApplication");
    G.QSizePolicy = g("QSizePolicy");
    G.QPushButton = g("QPushButton");
    G.QFrame = g("QFrame");
    G.QGroupBox = g("QGroupBox");
    G.QLabel = g("QLabel");
    G.Qt = g("Qt");
    G.QPoint = g("QPoint");
    G.Signal = g("Signal");
    G.QTimer = g("QTimer");
    G.QEvent = g("QEvent");
    G.QCursor = g("QCursor");
    G.QFontMetrics = g("QFontMetrics");
    G.QIcon = g("QIcon");
    G.State = g("State");
    G.getTranslatedText = g("getTranslatedText");
    G.FlowWidget = g("FlowWidget");
    G.useState = g("useState");
    G.useTheme = g("useTheme");
    G.i18n = g("i18n");
    G.VANTU_ASSETS = g("VANTU_ASSETS");
    G.PyWidgetBase = g("PyWidgetBase");
    G.ListView = g("ListView");
    G.useEffect = g("useEffect");
    G.MenuView = g("MenuView");
    G.SelectSerializer = g("SelectSerializer");
    G.SelectStyleMixin = g("SelectStyleMixin");
    G.SelectGetterMixin = g("SelectGetterMixin");
    // Module globals can be rebound by users; everything above is also held for the process.
    for (nb::handle *h : {&G.QVBoxLayout, &G.QWidget, &G.QHBoxLayout, &G.QPlainTextEdit, &G.QLineEdit,
                          &G.QApplication, &G.QSizePolicy, &G.QPushButton, &G.QFrame, &G.QGroupBox, &G.QLabel,
                          &G.Qt, &G.QPoint, &G.Signal, &G.QTimer, &G.QEvent, &G.QCursor, &G.QFontMetrics,
                          &G.QIcon, &G.State, &G.getTranslatedText, &G.FlowWidget, &G.useState, &G.useTheme,
                          &G.i18n, &G.VANTU_ASSETS, &G.PyWidgetBase, &G.ListView, &G.useEffect, &G.MenuView,
                          &G.SelectSerializer, &G.SelectStyleMixin, &G.SelectGetterMixin})
        *h = keep(nb::borrow(*h));

    G.QRect = keep(nb::module_::import_("PySide6.QtCore").attr("QRect"));
    G.QSize = keep(nb::module_::import_("PySide6.QtCore").attr("QSize"));
    G.isValid = keep(nb::module_::import_("shiboken6").attr("isValid"));
    G.partial = keep(nb::module_::import_("functools").attr("partial"));
    G.weakref_ref = keep(nb::module_::import_("weakref").attr("ref"));
    G.uuid4 = keep(nb::module_::import_("uuid").attr("uuid4"));
    G.print_exc = keep(nb::module_::import_("traceback").attr("print_exception"));
    G.dict_type = nb::handle(reinterpret_cast<PyObject *>(&PyDict_Type));

    nb::handle Qt = G.Qt;
    G.PointingHandCursor = keep(Qt.attr("CursorShape").attr("PointingHandCursor"));
    G.NoFocus = keep(Qt.attr("FocusPolicy").attr("NoFocus"));
    nb::object attr = Qt.attr("WidgetAttribute");
    G.WA_ShowWithoutActivating = keep(attr.attr("WA_ShowWithoutActivating"));
    G.WA_TranslucentBackground = keep(attr.attr("WA_TranslucentBackground"));
    nb::object flags = Qt.attr("WindowType");
    G.popup_flags = keep(flags.attr("Window") | flags.attr("FramelessWindowHint") | flags.attr("NoDropShadowWindowHint"));
    nb::object align = Qt.attr("AlignmentFlag");
    G.align_right_vcenter = keep(align.attr("AlignRight") | align.attr("AlignVCenter"));
    G.OtherFocusReason = keep(Qt.attr("FocusReason").attr("OtherFocusReason"));
    G.TabFocusReason = keep(Qt.attr("FocusReason").attr("TabFocusReason"));
    G.BacktabFocusReason = keep(Qt.attr("FocusReason").attr("BacktabFocusReason"));
    G.ElideRight = keep(Qt.attr("TextElideMode").attr("ElideRight"));
    G.size_maximum = keep(G.QSizePolicy.attr("Policy").attr("Maximum"));
    G.size_fixed = keep(G.QSizePolicy.attr("Policy").attr("Fixed"));
    G.size_preferred = keep(G.QSizePolicy.attr("Policy").attr("Preferred"));
    G.ev_mouse_press = keep(G.QEvent.attr("Type").attr("MouseButtonPress"));
    G.ev_wheel = keep(G.QEvent.attr("Type").attr("Wheel"));
    G.ev_window_activate = keep(G.QEvent.attr("Type").attr("WindowActivate"));
    G.ev_hide = keep(G.QEvent.attr("Type").attr("Hide"));
    G.ev_enabled_change = keep(G.QEvent.attr("Type").attr("EnabledChange"));
    G.AltModifier = keep(Qt.attr("KeyboardModifier").attr("AltModifier"));
    G.ControlModifier = keep(Qt.attr("KeyboardModifier").attr("ControlModifier"));
    G.MetaModifier = keep(Qt.attr("KeyboardModifier").attr("MetaModifier"));
    G.find_option = keep(nb::module_::import_("vantu.material.list_view.list_view").attr("find_option"));
    G.name_field_buttons = keep(nb::module_::import_("vantu.material.accessibility").attr("name_field_buttons"));
    nb::object keys = Qt.attr("Key");
    auto key = [&](const char *name) { return nb::cast<long>(nb::int_(keys.attr(name))); };
    G.key_up = key("Key_Up");
    G.key_down = key("Key_Down");
    G.key_home = key("Key_Home");
    G.key_end = key("Key_End");
    G.key_page_up = key("Key_PageUp");
    G.key_page_down = key("Key_PageDown");
    G.key_return = key("Key_Return");
    G.key_enter = key("Key_Enter");
    G.key_escape = key("Key_Escape");
    G.key_f4 = key("Key_F4");
    G.key_space = key("Key_Space");
    G.key_delete = key("Key_Delete");
    G.key_backspace = key("Key_Backspace");

    vantu::Method del{"_tag_on_delete", "field_ref, index, *key", select_base::tag_on_delete,
                      "Calls the field's _on_tag_deleted with the given key, or the bound index.", vantu::Binding::Plain};
    G.tag_on_delete = keep(vantu::make_function(m, del, nullptr));
    vantu::Method apply{"_apply_controlled_value", "field_ref", select_base::apply_controlled_value,
                        "Applies the field's outside value State.", vantu::Binding::Plain};
    G.apply_controlled_value = keep(vantu::make_function(m, apply, nullptr));
}

void register_inputs(nb::module_ &m) {
    vantu::ClassRecipe line{"_SelectLineEdit",
                          "The single-line input of a select field.",
                          nb::make_tuple(G.QLineEdit),
                          {},
                          {{"__init__", "owner", input_init, "Input owned by `owner`."},
                           {"mousePressEvent", "event", line_press, "Goes to the field."},
                           {"focusOutEvent", "event", line_focus_out, "Goes to the field."},
                           {"focusInEvent", "event", line_focus_in, "Then the field's focus look."},
                           {"keyPressEvent", "event", line_key_press, "Popup keys go to the field."}}};
    G.SelectLineEdit = keep(vantu::define_class(m, line));
    vantu::ClassRecipe plain{"_SelectPlainTextEdit",
                           "The tag-holding input of a multiple select field.",
                           nb::make_tuple(G.QPlainTextEdit),
                           {},
                           {{"__init__", "owner", input_init, "Input owned by `owner`."},
                            {"mousePressEvent", "event", plain_press, "Goes to the field."},
                            {"focusOutEvent", "event", plain_focus_out, "Goes to the field."},
                            {"focusInEvent", "event", plain_focus_in, "Then the field's focus look."},
                            {"keyPressEvent", "event", plain_key_press, "Popup keys go to the field."},
                            {"sizeHint", "", plain_size_hint, "As tall as the rows of tags."},
                            {"minimumSizeHint", "", plain_minimum_size_hint, "As tall as the rows of tags."}}};
    G.SelectPlainTextEdit = keep(vantu::define_class(m, plain));
}

// ---- shared helpers ----------------------------------------------------------------------

bool is_dict(nb::handle o) noexcept { return PyDict_Check(o.ptr()); }
bool is_str(nb::handle o) noexcept { return PyUnicode_Check(o.ptr()); }
bool is_list(nb::handle o) noexcept { return PyList_Check(o.ptr()); }

bool py_equal(nb::handle a, nb::handle b) {
    int r = PyObject_RichCompareBool(a.ptr(), b.ptr(), Py_EQ);
    if (r < 0) vantu::throw_pending();
    return r == 1;
}

bool contains_value(nb::handle seq, nb::handle item) {
    int r = PySequence_Contains(seq.ptr(), item.ptr());
    if (r < 0) vantu::throw_pending();
    return r == 1;
}

bool has_key(nb::handle dict, nb::handle key) {
    if (PyObject_Hash(key.ptr()) == -1) {
        if (!PyErr_ExceptionMatches(PyExc_TypeError)) vantu::throw_pending();
        PyErr_Clear();  // an unhashable key is in no dict
        return false;
    }
    int r = PyDict_Contains(dict.ptr(), key.ptr());
    if (r < 0) vantu::throw_pending();
    return r == 1;
}

void del_first_value(nb::handle dict, nb::handle value) {
    for (nb::handle item : nb::list(nb::borrow<nb::dict>(dict).attr("items")())) {
        if (py_equal(item[1], value)) {
            if (PyDict_DelItem(dict.ptr(), nb::object(item[0]).ptr()) < 0) vantu::throw_pending();
            return;
        }
    }
}

nb::object label_of(nb::handle self, nb::handle option) {
    nb::object getter = self.attr(VN("_getOptionLabel"));
    if (vantu::truthy(getter)) return getter(option);
    // Without a label getter an option is known by its text, or by its "value" entry.
    if (is_str(option)) return nb::borrow(option);
    if (is_dict(option)) {
        nb::object v = nb::borrow<nb::dict>(option).attr("get")("value");
        return vantu::truthy(v) ? v : nb::str("");
    }
    return nb::borrow(option);
}

nb::object icon(const char *name) {
    return G.QIcon(G.VANTU_ASSETS.attr(VN("ICONS")).attr(name));
}

void retire_widget(nb::handle self, nb::handle widget) {
    // After setParent(None) the Python wrapper owns the widget and would delete it at once when
    // dropped, possibly inside one of its own signal handlers (a tag's delete button); keep the
    // wrapper until Qt's deferred deletion has run.
    nb::object retired = vantu::getattr_or_none(self, VN("_retired_widgets"));
    nb::list kept;
    if (!retired.is_none())
        for (nb::handle w : retired)
            if (vantu::truthy(G.isValid(w))) kept.append(w);
    widget.attr(VN("setParent"))(nb::none());
    widget.attr(VN("deleteLater"))();
    kept.append(widget);
    self.attr(VN("_retired_widgets")) = kept;
}

void replace_flow(nb::handle self, nb::handle tags) {
    retire_widget(self, self.attr(VN("_flowWidget")));
    nb::object flow = G.FlowWidget(self, nb::arg("children") = tags)
                          .attr(VN("renderUi"))(nb::arg("ctx") = self.attr(VN("_ctx")));
    self.attr(VN("_flowWidget")) = flow;
    nb::object input = self.attr(VN("_inputField"));
    input.attr(VN("layout"))().attr(VN("addWidget"))(flow);
    // Tab goes from the input through the tags' controls, in order: Qt would put widgets that
    // join the window later at the end of its focus chain.
    nb::object previous = input;
    for (nb::handle widget : flow.attr(VN("findChildren"))(G.QWidget)) {
        if (!(nb::cast<int>(widget.attr(VN("focusPolicy"))().attr("value")) & 1)) continue;  // no Tab focus
        G.QWidget.attr("setTabOrder")(previous, widget);
        previous = nb::borrow(widget);
    }
}

// ---- HeightItem --------------------------------------------------------------------------

nb::object height_item::__init__(Args a) {
    G.QWidget.attr("__init__")(a.self());
    return nb::none();
}

// ---- SelectBase construction -------------------------------------------------------------

namespace select_base {

nb::object __init__(Args a) {
    nb::handle self = a.self();
    nb::dict kwargs = nb::borrow<nb::dict>(a[3]);
    // A text given first would otherwise become the group box's title.
    if (!a[1].is_none() && !vantu::is_instance(a[1], G.QWidget))
        vantu::raise(PyExc_TypeError, "Argument 'parent' has incorrect type (expected QWidget or None, got %.200s)",
                     Py_TYPE(a[1].ptr())->tp_name);
    G.QGroupBox.attr("__init__")(self, a[1]);
    try {
        G.SelectSerializer.attr("__init__")(self, **kwargs);
        self.attr(VN("setObjectName"))(nb::str("SelectBase-") +
                                       nb::str(nb::steal(PyLong_FromVoidPtr(self.ptr()))));
        nb::dict copy = nb::dict(kwargs);
        copy["variant"] = self.attr(VN("_variant"));
        copy["size"] = self.attr(VN("_size"));
        self.attr(VN("_kwargs")) = copy;
        self.attr(VN("_ctx")) = kwargs.contains("ctx") ? nb::object(kwargs["ctx"]) : nb::none();
        G.SelectStyleMixin.attr("__init__")(self, **kwargs);
        G.SelectGetterMixin.attr("__init__")(self, **kwargs);
        self.attr(VN("_SelectBase__init_ui"))();
    } catch (nb::python_error &) {
        // A refused configuration must leave nothing the application can reach through the
        // parent it passed: detach the half-built field and let Qt delete it.
        self.attr(VN("setParent"))(nb::none());
        self.attr(VN("deleteLater"))();
        throw;
    }
    return nb::none();
}

nb::object __init_ui(Args a) {
    nb::handle self = a.self();
    self.attr(VN("_init_done")) = false;
    self.attr(VN("_connect_signals_props"))();
    self.attr(VN("theme")) = G.useTheme();
    // Retitles only a shown title and re-translates the label placeholder (see _retranslate_label).
    G.i18n.attr(VN("langChanged")).attr(VN("connect"))(self.attr(VN("_retranslate_label")));
    if (vantu::truthy(self.attr(VN("_fullWidth")))) {
        if (!vantu::truthy(self.attr(VN("_sx")))) self.attr(VN("_sx")) = nb::dict();
        self.attr(VN("_sx"))["width"] = "100%";
    }
    self.attr(VN("value")) = nb::none();
    self.attr(VN("_tagsWidget")) = nb::none();
    self.attr(VN("_selected_options")) = nb::dict();
    self.attr(VN("_inputFieldHasFocusIn")) = false;
    self.attr(VN("_inputField")) = nb::none();
    self.attr(VN("_popup")) = nb::none();
    self.attr(VN("_btnSelect")) = nb::none();
    self.attr(VN("_menu")) = nb::none();

    // Layout and the read-only input.
    self.attr(VN("setLayout"))(G.QHBoxLayout());
    self.attr(VN("layout"))().attr(VN("setContentsMargins"))(0, 0, 0, 0);
    // A text field is as tall as its content (one line, or its rows of tags), never stretched.
    self.attr(VN("setSizePolicy"))(G.size_preferred, G.size_fixed);
    bool plain = vantu::truthy(self.attr(VN("_multiple"))) && vantu::truthy(self.attr(VN("_renderTags")));
    nb::object input = plain ? G.SelectPlainTextEdit(self) : G.SelectLineEdit(self);
    self.attr(VN("_inputField")) = input;
    input.attr(VN("setStyleSheet"))(plain ? "\n                QPlainTextEdit {\n"
                                            "                    width: 100%;\n"
                                            "                    background-color: transparent;\n"
                                            "                }\n"
                                          : "\n                QLineEdit {\n"
                                            "                    border: none;\n"
                                            "                    width: 100%;\n"
                                            "                    background-color: transparent;\n"
                                            "                }\n");
    if (!vantu::truthy(self.attr(VN("_defaultValue")))) set_placeholder(self, self.attr(VN("_label")));
    input.attr(VN("setReadOnly"))(true);
    input.attr(VN("setObjectName"))("inputField");
    input.attr(VN("setCursor"))(G.PointingHandCursor);
    self.attr(VN("layout"))().attr(VN("addWidget"))(input);

    // Outside values: a given value replaces a given default value.
    nb::object def = self.attr(VN("_defaultValue"));
    if (!def.is_none())
        self.attr(VN("setControlledState"))(vantu::is_instance(def, G.State) ? def.attr(VN("value")) : def);
    nb::object val = self.attr(VN("_value"));
    if (!val.is_none())
        self.attr(VN("setControlledState"))(vantu::is_instance(val, G.State) ? val.attr(VN("value")) : val);
    if (vantu::truthy(self.attr(VN("_disabled")))) self.attr(VN("setEnabled"))(false);
    G.PyWidgetBase.attr(VN("_installTooltipFilter"))(self);
    self.attr(VN("_setup_select_mode"))();
    self.attr(VN("theme")) = G.useTheme();
    nb::list deps;
    deps.append(self.attr(VN("theme")).attr(VN("state")));
    G.useEffect(self.attr(VN("style_set_stylesheet")), deps, nb::arg("component") = self);
    self.attr(VN("style_set_stylesheet"))();
    if (vantu::truthy(self.attr(VN("_multiple")))) {
        self.attr(VN("_setup_default_tags"))();
        // A given value replaces the default: its options are the selection and the tags.
        if (!self.attr(VN("_value")).is_none()) sync_multiple_selection(self);
    }
    // The list marks the option the field shows, and a shown value has its label above it.
    sync_selected_key(self);
    reflect_value(self);
    G.name_field_buttons(self);
    self.attr(VN("_init_done")) = true;
    return nb::none();
}

nb::object apply_controlled_value(Args a) {
    nb::object field = a[0]();  // plain function: the field's weak reference
    if (field.is_none() || !vantu::truthy(G.isValid(field))) return nb::none();
    field.attr(VN("setControlledState"))(field.attr(VN("_value")).attr(VN("value")));
    return nb::none();
}

nb::object _connect_signals_props(Args a) {
    nb::handle self = a.self();
    nb::object val = self.attr(VN("_value"));
    if (vantu::is_instance(val, G.State)) {
        // Held through a weak reference: the effect lives inside the field and must not keep it.
        nb::object apply = G.partial(G.apply_controlled_value, G.weakref_ref(self));
        nb::list deps;
        deps.append(val);
        G.useEffect(apply, deps, nb::arg("component") = self);
    }
    nb::object err = self.attr(VN("_error"));
    if (vantu::is_instance(err, G.State)) {
        nb::list deps;
        deps.append(err);
        G.useEffect(self.attr(VN("_base_on_error_state_changed")), deps, nb::arg("component") = self);
        // The effect runs on changes only: an error state that starts out true shows at once.
        if (vantu::truthy(err.attr(VN("value")))) self.attr(VN("_base_on_error_state_changed"))();
    }
    return nb::none();
}

nb::object setControlledState(Args a) {
    nb::handle self = a.self();
    self.attr(VN("value")) = a[1];
    nb::dict line;
    line["value"] = self.attr(VN("value"));
    vantu::py_print({line});
    self.attr(VN("_update_input_text"))();
    nb::object v = self.attr(VN("value"));
    if (!vantu::truthy(self.attr(VN("_multiple"))) && (v.is_none() || py_equal(v, nb::str("")))) {
        // No value from outside: the field shows none. (The text would otherwise keep the last
        // value, or read "None" without a label getter.)
        nb::object input = self.attr(VN("_inputField"));
        input.attr(vantu::is_instance(input, G.QPlainTextEdit) ? VN("setPlainText") : VN("setText"))("");
    }
    sync_selected_key(self);
    if (vantu::truthy(self.attr(VN("_multiple")))) sync_multiple_selection(self);
    // During construction the build method does this once everything exists.
    if (vantu::truthy(vantu::getattr_or_none(self, VN("_init_done")))) reflect_value(self);
    return nb::none();
}

nb::object _base_on_error_state_changed(Args a) {
    nb::handle self = a.self();
    self.attr(VN("setProperty"))("error", self.attr(VN("_getError"))());
    self.attr(VN("base_update_style"))();
    return nb::none();
}

nb::object base_update_style(Args a) {
    nb::handle self = a.self();
    nb::object style = self.attr(VN("style"))();
    style.attr(VN("unpolish"))(self);
    style.attr(VN("polish"))(self);
    self.attr(VN("update"))();
    // The style mixin keeps what the field was polished with; it is not known from here.
    nb::object forget = vantu::getattr_or_none(self, VN("style_polished_elsewhere"));
    if (!forget.is_none()) forget();
    return nb::none();
}

}  // namespace select_base
}  // namespace pickcore
