"""The base shared by the layout containers (Box, Stack, Grid, Paper, ...).

A container is a two-phase component: its constructor records the children,
``renderUi`` makes the frame at once and builds one child per unit of work.
With a scheduler on the render context those units run a chunk per
event-loop turn; each unit also does the child's first-show work (style
polish, size hint), so revealing a finished tree costs little more than
moving widgets into place.
"""
from __future__ import annotations

from collections.abc import Iterator, Sequence
from typing import Any, ClassVar

from PySide6.QtCore import QRectF, Qt
from PySide6.QtGui import QColor, QPainter, QPalette, QPen
from PySide6.QtWidgets import QBoxLayout, QFrame, QHBoxLayout, QLayout, QVBoxLayout, QWidget
from shiboken6 import isValid

from vantu.hooks import useEffect
from vantu.material.component import Component, RenderContext
from vantu.material.styles import useTheme

__all__ = ["ContainerBase", "SPACING_UNIT", "check_choice", "check_number", "px"]

SPACING_UNIT = 8
"""Pixels in one Material spacing unit: ``spacing=2`` means 16 px."""


def px(units: float) -> int:
    """Pixels for a number of spacing units."""
    return round(units * SPACING_UNIT)


def check_number(name: str, value: Any, minimum: float = 0, integer: bool = False) -> float:
    """Return ``value`` if it is a number of at least ``minimum``; else raise naming ``name``."""
    kinds = (int,) if integer else (int, float)
    if type(value) is bool or not isinstance(value, kinds):
        expected = "an int" if integer else "a number"
        raise TypeError(f"'{name}' must be {expected}, got {type(value).__name__}")
    if value < minimum:
        raise ValueError(f"'{name}' must be at least {minimum}, got {value}")
    return value


def check_choice(name: str, value: Any, choices: Sequence[str]) -> str:
    """Return ``value`` if it is one of ``choices``; else raise naming ``name``."""
    if value not in choices:
        allowed = ", ".join(repr(c) for c in choices)
        raise ValueError(f"'{name}' must be one of {allowed}, got {value!r}")
    return value


def _check_children(children: Any) -> list:
    if children is None:
        return []
    if not isinstance(children, (list, tuple)):
        raise TypeError(f"'children' must be a list of components or widgets, got {type(children).__name__}")
    for index, child in enumerate(children):
        if not isinstance(child, (Component, QWidget)):
            raise TypeError(
                f"'children' must hold components or widgets, got {type(child).__name__} at index {index}"
            )
    return list(children)


class ContainerBase(QFrame, Component):
    """A frame that lays out child components; subclasses choose the layout and the look.

    Subclasses override ``_setup`` (make the layouts), ``_place_child`` (put a
    built child in them) and, for a visible surface, set ``_surface``.
    """

    _surface: ClassVar[bool] = False
    """Whether the frame paints a Material surface (background, corners, outline or shadow)."""

    def __init__(self, children: Sequence[Component | QWidget] | None = None, *, padding: float = 0) -> None:
        """Record the children; nothing is built until ``renderUi``.

        Args:
            children: child components (built by ``renderUi``) or ready widgets.
            padding: inner space around the children, in spacing units of 8 px.
        """
        Component.__init__(self)
        self._children: list = _check_children(children)
        self._padding = check_number("padding", padding)
        self._ctx: RenderContext | None = None
        self._pending: Iterator | None = None
        self._built = False
        self._body: QWidget | None = None

    # ----- building -------------------------------------------------------

    def renderUi(self, ctx: RenderContext | None = None, parent: QWidget | None = None) -> QWidget:
        """Make the frame under ``parent`` and start building the children; return the frame.

        With a scheduler on ``ctx`` each child is built as one scheduled unit
        (a child container then schedules its own children); otherwise the
        children are built before this returns.
        """
        if self._built:
            return self
        QFrame.__init__(self, parent)
        self._built = True
        self.setObjectName(f"{type(self).__name__}-{id(self)}")
        self._ctx = ctx
        self._body = self
        self._setup()
        if self._surface:
            self._apply_look()
            useEffect(self._apply_look, [useTheme().state], component=self)
        children = self._children
        self._pending = iter(tuple(children))
        self._unsettled = len(children)
        if ctx is None:
            for _ in children:
                self._build_next()
        else:
            schedule = ctx.schedule
            build = self._build_next
            for _ in children:
                schedule(build)
        return self

    def _build_next(self) -> None:
        """One unit: build the next child, place it and do its first-show work now."""
        if not isValid(self):
            return  # deleted before its turn came
        child = next(self._pending)
        index = self._built_count
        self._built_count = index + 1
        if isinstance(child, Component):
            widget = child.renderUi(self._ctx, parent=self._body)
            if not isinstance(widget, QWidget):
                raise TypeError(
                    f"{type(child).__name__}.renderUi() must return a QWidget, got {type(widget).__name__}"
                )
        else:
            widget = child
        self._place_child(widget, index)
        # Style polish and the size hint would otherwise all fall on the turn
        # that reveals the finished tree.
        widget.ensurePolished()
        widget.sizeHint()
        if isinstance(widget, ContainerBase) and widget._unsettled and widget._owner is None:
            widget._owner = self  # it reports back once everything under it is built
        else:
            self._child_settled()

    _built_count = 0
    _unsettled = 0
    """Children whose whole subtree is not built yet."""
    _owner: ContainerBase | None = None
    """The container building this one, told when this one's subtree is complete."""

    def _child_settled(self) -> None:
        self._unsettled -= 1
        if self._unsettled:
            return
        self._settle()
        owner = self._owner
        if owner is not None and isValid(owner):
            owner._child_settled()

    def _settle(self) -> None:
        """Lays out a container once everything under it is built.

        Size hints of hidden widgets are worked out only when something asks for them, and the
        first time Qt asks a widget made from Python it also looks up the Python overrides of
        each method it calls: left to the reveal, that is every container's work in one turn.
        Settled once its subtree is complete, each container does that work in the chunk that
        completes it; the outermost one, under a scheduler, settles the hidden widgets around
        it too.
        """
        self._layout.activate()
        ctx = self._ctx
        if ctx is None or ctx.scheduler is None or self._owner is not None:
            return
        widget = self.parentWidget()
        while widget is not None and not widget.isVisible():
            layout = widget.layout()
            if layout is not None:
                layout.activate()
            widget = widget.parentWidget()

    # ----- layout hooks ---------------------------------------------------

    def _setup(self) -> None:
        """Make the layout(s); the default is one column with the padding."""
        self._layout = self._box(self, QBoxLayout.Direction.TopToBottom, 0)

    def _box(self, owner: QWidget, direction: QBoxLayout.Direction, spacing: int) -> QBoxLayout:
        layout = QVBoxLayout(owner) if direction == QBoxLayout.Direction.TopToBottom else QHBoxLayout(owner)
        if direction not in (QBoxLayout.Direction.TopToBottom, QBoxLayout.Direction.LeftToRight):
            layout.setDirection(direction)
        pad = px(self._padding)
        layout.setContentsMargins(pad, pad, pad, pad)
        layout.setSpacing(spacing)
        return layout

    def _place_child(self, widget: QWidget, index: int) -> None:
        """Put a built child into the layout; ``index`` is its place among the children."""
        self._layout.addWidget(widget)

    def layoutOfChildren(self) -> QLayout | None:
        """The layout that holds the children (``None`` before ``renderUi``)."""
        return getattr(self, "_layout", None)

    # ----- look -----------------------------------------------------------

    def _surface_colors(self) -> tuple[str, str | None]:
        """Background and outline colours of the surface (outline ``None`` for none)."""
        palette = useTheme().palette
        return palette["background"]["paper"], None

    def _elevation(self) -> int:
        """Shadow depth in px (0 for a flat surface)."""
        return 0

    def _radius(self) -> int:
        return useTheme().shape["borderRadius"]

    def _apply_look(self) -> None:
        """Colours from the theme: text inherited by the children, the surface painted."""
        if not isValid(self):
            return
        theme = useTheme()
        palette = QPalette(self.palette())
        text = QColor(theme.palette["text"]["primary"])
        palette.setColor(QPalette.ColorRole.WindowText, text)
        palette.setColor(QPalette.ColorRole.Text, text)
        palette.setColor(QPalette.ColorRole.Window, QColor(self._surface_colors()[0]))
        self.setPalette(palette)
        self.update()

    def paintEvent(self, event: Any) -> None:
        """Paint the surface: a soft shadow for the elevation, the fill, then the outline."""
        if not self._surface:
            return QFrame.paintEvent(self, event)
        background, outline = self._surface_colors()
        depth = self._elevation()
        radius = self._radius()
        painter = QPainter(self)
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        rect = QRectF(self.rect()).adjusted(0.5, 0.5, -0.5, -0.5)
        if depth:
            # A few stacked translucent outlines below the surface read as a shadow.
            painter.setPen(Qt.PenStyle.NoPen)
            for step in range(min(depth, 4), 0, -1):
                painter.setBrush(QColor(0, 0, 0, 10 + 6 * (4 - step)))
                painter.drawRoundedRect(rect.adjusted(0, step, 0, 0), radius + step / 2, radius + step / 2)
            rect = rect.adjusted(0, 0, 0, -min(depth, 4))
        painter.setBrush(QColor(background))
        painter.setPen(QPen(QColor(outline), 1) if outline else Qt.PenStyle.NoPen)
        painter.drawRoundedRect(rect, radius, radius)
        painter.end()
        return None
