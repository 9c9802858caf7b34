// The mixin's constructor and the set-up of select mode: selected keys, action frame,
// tags input in multiple mode, the clear and arrow buttons, and the deferred icons.
#include "select_mixin/select_mixin.h"

namespace select_mixin {
namespace {

struct QtRefs {
    nb::handle maximum, align_right_vcenter, pointing_hand, no_focus, show_without_activating;
};

const QtRefs &qt() {
    static const QtRefs refs = [] {
        nb::handle Qt = global(VN("Qt"));
        nb::object policy = global(VN("QSizePolicy")).attr("Policy");
        nb::object align = Qt.attr("AlignmentFlag");
        return QtRefs{
            vantu::Forever(policy.attr("Maximum")).h(),
            vantu::Forever(align.attr("AlignRight") | align.attr("AlignVCenter")).h(),
            vantu::Forever(Qt.attr("CursorShape").attr("PointingHandCursor")).h(),
            vantu::Forever(Qt.attr("FocusPolicy").attr("NoFocus")).h(),
            vantu::Forever(Qt.attr("WidgetAttribute").attr("WA_ShowWithoutActivating")).h(),
        };
    }();
    return refs;
}

/// The key of an option: the text itself, else its "value" entry or "".
nb::object option_key(nb::handle option) {
    if (PyUnicode_Check(option.ptr())) return nb::borrow(option);
    nb::object v = option.attr(VN("get"))(VN("value"));
    return vantu::truthy(v) ? v : nb::str("");
}

/// Most States nested in one another that a value may come wrapped in.
constexpr int kStateDepthLimit = 100;

/// The plain value inside a State (or a State of a State...). Unwrapped in a loop with a bound:
/// a State that holds itself would otherwise never end.
nb::object unwrap_state(nb::handle value) {
    nb::handle State = global(VN("State"));
    nb::object plain = nb::borrow(value);
    for (int depth = 0; vantu::is_instance(plain, State); ++depth) {
        if (depth == kStateDepthLimit)
            vantu::raise(PyExc_ValueError,
                         "a State that holds itself, or States nested more than %d deep, has no value to use",
                         kStateDepthLimit);
        plain = plain.attr(VN("value"));
    }
    return plain;
}

/// Keys of a multiple selection from a list of options: texts as they are, mappings by their
/// label (or their key when there is no label getter), in order.
nb::list keys_of(nb::handle self, nb::handle value) {
    nb::list keys;
    nb::object chosen = unwrap_state(value);
    if (!vantu::truthy(chosen)) return keys;
    nb::object items = chosen;
    if (!PyList_Check(items.ptr()) && !PyTuple_Check(items.ptr())) items = nb::make_tuple(chosen);
    nb::object label = self.attr(VN("_getOptionLabel"));
    for (nb::handle item : items) {
        if (PyUnicode_Check(item.ptr()))
            keys.append(item);
        else if (PyDict_Check(item.ptr()))
            keys.append(vantu::truthy(label) ? label(item) : option_key(item));
    }
    return keys;
}

void set_state(nb::handle self, nb::handle initial) {
    nb::object pair = global(VN("useState"))(nb::arg("initial") = initial, nb::arg("component") = self);
    nb::object it = nb::steal(PyObject_GetIter(pair.ptr()));
    if (!it.is_valid()) vantu::throw_pending();
    nb::object state = nb::steal(PyIter_Next(it.ptr()));
    nb::object setter = state.is_valid() ? nb::steal(PyIter_Next(it.ptr())) : nb::object();
    nb::object extra = setter.is_valid() ? nb::steal(PyIter_Next(it.ptr())) : nb::object();
    if (PyErr_Occurred()) vantu::throw_pending();
    if (!setter.is_valid() || extra.is_valid())
        vantu::raise(PyExc_ValueError, "useState() must return a (state, setter) pair");
    self.attr(VN("_selectedKeys")) = state;
    self.attr(VN("_setSelectedKeys")) = setter;
}

}  // namespace

nb::object __init__(Args a) {
    nb::handle self = a.self();
    // Running twice (Qt's cooperative initialiser, then the host) must not build twice.
    if (!vantu::getattr_or_none(self, VN("action_frame")).is_none()) return nb::none();
    self.attr(VN("_popupShowing")) = false;
    self.attr(VN("_btnSelect")) = nb::none();
    self.attr(VN("_btn_clear_text")) = nb::none();
    self.attr(VN("action_frame")) = nb::none();
    self.attr(VN("select_setup_select_mode"))();
    return nb::none();
}

nb::object select_setup_select_mode(Args a) {
    nb::handle self = a.self();
    // A host that has not configured itself yet (Qt's initialiser running first) is not a select.
    if (!vantu::truthy(vantu::getattr_or_none(self, VN("_select")))) return nb::none();

    nb::object options = self.attr(VN("_options"));
    nb::object get_label = self.attr(VN("_getOptionLabel"));
    const bool has_options = vantu::truthy(options);
    // Checked before anything is built, so a refused configuration leaves no state or frame behind.
    if (has_options && !vantu::truthy(get_label))
        vantu::raise(PyExc_AttributeError, "Opp!! 'getOptionLabel' is required attribute!");

    const bool multiple = vantu::truthy(self.attr(VN("_multiple")));
    nb::object render_option = self.attr(VN("_renderOption"));
    nb::handle State = global(VN("State"));

    // Selected keys: one key in single mode, always a list in multiple mode.
    if (has_options) {
        if (multiple) {
            nb::object defaults = self.attr(VN("_defaultValue"));
            set_state(self, vantu::truthy(defaults) ? keys_of(self, defaults) : nb::list());
        } else {
            nb::object first = options[0];
            if (PyUnicode_Check(first.ptr()))
                set_state(self, first);
            else
                set_state(self, get_label(first));
        }
    } else if (vantu::truthy(render_option) || vantu::truthy(self.attr(VN("_selectOptions")))) {
        nb::object value = self.attr(VN("value"));
        set_state(self, multiple ? nb::object(keys_of(self, value)) : value);
    }

    nb::object frame = global(VN("QWidget"))(self);
    self.attr(VN("action_frame")) = frame;
    frame.attr(VN("setSizePolicy"))(qt().maximum, qt().maximum);
    nb::object hlo_action_frame = global(VN("QHBoxLayout"))(frame);
    hlo_action_frame.attr(VN("setContentsMargins"))(0, 0, 0, 0);
    frame.attr(VN("setFixedWidth"))(54);
    frame.attr(VN("layout"))().attr(VN("setAlignment"))(qt().align_right_vcenter);

    nb::object input_field = self.attr(VN("_inputField"));
    if (multiple) {
        if (vantu::truthy(self.attr(VN("_renderTags")))) {
            nb::object line = global(VN("EBLineEditMultiple"))(
                nb::arg("entryBox") = self, nb::arg("label") = self.attr(VN("_label")),
                nb::arg("placeholder") = self.attr(VN("_placeholder")), nb::arg("size") = self.attr(VN("_size")),
                nb::arg("selectedKeys") = self.attr(VN("_selectedKeys")),
                nb::arg("onMouseEnter") = self.attr(VN("onMouseEnter")),
                nb::arg("onMouseLeave") = self.attr(VN("onMouseLeave")),
                nb::arg("onFocusIn") = self.attr(VN("onFocusInMultiple")),
                nb::arg("onFocusOut") = self.attr(VN("onFocusOut")),
                nb::arg("onMouseRelease") = self.attr(VN("onMouseRelease")),
                nb::arg("onChange") = self.attr(VN("onInputChange")));
            self.attr(VN("_inputFieldMultiple")) = line;
            // The text reaches the host's bound method directly: no closure to outlive it.
            line.attr(VN("textChanged")).attr(VN("connect"))(self.attr(VN("autocomplete_on_text_changed")));
            line.attr(VN("installEventFilter"))(self);
            nb::list children;
            children.append(line);
            nb::object flow = global(VN("FlowWidget"))(self, children)
                                  .attr(VN("renderUi"))(nb::arg("ctx") = self.attr(VN("_ctx")));
            self.attr(VN("_flowWidget")) = flow;
            input_field.attr(VN("setReadOnly"))(true);
            input_field.attr(VN("setLayout"))(global(VN("QHBoxLayout"))());
            input_field.attr(VN("layout"))().attr(VN("setContentsMargins"))(0, 0, 54, 0);
            input_field.attr(VN("setPlaceholderText"))("");
            input_field.attr(VN("layout"))().attr(VN("addWidget"))(flow);
        } else {
            nb::object render_value = self.attr(VN("_renderValue"));
            if (vantu::truthy(render_value)) input_field.attr(VN("setText"))(render_value(self.attr(VN("value"))));
        }
        if (vantu::is_instance(render_option, State))
            render_option.attr(VN("valueChanged")).attr(VN("connect"))(self.attr(VN("select_create_menu")));
    }

    nb::handle QPushButton = global(VN("QPushButton"));
    nb::object clear = QPushButton();
    self.attr(VN("_btn_clear_text")) = clear;
    clear.attr(VN("setFixedSize"))(24, 24);
    clear.attr(VN("setCursor"))(qt().pointing_hand);
    clear.attr(VN("clicked")).attr(VN("connect"))(self.attr(VN("base_on_btn_clear_text_clicked")));
    clear.attr(VN("hide"))();
    hlo_action_frame.attr(VN("addWidget"))(clear);
    clear.attr(VN("setFocusPolicy"))(qt().no_focus);
    clear.attr(VN("setAttribute"))(qt().show_without_activating, true);

    nb::object arrow = QPushButton();
    self.attr(VN("_btnSelect")) = arrow;
    arrow.attr(VN("setCursor"))(qt().pointing_hand);
    arrow.attr(VN("setFixedSize"))(24, 24);
    if (vantu::truthy(self.attr(VN("_isDateTimeType")))) {
        arrow.attr(VN("hide"))();
        arrow.attr(VN("setIconSize"))(global(VN("QSize"))(24, 24));
    }
    arrow.attr(VN("clicked")).attr(VN("connect"))(self.attr(VN("_btn_select_toggle_popup")));
    hlo_action_frame.attr(VN("addWidget"))(arrow);

    // A one-shot timer owned by the input: it dies with it, and unlike a static singleShot it
    // lets go of the bound method when it does.
    nb::object timer = global(VN("QTimer"))(self);
    timer.attr(VN("setSingleShot"))(true);
    timer.attr(VN("timeout")).attr(VN("connect"))(self.attr(VN("_setIcons")));
    timer.attr(VN("timeout")).attr(VN("connect"))(timer.attr(VN("deleteLater")));
    timer.attr(VN("start"))(0);

    nb::object flow_view = vantu::getattr_or_none(self, VN("_flow_layout_view"));
    if (!flow_view.is_none()) flow_view.attr(VN("mousePressEvent")) = self.attr(VN("onMultipleInputFieldClicked"));

    self.attr(VN("setup_action_frame_and_adornment"))();
    return nb::none();
}

nb::object _setIcons(Args a) {
    nb::handle self = a.self();
    nb::handle QIcon = global(VN("QIcon"));
    nb::object icons = global(VN("VANTU_ASSETS")).attr(VN("ICONS"));
    self.attr(VN("_btnSelect")).attr(VN("setIcon"))(QIcon(icons.attr(VN("ARROW_DOWN"))));
    self.attr(VN("_btn_clear_text")).attr(VN("setIcon"))(QIcon(icons.attr(VN("CLOSE"))));
    return nb::none();
}

}  // namespace select_mixin
