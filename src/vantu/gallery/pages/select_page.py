"""Select fields: single and multiple choice, tags and rendered text, states, variants, sizes."""
from __future__ import annotations

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QApplication, QPushButton, QVBoxLayout, QWidget

from vantu.gallery.pages import data
from vantu.gallery.pages._layout import Page
from vantu.gallery.pages._shots import click_to_open, composite, settle
from vantu.hooks import State
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView

FIELD_WIDTH = 260


def render_fruit_tags(selected, getTagProps):
    """One removable chip per chosen option; deleting a chip deselects its option."""
    return [
        TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
        for key, option in selected.items()
    ]


def render_count(value) -> str:
    return ", ".join(str(v) for v in value or [])


def field(**kwargs) -> SelectBase:
    w = SelectBase(**kwargs)
    w.setFixedWidth(FIELD_WIDTH)
    return w


class SelectPage(Page):
    def __init__(self) -> None:
        super().__init__("Select")
        single = self.section("Single choice")
        self.single = self.demo(single, "Fruits, a list of texts", field(label="Fruits", options=data.FRUITS))
        self.demo(single, "Countries: options as mappings, one disabled",
                  field(label="Country", options=data.COUNTRIES, getOptionLabel=data.country_label,
                        getOptionDisabled=data.country_disabled))
        self.demo(single, "With a default value",
                  field(label="Fruits", options=data.FRUITS, defaultValue="Mango"))

        multiple = self.section("Multiple choice")
        self.tags = self.demo(multiple, "Chosen options as removable tags",
                              field(label="Fruits", options=data.FRUITS, multiple=True,
                                    renderTags=render_fruit_tags, defaultValue=["Apple", "Cherry"],
                                    getOptionLabel=str))
        self.demo(multiple, "Chosen options as rendered text",
                  field(label="Fruits", options=data.FRUITS, multiple=True, renderValue=render_count,
                        getOptionLabel=str))

        states = self.section("States")
        self.demo(states, "Disabled", field(label="Fruits", options=data.FRUITS, disabled=True, value="Pear"))
        self.demo(states, "Required", field(label="Fruits", options=data.FRUITS, required=True))
        self.demo(states, "Read-only", field(label="Fruits", options=data.FRUITS, readOnly=True, value="Banana"))
        self.demo(states, "Error", field(label="Fruits", options=data.FRUITS, error=True))

        looks = self.section("Variants and sizes")
        for variant in ("outlined", "filled", "standard"):
            for size in ("medium", "small"):
                self.demo(looks, f"{variant}, {size}",
                          field(label="Fruits", options=data.FRUITS, variant=variant, size=size, value="Grape"))

        driven = self.section("Driven by a State")
        self.country = State("Japan")
        row = QWidget()
        line = QVBoxLayout(row)  # the button under the field keeps the column narrow
        line.setContentsMargins(0, 0, 0, 0)
        self.driven = field(label="Country", options=data.COUNTRIES, getOptionLabel=data.country_label,
                            value=self.country)
        line.addWidget(self.driven)
        self.next_button = QPushButton()
        self.next_button.setObjectName("NextCountry")
        self.next_button.clicked.connect(self._next_country)
        line.addWidget(self.next_button, 0, Qt.AlignmentFlag.AlignLeft)
        self.demo(driven, "The button changes the State; the field follows", row)

        many = self.section("Ten thousand options")
        self.demo(many, "A long list stays quick to open and scroll",
                  field(label="Option", options=data.MANY))

        bottom = self.section("Near the bottom of the window")
        self.bottom = self.demo(bottom, "Its list opens above it when there is no room below",
                                field(label="Fruits", options=data.FRUITS))
        self.finish()
        self._retranslate()

    def _next_country(self) -> None:
        labels = [c["label"] for c in data.COUNTRIES if not c.get("disabled")]
        current = self.country.value
        self.country.setValue(labels[(labels.index(current) + 1) % len(labels)] if current in labels else labels[0])

    def _retranslate(self, *_ignored) -> None:
        super()._retranslate()
        from vantu.i18n.use_translation import translate

        if hasattr(self, "next_button"):
            self.next_button.setText(translate("Next country"))

    def extra_screenshots(self, window):
        """The list of the first field open under it, the multiple field's list, and the last
        field's list open above it."""
        shots = []
        for name, select in (("popup", self.single), ("popup-multiple", self.tags), ("popup-above", self.bottom)):
            scroll = self.parentWidget().parentWidget()
            scroll.ensureWidgetVisible(select, 0, 0)
            settle()
            click_to_open(select._inputField)
            shots.append((name, composite(window)))
            select._hide_popup()
            settle()
        # The last field keeps focus after its popup closes, as on a desktop; give the page back
        # its resting state so later screenshots start at the top.
        focused = QApplication.focusWidget()
        if focused is not None:
            focused.clearFocus()
        scroll.verticalScrollBar().setValue(0)
        return shots


def build(window) -> QWidget:
    return SelectPage()
