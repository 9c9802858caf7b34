"""Tags of a multiple selection: the record of chosen options behind them, the chips, and the
flow container that is rebuilt with them."""
from __future__ import annotations

import traceback
import weakref
from typing import TYPE_CHECKING, Any

from PySide6.QtCore import Qt
from PySide6.QtWidgets import QWidget
from shiboken6 import isValid

from ._flow_widget import FlowWidget
from ._input_style import ACTION_FRAME_WIDTH, FIELD_HEIGHTS
from ._input_value import MISSING
from ._tags_view import TagsView

if TYPE_CHECKING:
    from ._input_base import InputBase

__all__ = ["InputTagsMixin"]


class _TagDelete:
    """The ``onDelete`` of one tag: takes its option out of the selection.

    Holds the input weakly, so a tag never keeps its input alive.
    """

    def __init__(self, host: InputBase, index: int) -> None:
        self._host = weakref.ref(host)
        self._index = index

    def __call__(self, key: Any = MISSING) -> None:
        host = self._host()
        if host is None or not isValid(host):
            return
        if key is MISSING:
            host._delete_tag_at(self._index)
        else:
            host._delete_tag_key(key)


class InputTagsMixin:
    """Adds and removes chosen options and draws them as chips in the field."""

    def tags_update_selected_options(self, key: Any) -> None:
        """Adds the option filed under ``key`` to the record, or takes it out when present."""
        if key in self._selected_options:
            self._selected_options.pop(key)
            return
        option = self._find_option(key)
        self._selected_options[key] = key if option is MISSING else option

    def tags_setup_tags(self, key: Any = None, option: Any = None) -> None:
        """Adds or removes one option of a multiple selection, then rebuilds the tags."""
        if key is not None:
            # Any label is a key, a falsy one (0, "") included.
            found = self._find_option(key)
            if found is not MISSING:
                option = found
        elif isinstance(option, dict):
            key = self._key_of(option)
        if key in self._selected_options:
            self._selected_options.pop(key)
        else:
            self._selected_options[key] = key if option is None else option
            line = getattr(self, "_inputFieldMultiple", None)
            if line is not None and line.text():
                line.clear()  # the typed text did its work: the next search starts afresh
        self._rebuild_tags()

    def tags_render_tags(self) -> list[QWidget]:
        """The tag widgets of the chosen options (asked for by the flow container)."""
        render = self._renderTags if callable(self._renderTags) else TagsView(self._getOptionLabel)
        try:
            tags = render(self._selected_options, self.getTagProps)
        except Exception:
            traceback.print_exc()
            return []
        if isinstance(tags, QWidget):
            return [tags]
        return [t for t in (tags or []) if isinstance(t, QWidget)]

    def getTagProps(self, index: int) -> dict[str, Any]:
        """Props for the tag at ``index``: ``{"onDelete": callable}`` removing its option."""
        return {"onDelete": _TagDelete(self, index)}

    def _delete_tag_at(self, index: Any) -> None:
        """Takes out the option of the tag at ``index`` (or the choice dict a tag renderer gave
        ``getTagProps``)."""
        if isinstance(index, dict):
            self.select_selected_change(index)
            return
        keys = list(self._selected_options)
        if isinstance(index, int) and not isinstance(index, bool) and 0 <= index < len(keys):
            self._delete_tag_key(keys[index])

    def _delete_tag_key(self, key: Any) -> None:
        """Takes out the option chosen under ``key``; a key not chosen changes nothing."""
        if key in self._selected_options:
            self.select_selected_change({"key": key, "value": self._selected_options[key]})

    def _rebuild_tags(self) -> None:
        line = getattr(self, "_inputFieldMultiple", None)
        if line is None:
            return
        had_focus = line.hasFocus()
        self._refocusing = had_focus
        try:
            old = self._flowWidget
            new = FlowWidget(self, [line]).renderUi(ctx=self._ctx)
            # Tags start where typed text would: the frame's padding is the left edge.
            new.layout().setContentsMargins(0, 2, 0, 2)
            layout = self._inputField.layout()
            if old is not None and isValid(old):
                layout.replaceWidget(old, new)
                old.setParent(None)
                old.deleteLater()
            else:
                layout.addWidget(new)
            layout.setAlignment(new, Qt.AlignmentFlag.AlignVCenter)  # one row of chips sits mid-field
            self._flowWidget = new
            # Moved into a new container, the typing field went to the end of the window's tab
            # order: back to its place, after the field. Shown now, not on the next turn of the
            # event loop, so that it can keep the keyboard and Shift+Tab finds it.
            QWidget.setTabOrder(self._inputField, line)
            new.show()
            line.show()
            if had_focus:
                line.setFocus()
        finally:
            self._refocusing = False
        self._place_action_frame()
        self._fit_tags()

    def _fit_tags(self) -> None:
        """Makes the frame tall enough for every row of chips (never under the field height)."""
        flow = getattr(self, "_flowWidget", None)
        if flow is None or not isValid(flow) or flow.layout() is None:
            return
        width = max(1, self._inputField.width() - ACTION_FRAME_WIDTH)
        frame = self._frame
        # The frame's padding and borders (its style sheet's) around the chips' rows.
        frame.ensurePolished()
        margins, inner = frame.contentsMargins(), frame.layout().contentsMargins()
        needed = flow.layout().heightForWidth(width) + margins.top() + margins.bottom() + inner.top() + inner.bottom()
        height = max(FIELD_HEIGHTS.get(self._size, FIELD_HEIGHTS["medium"]), needed)
        if frame.minimumHeight() != height:
            frame.setMinimumHeight(height)
