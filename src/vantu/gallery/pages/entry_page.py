"""Entry boxes: variants, helper text, errors, and the entry box working as a select or a date input."""
from __future__ import annotations

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QApplication, QPushButton, QVBoxLayout, QWidget

from vantu.gallery.pages import data
from vantu.gallery.pages._layout import Page
from vantu.gallery.pages._shots import click, composite, settle
from vantu.hooks import State
from vantu.material.component import RenderContext
from vantu.material.entrybox.entrybox import EntryBox

FIELD_WIDTH = 280


class EntryPage(Page):
    def __init__(self) -> None:
        super().__init__("Entry box")
        self.ctx = RenderContext()
        variants = self.section("Variants")
        for variant in ("outlined", "filled", "standard"):
            self.demo(variants, variant, self.box(label="Name", variant=variant, helperText="Your full name"))

        helper = self.section("Helper text and errors")
        self.helper_state = State("We never share your email")
        holder = QWidget()
        column = QVBoxLayout(holder)
        column.setContentsMargins(0, 0, 0, 0)
        self.email = self.box(label="Email", helperText=self.helper_state, parent=holder)
        column.addWidget(self.email)
        self.toggle = QPushButton()
        self.toggle.setObjectName("ToggleHelper")
        self.toggle.clicked.connect(self._toggle_helper)
        column.addWidget(self.toggle, 0, Qt.AlignmentFlag.AlignLeft)
        self.demo(helper, "Helper text from a State", holder)
        self.demo(helper, "Error", self.box(label="Email", value="not-an-address", error=True,
                                            helperText="Enter a valid email address"))
        self.demo(helper, "Disabled", self.box(label="Name", value="Lan", disabled=True))

        select = self.section("As a select")
        self.single = self.demo(select, "Single choice", self.box(
            label="Country", select=True, options=data.COUNTRIES, getOptionLabel=data.country_label,
            getOptionDisabled=data.country_disabled, helperText="Where you live"))
        self.multiple = self.demo(select, "Several choices as tags; type to narrow the list", self.box(
            label="Fruits", select=True, multiple=True, renderTags=True, options=data.FRUITS,
            getOptionLabel=str, defaultValue=["Apple", "Mango"]))
        self.date = self.demo(select, "A date input", self.box(label="Date", type="date", select=True, options=[],
                                                               getOptionLabel=str))

        long = self.section("Long text")
        self.demo(long, "A label longer than the field", self.box(
            label="The name of the organisation you work for", value="Lan"))
        self.demo(long, "A value longer than the field", self.box(
            label="Address", value="12 Nguyen Thi Minh Khai Street, District 1, Ho Chi Minh City"))
        self.demo(long, "A chosen option longer than the field", self.box(
            label="Country", select=True, options=data.COUNTRIES, getOptionLabel=data.country_label,
            value=data.COUNTRIES[-1]))
        self.finish()
        self._retranslate()

    def box(self, parent: QWidget | None = None, **kwargs) -> EntryBox:
        entry = EntryBox(**kwargs).renderUi(self.ctx, parent=parent)
        entry.setFixedWidth(FIELD_WIDTH)
        return entry

    def _toggle_helper(self) -> None:
        first = "We never share your email"
        self.helper_state.setValue("Used to sign in" if self.helper_state.value == first else first)

    def _retranslate(self, *_ignored) -> None:
        super()._retranslate()
        from vantu.i18n.use_translation import translate

        if hasattr(self, "toggle"):
            self.toggle.setText(translate("Change helper text"))

    def extra_screenshots(self, window):
        """The single and the tags field with their lists open, and the date input's picker."""
        shots = []
        scroll = self.parentWidget().parentWidget()
        for name, entry in (("popup", self.single), ("popup-tags", self.multiple)):
            scroll.ensureWidgetVisible(entry)
            settle()
            click(entry._input._inputField)
            shots.append((name, composite(window)))
            entry._input.select_hide_popup()
            entry._input.date_close_picker()
            settle()
        scroll.ensureWidgetVisible(self.date)
        settle()
        # Focus in the date field, then its picker through the input's own method, whatever
        # the picker is built from.
        self.date._input._inputField.setFocus()
        settle()
        self.date._input.date_open_picker()
        settle()
        shots.append(("date-picker", composite(window)))
        self.date._input.date_close_picker()
        settle()
        focused = QApplication.focusWidget()
        if focused is not None:
            focused.clearFocus()
        scroll.verticalScrollBar().setValue(0)
        return shots


def build(window) -> QWidget:
    return EntryPage()
