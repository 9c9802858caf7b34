// Selection modes and tags: the selected-keys state, the action frame with its buttons, the
// tag container, default tags and the placing of the action frame.
#include "pickcore/pickcore.h"

namespace pickcore {

bool right_to_left(nb::handle widget) {
    static const vantu::Forever rtl(G.Qt.attr("LayoutDirection").attr("RightToLeft"));
    return widget.attr(VN("layoutDirection"))().equal(rtl.h());
}

}  // namespace pickcore

namespace pickcore::select_base {

namespace {

nb::object resolved_default(nb::handle self) {
    nb::object def = self.attr(VN("_defaultValue"));
    return vantu::is_instance(def, G.State) ? nb::object(def.attr(VN("value"))) : def;
}

nb::object first_key(nb::handle first) {
    if (is_str(first)) return nb::borrow(first);
    nb::object v = first.attr("get")("value");
    return vantu::truthy(v) ? v : nb::str("");
}

void keys_state(nb::handle self, nb::handle initial) {
    nb::object pair = G.useState(nb::arg("initial") = initial, nb::arg("component") = self);
    self.attr(VN("_selectedKeys")) = pair[0];
    self.attr(VN("_setSelectedKeys")) = pair[1];
}

}  // namespace

nb::object _setup_select_mode(Args a) {
    nb::handle self = a.self();
    nb::object options = self.attr(VN("_options"));
    bool multiple = vantu::truthy(self.attr(VN("_multiple")));

    // 1. Selected keys. A multiple select always holds a list: the labels of its default
    // options, or nothing selected.
    if (multiple) {
        nb::list keys;
        nb::object def = resolved_default(self);
        if (vantu::truthy(def))
            for (nb::handle option : def) keys.append(label_of(self, option));
        keys_state(self, keys);
    } else if (vantu::truthy(options)) {
        nb::object first = options[0];
        nb::object initial;
        if (is_str(first))
            initial = first;
        else if (vantu::truthy(self.attr(VN("_getOptionLabel"))))
            initial = self.attr(VN("_getOptionLabel"))(first);
        else
            initial = first_key(first);
        keys_state(self, initial);
    } else {
        // No options (with or without an option renderer): the state starts as the value, so
        // the popup always has a state to hand its list.
        keys_state(self, self.attr(VN("value")));
    }

    // 2. Action frame.
    nb::object frame = G.QFrame(self);
    self.attr(VN("action_frame")) = frame;
    frame.attr(VN("setObjectName"))("actionframe");
    frame.attr(VN("setSizePolicy"))(G.size_maximum, G.size_maximum);
    nb::object layout = G.QHBoxLayout(frame);
    layout.attr(VN("setContentsMargins"))(0, 0, 0, 0);
    frame.attr(VN("setFixedWidth"))(20);
    layout.attr(VN("setAlignment"))(G.align_right_vcenter);

    // 3. Multiple mode: tag container and clear button.
    if (multiple) {
        nb::object input = self.attr(VN("_inputField"));
        if (vantu::truthy(self.attr(VN("_renderTags")))) {
            nb::object flow =
                G.FlowWidget(self, nb::list()).attr(VN("renderUi"))(nb::arg("ctx") = self.attr(VN("_ctx")));
            self.attr(VN("_flowWidget")) = flow;
            input.attr(VN("setReadOnly"))(true);
            nb::object inner = G.QHBoxLayout();
            inner.attr(VN("setContentsMargins"))(0, 0, 54, 0);
            input.attr(VN("setLayout"))(inner);
            input.attr(VN("setPlaceholderText"))("");
            inner.attr(VN("addWidget"))(flow);
        } else if (vantu::truthy(self.attr(VN("_renderValue"))) && vantu::truthy(self.attr(VN("value")))) {
            self.attr(VN("setElidedText"))(input, self.attr(VN("_renderValue"))(self.attr(VN("value"))));
        }
        nb::object render = self.attr(VN("_renderOption"));
        if (vantu::is_instance(render, G.State))
            render.attr(VN("valueChanged")).attr(VN("connect"))(self.attr(VN("_create_menu")));
        nb::object clear = G.QPushButton();
        self.attr(VN("_btn_clear_text")) = clear;
        clear.attr(VN("setFixedSize"))(24, 24);
        clear.attr(VN("setIcon"))(icon("CLOSE"));
        clear.attr(VN("setIconSize"))(G.QSize(18, 18));
        clear.attr(VN("setCursor"))(G.PointingHandCursor);
        clear.attr(VN("clicked")).attr(VN("connect"))(self.attr(VN("_on_clear_text")));
        layout.attr(VN("addWidget"))(clear);
        clear.attr(VN("hide"))();
        clear.attr(VN("setFocusPolicy"))(G.NoFocus);
        clear.attr(VN("setAttribute"))(G.WA_ShowWithoutActivating, true);
        frame.attr(VN("setFixedWidth"))(54);
    }

    // 4. Arrow button.
    nb::object arrow = G.QPushButton();
    self.attr(VN("_btnSelect")) = arrow;
    arrow.attr(VN("setCursor"))(G.PointingHandCursor);
    arrow.attr(VN("setFixedSize"))(24, 24);
    arrow.attr(VN("setFocusPolicy"))(G.NoFocus);
    arrow.attr(VN("setAttribute"))(G.WA_ShowWithoutActivating, true);
    arrow.attr(VN("setIcon"))(icon("ARROW_DOWN"));
    // A 20-pixel icon fits whole in the 20 pixels of a single select's frame that show of the
    // button; the field's sheet centres it there.
    arrow.attr(VN("setIconSize"))(G.QSize(20, 20));
    arrow.attr(VN("clicked")).attr(VN("connect"))(self.attr(VN("_toggle_popup")));
    // A press on the arrow focuses the input, as one on the input does: the field looks focused
    // while its list is open, and the keys work the list.
    arrow.attr(VN("pressed")).attr(VN("connect"))(self.attr(VN("_inputField")).attr(VN("setFocus")));
    layout.attr(VN("addWidget"))(arrow);

    // 5-6.
    self.attr(VN("_inputField")).attr(VN("installEventFilter"))(self);
    self.attr(VN("setup_action_frame_and_adornment"))();
    return nb::none();
}

nb::object _setup_default_tags(Args a) {
    nb::handle self = a.self();
    nb::object def = resolved_default(self);
    if (!vantu::truthy(def)) return nb::none();
    nb::dict selected = nb::borrow<nb::dict>(self.attr(VN("_selected_options")));
    for (nb::handle option : def) selected[label_of(self, option)] = option;
    nb::object render_tags = self.attr(VN("_renderTags"));
    if (!vantu::truthy(render_tags)) {
        // Without tags the text shows the selection.
        self.attr(VN("_update_input_text"))();
        return nb::none();
    }
    nb::object tags = render_tags(selected, self.attr(VN("getTagProps")));
    self.attr(VN("tags")) = tags;
    replace_flow(self, tags);
    return nb::none();
}

nb::object setup_action_frame_and_adornment(Args a) {
    nb::handle self = a.self();
    nb::object frame = vantu::getattr_or_none(self, VN("action_frame"));
    if (frame.is_none()) return nb::none();
    long w = nb::cast<long>(self.attr(VN("width"))());
    long h = nb::cast<long>(self.attr(VN("height"))());
    long fw = nb::cast<long>(frame.attr(VN("width"))());
    long fh = nb::cast<long>(frame.attr(VN("height"))());
    long num = h + 6 - fh;
    long y = num >= 0 ? num / 2 : -((-num + 1) / 2);  // floor division
    // Flush with the end edge: the right one, or the left one when the field reads right to left.
    const bool rtl = right_to_left(self);
    frame.attr(VN("move"))(rtl ? 0 : w - fw, y);
    // The tags leave the frame's room at that same end.
    nb::object input = vantu::getattr_or_none(self, VN("_inputField"));
    if (!input.is_none() && vantu::truthy(self.attr(VN("_multiple"))) && vantu::truthy(self.attr(VN("_renderTags")))) {
        nb::object inner = input.attr(VN("layout"))();
        if (!inner.is_none()) {
            nb::object m = inner.attr(VN("contentsMargins"))();
            const long start = nb::cast<long>(m.attr("left")()), end = nb::cast<long>(m.attr("right")());
            if ((rtl && start < end) || (!rtl && end < start))
                inner.attr(VN("setContentsMargins"))(end, m.attr("top")(), start, m.attr("bottom")());
        }
    }
    if (!vantu::truthy(frame.attr(VN("isVisible"))())) frame.attr(VN("show"))();
    return nb::none();
}

nb::object onFlowlayoutMousePressEvent(Args a) {
    a.self().attr(VN("_toggle_popup"))();
    return nb::none();
}

nb::object tag_on_delete(Args a) {
    // A plain function: a[0] is the field's weak reference, a[1] the bound index.
    nb::object field = a[0]();
    if (field.is_none() || !vantu::truthy(G.isValid(field))) return nb::none();
    nb::tuple rest = nb::borrow<nb::tuple>(a[2]);
    return field.attr(VN("_on_tag_deleted"))(rest.size() ? nb::object(rest[0]) : nb::borrow(a[1]));
}

nb::object getTagProps(Args a) {
    nb::dict props;
    props["onDelete"] = G.partial(G.tag_on_delete, G.weakref_ref(a.self()), a[1]);
    return props;
}

nb::object _on_tag_deleted(Args a) {
    a.self().attr(VN("_selected_change"))(a[1]);
    return nb::none();
}

nb::object _setup_tags(Args a) {
    nb::handle self = a.self();
    nb::object key = nb::borrow(a[1]);
    nb::object option = nb::borrow(a[2]);
    // Any label names an option, a falsy one (0, "") included.
    if (!key.is_none()) {
        nb::object getter = self.attr(VN("_getOptionLabel"));
        for (nb::handle o : self.attr(VN("_options"))) {
            if (py_equal(vantu::truthy(getter) ? getter(o) : label_of(self, o), key)) {
                option = nb::borrow(o);
                break;
            }
        }
    } else if (vantu::truthy(option) && is_dict(option)) {
        key = label_of(self, option);
    }
    nb::dict selected = nb::borrow<nb::dict>(self.attr(VN("_selected_options")));
    nb::object render_tags = self.attr(VN("_renderTags"));
    // A chosen key is taken out even when no option carries it (an outside value, say).
    const bool filed = has_key(selected, key);
    if (filed || contains_value(selected.attr("values")(), option)) {
        if (filed) {
            if (PyDict_DelItem(selected.ptr(), key.ptr()) < 0) vantu::throw_pending();
        } else {
            del_first_value(selected, option);
        }
        self.attr(VN("tags")) = render_tags(selected, self.attr(VN("getTagProps")));
    } else {
        try {
            nb::dict entry;
            entry[key] = option;
            selected.attr("update")(entry);
            self.attr(VN("tags")) = render_tags(selected, self.attr(VN("getTagProps")));
        } catch (nb::python_error &e) {
            // A failing tag builder must not break the field: report it and keep the old tags.
            G.print_exc(e.value());
        }
    }
    nb::object tags = vantu::getattr_or_none(self, VN("tags"));
    replace_flow(self, tags.is_none() ? nb::object(nb::list()) : tags);
    return nb::none();
}

}  // namespace pickcore::select_base
