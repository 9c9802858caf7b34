"""EntryBox: what the constructor keeps, what renderUi builds, and the mouse release."""
from __future__ import annotations

import inspect
import weakref

import pytest
from PySide6.QtCore import Qt
from PySide6.QtWidgets import QLabel, QWidget

from vantu.hooks import State
from vantu.material.component import Component, RenderContext
from vantu.material.entrybox._input_base import InputBase
from vantu.material.entrybox.entrybox import EntryBox

from .conftest import flush_deletes

NAMED = ["parent", "helperText", "onBlur", "onFocus", "onClick", "onKeyDown", "onKeyUp", "onMouseEnter", "onMouseLeave", "fullWidth"]


class TestConstructor:
    def test_no_arguments_is_valid_and_builds_nothing(self):
        box = EntryBox()
        assert box._args == () and box._kwargs == {}
        for name in NAMED[1:]:
            assert getattr(box, f"_{name}") is None
        assert not hasattr(box, "_input") and not hasattr(box, "_helperLabel")

    def test_positional_arguments_fill_the_named_parameters_in_order(self):
        values = [object() for _ in range(11)]
        values[1] = "help"
        box = EntryBox(*values)
        for name, value in zip(NAMED[1:], values[1:10]):
            assert getattr(box, f"_{name}") is value
        assert box._args == (values[10],)

    def test_eleventh_positional_reaches_the_input_first(self, qtbot, monkeypatch):
        seen = {}
        real = InputBase.__init__

        def spy(self, *args, **kwargs):
            seen["args"], seen["keys"] = args, list(kwargs)
            real(self, **{k: v for k, v in kwargs.items()})

        monkeypatch.setattr(InputBase, "__init__", spy)
        box = EntryBox(None, None, None, None, None, None, None, None, None, None, "extra", label="L")
        box.renderUi(RenderContext())
        qtbot.addWidget(box)
        assert seen["args"] == ("extra",)
        assert seen["keys"] == ["parent", "ctx", "label"]

    def test_full_width_is_kept_but_not_passed_to_the_input(self, render):
        box = render(fullWidth=True, label="L")
        assert box._fullWidth is True
        assert "fullWidth" not in box._input._kwargs

    def test_signature_and_signals(self):
        params = list(inspect.signature(EntryBox.__init__).parameters)
        assert params == ["self", *NAMED, "args", "kwargs"]
        assert list(inspect.signature(EntryBox.renderUi).parameters) == ["self", "ctx", "parent"]
        assert type(EntryBox) is type(QWidget) and EntryBox.__bases__ == (QWidget, Component)
        for name in ("focusIn", "blur", "clicked", "keyDown", "keyUp", "mouseEnter", "mouseLeave"):
            assert name in EntryBox.__dict__

    @pytest.mark.parametrize("bad", [3, 1.5, ["a"], {"text": "a"}, b"x"])
    def test_helper_text_of_another_type_is_refused_by_name(self, bad):
        with pytest.raises(TypeError, match=r"Argument 'helperText' has incorrect type \(expected State, str or None"):
            EntryBox(helperText=bad)


class TestRenderUi:
    def test_layout_holds_the_input_then_the_helper_label_without_margins(self, render):
        box = render(helperText="hint", label="Name")
        layout = box.layout()
        assert layout.contentsMargins().left() == layout.contentsMargins().top() == 0
        assert layout.contentsMargins().right() == layout.contentsMargins().bottom() == 0
        assert layout.spacing() == 0
        assert layout.itemAt(0).widget() is box._input and isinstance(box._input, InputBase)
        assert layout.itemAt(1).widget() is box._helperLabel and isinstance(box._helperLabel, QLabel)
        assert box._helperLabel.testAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents)
        assert box.cursor().shape() == Qt.CursorShape.IBeamCursor

    def test_render_returns_itself_and_only_the_render_parent_counts(self, qtbot):
        ignored, used = QWidget(), QWidget()
        qtbot.addWidget(ignored)
        qtbot.addWidget(used)
        box = EntryBox(ignored)
        assert box.renderUi(RenderContext(), used) is box
        assert box.parent() is used

    def test_input_receives_parent_and_context(self, qtbot):
        ctx = RenderContext()
        box = EntryBox(label="x")
        box.renderUi(ctx)
        qtbot.addWidget(box)
        assert box._input.parent() is box and box._input._ctx is ctx

    @pytest.mark.parametrize("args", [(), (1, 2, 3)])
    def test_wrong_argument_count(self, args):
        with pytest.raises(TypeError, match="renderUi"):
            EntryBox().renderUi(*args)

    def test_ctx_among_the_extra_keywords_is_a_doubled_keyword(self, qtbot):
        box = EntryBox(ctx="mine")
        with pytest.raises(TypeError, match="got multiple values for keyword argument 'ctx'"):
            box.renderUi(RenderContext())
        qtbot.addWidget(box)


class TestMouseRelease:
    def test_release_on_the_helper_label_focuses_the_field(self, render, qtbot):
        box = render(helperText="below", label="Name")
        qtbot.mouseClick(box._helperLabel, Qt.MouseButton.LeftButton)
        qtbot.waitUntil(lambda: box._input._inputField.hasFocus())
        assert box._input._popup is None

    def test_release_in_select_mode_opens_the_popup_every_time(self, render, qtbot):
        box = render(helperText="below", options=["a", "b"], getOptionLabel=str)
        opened = []
        box._input._onOpen = lambda: opened.append(1)
        qtbot.mouseClick(box._helperLabel, Qt.MouseButton.LeftButton)
        assert box._input._popupShowing and box._input._popup.isVisible()
        box._input.select_about_to_hide()
        qtbot.mouseClick(box._helperLabel, Qt.MouseButton.LeftButton)
        assert opened == [1, 1]


class TestLifetime:
    def test_deleted_entry_box_is_collected_and_its_state_reaches_nothing(self, qapp, qtbot):
        helper = State("one")
        box = EntryBox(helperText=helper, options=["a"], getOptionLabel=str)
        box.renderUi(RenderContext())
        box._input.select_show_popup()
        ref, input_ref = weakref.ref(box), weakref.ref(box._input)
        box.deleteLater()
        del box
        flush_deletes(qapp)
        assert ref() is None and input_ref() is None
        helper.setValue("two")  # no effect left to run, nothing raised

    def test_icon_timer_dies_with_its_input(self, qapp):
        box = EntryBox(options=["a"], getOptionLabel=str)
        box.renderUi(RenderContext())
        ref = weakref.ref(box._input)
        box.deleteLater()  # before the 0 ms icon timer fires
        del box
        flush_deletes(qapp)
        qapp.processEvents()
        assert ref() is None
