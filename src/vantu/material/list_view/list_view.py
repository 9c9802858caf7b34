"""``ListView``: the option list of the select popups.

A model/view list, so ten thousand options cost what the visible rows cost.
Rows become widgets only when ``renderOption`` returns one.
"""
from __future__ import annotations

from collections.abc import Callable, Sequence
from types import MethodType
from typing import Any
from weakref import WeakMethod, WeakSet

import shiboken6

from PySide6.QtCore import QEvent, QObject, QModelIndex, QPersistentModelIndex, QPoint, QRect, QRectF, QSize, QStringListModel, Qt, Slot
from PySide6.QtGui import QColor, QFont, QImage, QPainter, QPainterPath, QPen, QResizeEvent, QTransform
from PySide6.QtWidgets import QAbstractItemView, QFrame, QGraphicsEffect, QLabel, QListView, QWidget

from vantu.hooks import State
from vantu.i18n.use_translation import i18n
from vantu.material import accessibility
from vantu.material.styles import useTheme
from vantu.utils.translator import getTranslatedText

__all__ = ["ListView", "MenuSurfaceEffect", "find_option", "option_key", "option_label"]

MAX_VISIBLE_HEIGHT = 376
_PAD_Y = 8  # the list's padding above the first row and below the last
"""Past this height (pixels) the list scrolls instead of growing: seven and a half rows and the
list's padding, so that a list that scrolls shows it by a row cut in half."""

ROW_HEIGHT = 48
"""Height of a text row: a Material 3 menu item."""

EMPTY_TEXT = "No options"
"""What an empty list shows in its one row (translated)."""

KeyRole = Qt.ItemDataRole.UserRole + 1
OptionRole = Qt.ItemDataRole.UserRole + 2

_DISPLAY = int(Qt.ItemDataRole.DisplayRole.value)
_FONT = int(Qt.ItemDataRole.FontRole.value)
_BACKGROUND = int(Qt.ItemDataRole.BackgroundRole.value)
_SIZE_HINT = int(Qt.ItemDataRole.SizeHintRole.value)
_DATA_ROLES = frozenset({_DISPLAY, _FONT, _BACKGROUND, _SIZE_HINT, KeyRole, OptionRole})
_NO_FLAGS = Qt.ItemFlag.NoItemFlags
_ROW_FLAGS = Qt.ItemFlag.ItemIsEnabled | Qt.ItemFlag.ItemIsSelectable


def option_key(option: Any, getOptionLabel: Callable[[Any], Any] | None = None) -> Any:
    """The key a field files ``option`` under: its label when the field has a label getter,
    else the text itself, or a mapping's "value" entry ("" when missing)."""
    if callable(getOptionLabel):
        return getOptionLabel(option)
    if isinstance(option, str):
        return option
    if isinstance(option, dict):
        return option.get("value") or ""
    return option


def option_label(option: Any, getOptionLabel: Callable[[Any], Any] | None = None) -> str:
    """The text a row shows for ``option``."""
    if callable(getOptionLabel):
        return str(getOptionLabel(option))
    if isinstance(option, dict):
        for name in ("label", "value"):
            if option.get(name) is not None:
                return str(option[name])
        return ""
    return str(option)


def find_option(
    options: Sequence[Any],
    prefix: str,
    start: int = 0,
    getOptionLabel: Callable[[Any], Any] | None = None,
    getOptionDisabled: Callable[[Any], Any] | None = None,
) -> int:
    """The index of the first option from ``start`` on, wrapping round, whose label starts with
    ``prefix`` whatever its case; disabled options are passed over. -1 when none does."""
    count = len(options)
    if not prefix or count == 0:
        return -1
    wanted = prefix.casefold()
    getter = getOptionLabel if callable(getOptionLabel) else None
    disabled = getOptionDisabled if callable(getOptionDisabled) else None
    start = start % count if start >= 0 else 0
    for step in range(count):
        index = (start + step) % count
        option = options[index]
        if option_label(option, getter).casefold().startswith(wanted) and not (disabled and disabled(option)):
            return index
    return -1


def _side_padding(option: dict[str, Any]) -> int:
    """The horizontal padding of the theme's "option" style (12 px)."""
    padding = option.get("padding", (0, 12))
    if isinstance(padding, (tuple, list)) and len(padding) >= 2:
        padding = padding[1]
    return padding if isinstance(padding, int) else 12


def _weak_callable(fn: Any) -> Any:
    # A bound method of a widget is held weakly: the list lives inside that widget's
    # popup, and a strong reference back would keep the widget's wrapper alive.
    if type(fn) is MethodType:
        return WeakMethod(fn)
    return (lambda: fn) if fn is not None else None


def _resolve(holder: Any) -> Any:
    return holder() if holder is not None else None


SHADOW_MARGIN = 9
"""Room (pixels) right of and under the surface that its shadow may take: the popup windows
keep that much transparent margin there."""


_PLAIN_TRANSFORMS = (QTransform.TransformationType.TxNone, QTransform.TransformationType.TxTranslate,
                     QTransform.TransformationType.TxScale)


def _rounded(rect: QRectF, radius: float) -> QPainterPath:
    path = QPainterPath()
    path.addRoundedRect(rect, radius, radius)
    return path


class MenuSurfaceEffect(QGraphicsEffect):
    """Makes the widget it is set on (the popup's container, which the list fills) a Material
    menu surface: its content cut to rounded corners, a hairline outline and a soft shadow to the
    right and below (to the left and below in a right-to-left widget, whose popup keeps its
    margin on that side), in the current theme. The list sets it on its parent."""

    _SHADOW_OFFSET = (1, 2)
    _SHADOW_BLUR = 6

    # Nine-patch sources shared by every surface: a shadow (per radius, pixel ratio and theme
    # mode) and the rounded mask (per radius and ratio), each drawn once for the smallest
    # surface whose edges have a straight middle; any size is then pieced together from them.
    _SOURCES: dict[tuple[Any, ...], Any] = {}

    def __init__(self, parent: QWidget | None = None) -> None:
        super().__init__(parent)
        # Asked on every paint and bounding-rect query, and reading it from Qt is slow: kept
        # until the next updateBoundingRect (which a change of direction calls for anyway).
        self._rtl: bool | None = None

    def updateBoundingRect(self) -> None:
        self._rtl = None
        super().updateBoundingRect()

    def _mirrored(self) -> bool:
        rtl = self._rtl
        if rtl is None:
            owner = self.parent()
            rtl = self._rtl = isinstance(owner, QWidget) and owner.layoutDirection() == Qt.LayoutDirection.RightToLeft
        return rtl

    def boundingRectFor(self, rect: QRectF) -> QRectF:
        dx, dy = self._SHADOW_OFFSET
        blur = self._SHADOW_BLUR
        side = min(SHADOW_MARGIN, dx + blur)
        if self._mirrored():
            return rect.adjusted(-side, 0, 0, min(SHADOW_MARGIN, dy + blur))
        return rect.adjusted(0, 0, side, min(SHADOW_MARGIN, dy + blur))

    @classmethod
    def _source(cls, key: tuple[Any, ...], make: Any) -> Any:
        """What ``make()`` draws for ``key``, drawn once and shared (a few sizes and themes)."""
        found = cls._SOURCES.get(key)
        if found is None:
            found = make()
            if len(cls._SOURCES) > 16:
                cls._SOURCES.clear()
            cls._SOURCES[key] = found
        return found

    @staticmethod
    def _corner(radius: float) -> int:
        """The side (logical px) of a corner piece: the rounded corner, whole pixels."""
        return int(radius) + 1

    def _shadow_source(self, radius: float, ratio: float, mode: str) -> QImage:
        """The shadow of the smallest surface with a straight middle, drawn as a surface's own:
        nested outlines, each a little darker, fading out over the blur."""
        dx, dy = self._SHADOW_OFFSET
        blur = self._SHADOW_BLUR
        side = 2 * self._corner(radius) + 2

        def make() -> QImage:
            image = self._blank(side + dx + blur, side + dy + blur, ratio)
            painter = QPainter(image)
            painter.setRenderHint(QPainter.RenderHint.Antialiasing)
            painter.setPen(Qt.PenStyle.NoPen)
            strength = 0.55 if mode == "dark" else 0.22
            base = QRectF(dx, dy, side, side)
            for step in range(blur, 0, -1):
                grow = step - 1
                painter.setBrush(QColor(0, 0, 0, max(1, round(255 * strength / blur))))
                painter.drawPath(_rounded(base.adjusted(-grow / 2, -grow / 2, grow, grow), radius + grow / 2))
            painter.end()
            return image

        return self._source(("shadow", radius, ratio, mode), make)

    def _mask_source(self, radius: float, ratio: float) -> QImage:
        """Opaque inside the rounded surface of the smallest size with a straight middle."""
        side = 2 * self._corner(radius) + 2

        def make() -> QImage:
            image = self._blank(side, side, ratio)
            painter = QPainter(image)
            painter.setRenderHint(QPainter.RenderHint.Antialiasing)
            painter.fillPath(_rounded(QRectF(0, 0, side, side), radius), QColor(0, 0, 0, 255))
            painter.end()
            return image

        return self._source(("mask", radius, ratio), make)

    @staticmethod
    def _pieces(source_size: int, target_size: int, head: int, tail: int) -> list[tuple[int, int, int, int]]:
        """(source start, source length, target start, target length), in device pixels, of the
        three pieces of one axis: the head and tail as they are, the straight middle stretched."""
        middle = source_size - head - tail
        return [(0, head, 0, head), (head, middle, head, target_size - head - tail),
                (source_size - tail, tail, target_size - tail, tail)]

    def _draw_nine(self, painter: QPainter, source: QImage, width: int, height: int,
                   head_x: int, tail_x: int, head_y: int, tail_y: int, corners_only: bool = False) -> None:
        """Draws `source` stretched to `width` x `height` device pixels at the origin, its
        straight middle rows and columns repeated: the corners (heads and tails) stay as drawn."""
        painter.save()
        ratio = source.devicePixelRatio()
        painter.scale(1 / ratio, 1 / ratio)  # device pixels from here
        for sx, sw, tx, tw in self._pieces(source.width(), width, head_x, tail_x):
            for sy, sh, ty, th in self._pieces(source.height(), height, head_y, tail_y):
                if tw <= 0 or th <= 0:
                    continue
                if corners_only and (sx == head_x or sy == head_y):
                    continue  # the mask is opaque there: nothing to cut
                painter.drawImage(QRect(tx, ty, tw, th), source, QRect(sx, sy, sw, sh))
        painter.restore()

    def draw(self, painter: QPainter) -> None:
        # Unpadded and in the widget's own coordinates, the content starts at (0, 0).
        pixmap = self.sourcePixmap(Qt.CoordinateSystem.LogicalCoordinates, None, QGraphicsEffect.PixmapPadMode.NoPad)
        if pixmap.isNull():
            return
        theme = useTheme()
        radius = float(theme.shape["borderRadius"])
        ratio = pixmap.devicePixelRatio()
        width = round(pixmap.width() / ratio)
        height = round(pixmap.height() / ratio)
        corner = self._corner(radius)
        painter.save()
        mirrored = self._mirrored()
        transform = painter.deviceTransform()
        # On whole device pixels (the usual case) the shadow is drawn once per size and theme and
        # shared; elsewhere it is drawn here.
        aligned = ratio == int(ratio) and transform.type() in _PLAIN_TRANSFORMS \
            and transform.m11() == ratio and transform.m22() == ratio \
            and transform.dx() == int(transform.dx()) and transform.dy() == int(transform.dy())
        if aligned:
            under, left = self._shadow_layer(width, height, radius, ratio, theme.mode, mirrored)
            self._blit(painter, under, -left, ratio)
        else:
            self._draw_shadow(painter, width, height, radius, ratio, theme.mode, mirrored)
        # The content, its corners cut away with anti-aliased edges: kept where the rounded
        # shape covers it, in proportion. Only the four corner squares differ from fully kept,
        # so only they are copied and cut; the rest is drawn straight from the pixmap.
        edge = round(corner * ratio)
        mask = self._mask_source(radius, ratio)
        full_w, full_h = pixmap.width(), pixmap.height()
        painter.save()
        painter.scale(1 / ratio, 1 / ratio)  # device pixels from here
        if full_w < 2 * edge or full_h < 2 * edge:
            # Corners that overlap: cut the whole content at once.
            content = pixmap.toImage().convertToFormat(QImage.Format.Format_ARGB32_Premultiplied)
            cut = QPainter(content)
            cut.setCompositionMode(QPainter.CompositionMode.CompositionMode_DestinationIn)
            self._draw_nine(cut, mask, full_w, full_h, edge, edge, edge, edge, corners_only=True)
            cut.end()
            painter.drawImage(QRect(0, 0, full_w, full_h), content, content.rect())
        else:
            for rect in (QRect(edge, 0, full_w - 2 * edge, edge), QRect(0, edge, full_w, full_h - 2 * edge),
                         QRect(edge, full_h - edge, full_w - 2 * edge, edge)):
                if rect.width() > 0 and rect.height() > 0:
                    painter.drawPixmap(rect, pixmap, rect)
            far_x, far_y = mask.width() - edge, mask.height() - edge
            for (cx, cy), (mx, my) in (((0, 0), (0, 0)), ((full_w - edge, 0), (far_x, 0)),
                                       ((0, full_h - edge), (0, far_y)),
                                       ((full_w - edge, full_h - edge), (far_x, far_y))):
                piece = pixmap.copy(cx, cy, edge, edge).toImage().convertToFormat(
                    QImage.Format.Format_ARGB32_Premultiplied)
                piece.setDevicePixelRatio(1)
                square = QRect(0, 0, edge, edge)
                cut = QPainter(piece)
                cut.setCompositionMode(QPainter.CompositionMode.CompositionMode_DestinationIn)
                cut.drawImage(square, mask, QRect(mx, my, edge, edge))
                cut.end()
                painter.drawImage(QRect(cx, cy, edge, edge), piece, square)
        painter.restore()
        self._draw_outline(painter, width, height, radius, theme)
        painter.restore()

    def _draw_shadow(self, painter: QPainter, width: int, height: int, radius: float, ratio: float,
                     mode: str, mirrored: bool) -> None:
        dx, dy = self._SHADOW_OFFSET
        blur = self._SHADOW_BLUR
        corner = self._corner(radius)
        shadow = self._shadow_source(radius, ratio, mode)
        # The shadow's straight middle starts past the offset corner and ends a corner and the
        # blur before its far edges.
        head_x, head_y = round((dx + corner) * ratio), round((dy + corner) * ratio)
        tail = round((corner + blur) * ratio)
        shadow_w, shadow_h = round((width + dx + blur) * ratio), round((height + dy + blur) * ratio)
        if mirrored:
            # Mirrored about the surface: the shadow falls to the left.
            painter.save()
            painter.translate(width, 0)
            painter.scale(-1, 1)
            self._draw_nine(painter, shadow, shadow_w, shadow_h, head_x, tail, head_y, tail)
            painter.restore()
        else:
            self._draw_nine(painter, shadow, shadow_w, shadow_h, head_x, tail, head_y, tail)

    @staticmethod
    def _draw_outline(painter: QPainter, width: int, height: int, radius: float, theme: Any) -> None:
        painter.save()
        painter.setRenderHint(QPainter.RenderHint.Antialiasing)
        painter.setPen(QPen(QColor(theme.palette["divider"]), 1))
        painter.setBrush(Qt.BrushStyle.NoBrush)
        painter.drawPath(_rounded(QRectF(0.5, 0.5, width - 1, height - 1), max(0.0, radius - 0.5)))
        painter.restore()

    def _shadow_layer(self, width: int, height: int, radius: float, ratio: float, mode: str,
                      mirrored: bool) -> tuple[QImage, int]:
        """The shadow of a surface of this size on a transparent image, and how far (logical px)
        the image starts left of the surface (the shadow's side when mirrored)."""
        dx, dy = self._SHADOW_OFFSET
        side = dx + self._SHADOW_BLUR
        left = side if mirrored else 0

        def make() -> tuple[QImage, int]:
            image = self._blank(width + side, height + dy + self._SHADOW_BLUR, ratio)
            paint = QPainter(image)
            paint.translate(left, 0)
            self._draw_shadow(paint, width, height, radius, ratio, mode, mirrored)
            paint.end()
            return image, left

        return self._source(("shadow layer", width, height, radius, ratio, mode, mirrored), make)

    @staticmethod
    def _blank(width: int, height: int, ratio: float) -> QImage:
        image = QImage(round(width * ratio), round(height * ratio), QImage.Format.Format_ARGB32_Premultiplied)
        image.setDevicePixelRatio(ratio)
        image.fill(Qt.GlobalColor.transparent)
        return image

    @staticmethod
    def _blit(painter: QPainter, layer: QImage, x: int, ratio: float) -> None:
        painter.save()
        painter.scale(1 / ratio, 1 / ratio)  # device pixels from here
        painter.drawImage(QRect(round(x * ratio), 0, layer.width(), layer.height()), layer, layer.rect())
        painter.restore()


class _OptionModel(QStringListModel):
    """The options as rows. Row counting and indexing stay in Qt's own model (a list of ten
    thousand options is counted thousands of times while laid out); marks and flags are computed
    when a row is drawn."""

    def __init__(self, view: ListView, options: Sequence[Any]) -> None:
        super().__init__(view)
        self._view = view
        self._options: list[Any] = []
        self.set_options(options)

    def option(self, row: int) -> Any:
        return self._options[row]

    def set_options(self, options: Sequence[Any]) -> None:
        self._options = list(options)
        self._labels = self._view.labels_of(self._options)
        self.setStringList(self._labels)

    # Asked for every role of every row drawn: roles are plain ints compared with ints made
    # once, and the roles a row does not have end at the first test.
    def data(self, index: QModelIndex | QPersistentModelIndex, role: int = _DISPLAY) -> Any:
        if role not in _DATA_ROLES or not index.isValid():
            return None
        row = index.row()
        if role == _DISPLAY:
            return self._labels[row]
        option = self._options[row]
        if role == _SIZE_HINT:
            return self._view.row_size_hint(row)
        if role == OptionRole:
            return option
        view = self._view
        if role == KeyRole:
            return view.key_of(option)
        if role == _FONT:
            if view.is_selected_key(view.key_of(option)):
                font = QFont(view.font())
                font.setBold(True)
                return font
            return None
        selected = view.is_selected_key(view.key_of(option))  # the background
        if row == view._current_row:
            return view.current_selected_brush if selected else view.current_brush
        if selected:
            return view.selected_brush
        return None

    def flags(self, index: QModelIndex | QPersistentModelIndex) -> Qt.ItemFlag:
        if not index.isValid():
            return _NO_FLAGS
        if self._view.is_disabled(self._options[index.row()]):
            return _NO_FLAGS
        return _ROW_FLAGS


class _ThemeHub(QObject):
    """Restyles every live list on a theme switch: one connection for all of them."""

    def __init__(self) -> None:
        super().__init__()
        self._views: WeakSet[ListView] = WeakSet()
        self._connected = False

    def follow(self, view: ListView) -> None:
        if not self._connected:
            useTheme().state.valueChanged.connect(self._restyle)
            self._connected = True
        self._views.add(view)

    @Slot()
    def _restyle(self, *_: Any) -> None:
        ListView._look = None
        for view in list(self._views):
            if shiboken6.isValid(view):
                view._apply_theme()


class ListView(QListView):
    """The option list of a select popup.

    Built in two steps like the library's other components: the constructor records its
    arguments, ``renderUi`` builds the Qt widget and returns it.

    Args:
        model: the options (texts or mappings), or a ``State`` holding them.
        renderOption: optional; called with an option, returns the row's text or a widget
            that replaces the row. May be a ``State`` holding such a callable.
        getOptionDisabled: optional predicate; a true result greys the row out and refuses it.
        onChange: called with ``{"key": key, "value": option}`` when a row is clicked.
        selected: a ``State`` (or plain value) holding the selected key or list of keys.
        getOptionLabel: optional label getter; by default the owner of a bound ``onChange``
            lends its ``_getOptionLabel``, so reported keys match the owner's labels.
    """

    def __init__(
        self,
        model: Sequence[Any] | State | None = None,
        renderOption: Callable[[Any], Any] | State | None = None,
        getOptionDisabled: Callable[[Any], bool] | None = None,
        onChange: Callable[[dict], Any] | None = None,
        selected: Any = None,
        getOptionLabel: Callable[[Any], Any] | None = None,
        **kwargs: Any,
    ) -> None:
        options = model.value if isinstance(model, State) else model
        if options is None:
            options = []
        if not isinstance(options, (list, tuple)):
            raise TypeError(f"ListView: 'model' must be a list or tuple of options, got {type(options).__name__}")
        for name, fn in (("getOptionDisabled", getOptionDisabled), ("onChange", onChange), ("getOptionLabel", getOptionLabel)):
            if fn is not None and not callable(fn):
                raise TypeError(f"ListView: '{name}' must be callable or None, got {type(fn).__name__}")
        if renderOption is not None and not isinstance(renderOption, State) and not callable(renderOption):
            raise TypeError(f"ListView: 'renderOption' must be callable, a State or None, got {type(renderOption).__name__}")
        if getOptionLabel is None:
            owner = getattr(onChange, "__self__", None)
            lent = getattr(owner, "_getOptionLabel", None) if owner is not None else None
            getOptionLabel = lent if callable(lent) else None
        self._model_arg = model
        self._initial_options = options
        self._renderOption = renderOption
        self._getOptionDisabled = getOptionDisabled
        self._onChange = _weak_callable(onChange)
        self._getOptionLabel = _weak_callable(getOptionLabel)
        self._selected = selected
        self._kwargs = kwargs
        self._ctx = None
        self._rendered = False

    # -- building ---------------------------------------------------------------

    def renderUi(self, ctx: Any = None, parent: QWidget | None = None) -> QWidget:
        """Build the list under ``parent`` and return it (itself)."""
        if self._rendered:
            return self
        QListView.__init__(self, parent)
        self._rendered = True
        self._ctx = ctx
        self._selected_keys: Any = None
        self._current_row = -1
        self._empty_row: QLabel | None = None
        self._layout_waits = True
        # The theme's sheet lands when the list is first shown: each restyle before that (moving
        # into its container and window, their sheets) would re-polish the list under its rules.
        self._sheet_waits = True
        self.setObjectName("ListView-%d" % id(self))
        self.setFrameShape(QFrame.Shape.NoFrame)
        self.setSelectionMode(QAbstractItemView.SelectionMode.NoSelection)
        self.setEditTriggers(QAbstractItemView.EditTrigger.NoEditTriggers)
        self.setFocusPolicy(Qt.FocusPolicy.NoFocus)
        self.setHorizontalScrollBarPolicy(Qt.ScrollBarPolicy.ScrollBarAlwaysOff)
        self.setVerticalScrollMode(QAbstractItemView.ScrollMode.ScrollPerPixel)
        # Rows show the pointer over them (hover and ``entered``) without a button held.
        self.setMouseTracking(True)
        self.viewport().setMouseTracking(True)
        self.viewport().setAttribute(Qt.WidgetAttribute.WA_Hover, True)
        self._apply_theme()
        _THEME_HUB.follow(self)
        self._widget_rows = self._renders_widgets(self._initial_options)
        self._option_model = _OptionModel(self, self._initial_options)
        self.setUniformItemSizes(not self._widget_rows)
        self.setModel(self._option_model)
        self.clicked.connect(self._handle_clicked)
        if isinstance(self._model_arg, State):
            self._model_arg.valueChanged.connect(self._handle_model_changed)
        if isinstance(self._renderOption, State):
            self._renderOption.valueChanged.connect(self._handle_model_changed)
        if isinstance(self._selected, State):
            self._selected.valueChanged.connect(self._handle_selected_changed)
        self._read_selected()
        self._place_row_widgets()
        self._update_height()
        self._make_parent_a_surface()
        return self

    # The look made from the theme, the same for every list: (key, sheet, brushes).
    _look: tuple[Any, str, tuple[QColor, QColor, QColor]] | None = None

    @classmethod
    def _theme_look(cls) -> tuple[Any, str, tuple[QColor, QColor, QColor]]:
        theme = useTheme()
        key = (theme.mode, id(theme.palette), id(theme.components))
        look = cls._look
        if look is not None and look[0] == key:
            return look
        styles = theme.components["KelSelect"]["styles"]
        option = styles["option"]({})
        popup = styles["popup"]({})
        slots = option.get("slots", {})
        p = theme.palette
        selected = QColor(slots.get("selected", {}).get("backgroundColor", "#1F6750A4"))
        # The keyboard's current row: the focus overlay; on a selected row, a deeper selected tint.
        current = QColor(p["action"]["focus"])
        deeper = QColor(selected)
        deeper.setAlpha(min(255, deeper.alpha() + current.alpha()))
        paper = popup.get("backgroundColor", "white")
        side = _side_padding(option)
        sheet = (
            f"QListView {{background: {paper}; border: none; outline: none; padding: {_PAD_Y}px 0px;"
            f" font-size: {option.get('fontSize', 14)}px; font-weight: {option.get('fontWeight', 500)};}}"
            f"QListView::item {{padding: 0px {side}px; color: {option.get('color', 'black')};}}"
            f"QListView::item:hover {{background: {slots.get('hover', {}).get('backgroundColor', 'transparent')};}}"
            f"QListView::item:disabled {{color: {slots.get('disabled', {}).get('color', 'gray')};}}"
            # A thin scroll bar in the theme's colours (the platform's would be light in dark mode).
            f"QScrollBar:vertical {{background: transparent; width: 8px; margin: 2px 2px 2px 0px; border: none;}}"
            f"QScrollBar::handle:vertical {{background: {p['divider']}; border-radius: 2px; min-height: 24px;}}"
            f"QScrollBar::handle:vertical:hover {{background: {p['outline']};}}"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {height: 0px; border: none;}"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {background: transparent;}"
            f"QLabel#ListViewEmptyRow {{background: transparent; padding: 0px {side}px;"
            f" color: {p['text']['secondary']};}}"
        )
        look = cls._look = (key, sheet, (selected, current, deeper))
        return look

    @Slot()
    def _apply_theme(self, *_: Any) -> None:
        """Colours from the theme's "option" and "popup" styles; follows light/dark switches."""
        _, sheet, (selected, current, deeper) = self._theme_look()
        self.selected_brush = QColor(selected)
        self.current_brush = QColor(current)
        self.current_selected_brush = QColor(deeper)
        if not self._sheet_waits and self.styleSheet() != sheet:
            self.setStyleSheet(sheet)

    # -- what rows show -----------------------------------------------------------

    def _render_fn(self) -> Any:
        fn = self._renderOption.value if isinstance(self._renderOption, State) else self._renderOption
        return fn if callable(fn) else None

    def _renders_widgets(self, options: Sequence[Any]) -> bool:
        fn = self._render_fn()
        if fn is None or not options:
            return False
        probe = fn(options[0])
        if isinstance(probe, QWidget):
            probe.deleteLater()
            return True
        return False

    def key_of(self, option: Any) -> Any:
        """The key reported for ``option`` (the owner's label for it)."""
        return option_key(option, _resolve(self._getOptionLabel))

    def labels_of(self, options: list[Any]) -> list[str]:
        """The texts of many rows at once (the fast path of ``label_of``)."""
        if self._widget_rows:
            return [""] * len(options)
        fn = self._render_fn()
        if fn is None:
            getter = _resolve(self._getOptionLabel)
            if callable(getter):
                return [str(getter(option)) for option in options]
            return [option if type(option) is str else option_label(option) for option in options]
        return [self.label_of(option) for option in options]

    def label_of(self, option: Any) -> str:
        """The text a row shows for ``option``."""
        if self._widget_rows:
            return ""  # the row's widget draws it; a text underneath would show through
        fn = self._render_fn()
        if fn is not None:
            shown = fn(option)
            if isinstance(shown, str):
                return shown
        return option_label(option, _resolve(self._getOptionLabel))

    def is_disabled(self, option: Any) -> bool:
        fn = self._getOptionDisabled
        return bool(fn(option)) if fn is not None else False

    def is_selected_key(self, key: Any) -> bool:
        keys = self._selected_keys
        if isinstance(keys, (list, tuple, set, frozenset)):
            try:
                return key in keys
            except TypeError:
                return False
        return keys is not None and key == keys

    def row_size_hint(self, row: int) -> QSize:
        widget = self.indexWidget(self._option_model.index(row, 0))
        if widget is not None:
            return QSize(widget.sizeHint().width(), max(ROW_HEIGHT, widget.sizeHint().height()))
        return QSize(0, ROW_HEIGHT)

    def _place_row_widgets(self) -> None:
        fn = self._render_fn()
        if fn is None or not self._widget_rows:
            return
        for row in range(self._option_model.rowCount()):
            widget = fn(self._option_model.option(row))
            if isinstance(widget, QWidget):
                # Clicks go through the row's widget to the list, which reports them.
                widget.setAttribute(Qt.WidgetAttribute.WA_TransparentForMouseEvents, True)
                self.setIndexWidget(self._option_model.index(row, 0), widget)

    def _update_height(self) -> None:
        """Exactly as tall as the rows and the list's padding, up to ``MAX_VISIBLE_HEIGHT``; an
        empty list keeps one row for its "No options" line."""
        rows = self._option_model.rowCount()
        margins = self.contentsMargins()
        # Before its sheet has landed the list has no padding yet: count the sheet's.
        padding = 2 * _PAD_Y if self._sheet_waits else margins.top() + margins.bottom()
        content = 0
        if rows == 0:
            content = ROW_HEIGHT
        elif self.uniformItemSizes():
            content = rows * ROW_HEIGHT
        else:
            for row in range(rows):
                content += self.row_size_hint(row).height()
                if content > MAX_VISIBLE_HEIGHT:
                    break
        self.setFixedHeight(min(MAX_VISIBLE_HEIGHT, content + padding))
        self._update_empty_row(rows == 0)

    def _update_empty_row(self, empty: bool) -> None:
        row = self._empty_row
        if not empty:
            if row is not None:
                row.hide()
            return
        if row is None:
            row = self._empty_row = QLabel(self.viewport())
            row.setObjectName("ListViewEmptyRow")
            row.setAlignment(Qt.AlignmentFlag.AlignLeft | Qt.AlignmentFlag.AlignVCenter)
            i18n.langChanged.connect(self._retranslate_empty_row)
        row.setText(getTranslatedText(EMPTY_TEXT))
        row.setGeometry(0, 0, self.viewport().width(), ROW_HEIGHT)
        row.show()

    @Slot()
    def _retranslate_empty_row(self, *_: Any) -> None:
        if self._empty_row is not None:
            self._empty_row.setText(getTranslatedText(EMPTY_TEXT))

    def doItemsLayout(self) -> None:
        # Until the list is first shown, each restyle (the container's sheet, moving into the
        # popup window) would lay out every row again: the rows wait for the showing instead.
        if self._layout_waits:
            if not self.isVisible():
                self.scheduleDelayedItemsLayout()
                return
            self._layout_waits = False
        super().doItemsLayout()

    def changeEvent(self, event: QEvent) -> None:
        if event.type() == QEvent.Type.ParentChange:
            self._make_parent_a_surface()
        elif event.type() == QEvent.Type.LayoutDirectionChange:
            parent = self.parentWidget()
            effect = parent.graphicsEffect() if parent is not None else None
            if isinstance(effect, MenuSurfaceEffect):
                effect.updateBoundingRect()  # the shadow changes sides
        super().changeEvent(event)

    def _make_parent_a_surface(self) -> None:
        """The container holding the list (the popup's) becomes the menu surface: rounded,
        outlined and shadowed, whatever its own style sheet paints."""
        parent = self.parentWidget()
        if parent is not None and not isinstance(parent.graphicsEffect(), MenuSurfaceEffect):
            parent.setGraphicsEffect(MenuSurfaceEffect(parent))

    def resizeEvent(self, event: QResizeEvent) -> None:
        super().resizeEvent(event)
        if self._empty_row is not None:
            self._empty_row.setGeometry(0, 0, self.viewport().width(), ROW_HEIGHT)

    # -- following outside state ------------------------------------------------------

    def _read_selected(self) -> None:
        sel = self._selected.value if isinstance(self._selected, State) else self._selected
        if isinstance(sel, (list, tuple, set, frozenset)):
            try:
                sel = frozenset(sel)
            except TypeError:
                sel = tuple(sel)
        self._selected_keys = sel

    @Slot()
    def _handle_selected_changed(self, *_: Any) -> None:
        self._read_selected()
        rows = self._option_model.rowCount()
        if rows:
            self._option_model.dataChanged.emit(
                self._option_model.index(0, 0),
                self._option_model.index(rows - 1, 0),
                [Qt.ItemDataRole.FontRole, Qt.ItemDataRole.BackgroundRole],
            )

    @Slot()
    def _handle_model_changed(self, *_: Any) -> None:
        options = self._model_arg.value if isinstance(self._model_arg, State) else self._model_arg
        self._widget_rows = self._renders_widgets(options or [])
        self._current_row = -1
        accessibility.rows_reset(self)
        self._option_model.set_options(options or [])
        self.setUniformItemSizes(not self._widget_rows)
        self._place_row_widgets()
        self._update_height()

    # -- choosing -------------------------------------------------------------------

    @Slot(QModelIndex)
    def _handle_clicked(self, index: QModelIndex) -> None:
        if not index.isValid():
            return
        option = self._option_model.option(index.row())
        if self.is_disabled(option):
            return
        on_change = _resolve(self._onChange)
        if on_change is not None:
            on_change({"key": self.key_of(option), "value": option})

    def setOptions(self, options: Sequence[Any]) -> None:
        """Shows ``options`` as the rows (a narrowed list, say); the ``model`` argument stays as given."""
        options = list(options)
        self._widget_rows = self._renders_widgets(options)
        self._current_row = -1
        accessibility.rows_reset(self)
        self._option_model.set_options(options)
        self.setUniformItemSizes(not self._widget_rows)
        self._place_row_widgets()
        self._update_height()

    # -- the keyboard's current row ---------------------------------------------------------

    def currentRow(self) -> int:
        """The row the keyboard is on (-1: none). It is tinted, and ``chooseCurrentRow`` picks it."""
        return self._current_row

    def setCurrentRow(self, row: int) -> None:
        """Puts the keyboard on ``row`` (-1 or out of range: on no row) and scrolls it into view."""
        if not isinstance(row, int) or isinstance(row, bool):
            raise TypeError(f"setCurrentRow: 'row' must be an int, got {type(row).__name__}")
        rows = self._option_model.rowCount()
        if not 0 <= row < rows:
            row = -1
        previous, self._current_row = self._current_row, row
        for changed in {previous, row} - {-1}:
            if changed < rows:
                index = self._option_model.index(changed, 0)
                self._option_model.dataChanged.emit(index, index, [Qt.ItemDataRole.BackgroundRole])
        if row >= 0:
            self.scrollTo(self._option_model.index(row, 0))
            if row != previous:
                accessibility.row_focused(self, row)

    def resetCurrentRow(self) -> None:
        """Puts the keyboard on the first chosen row, scrolled into view (with no choice: on no
        row, the list scrolled to its top). Each opening of a popup starts here."""
        row = self._first_selected_row()
        previous = self._current_row
        self.setCurrentRow(row)
        if row < 0:
            self.scrollToTop()
        elif row == previous:
            accessibility.row_focused(self, row)  # the list has just opened on it

    def findRow(self, prefix: str, start: int = 0) -> int:
        """The first enabled row from ``start`` on, wrapping round, whose label starts with
        ``prefix`` whatever its case (-1 when none does); the keyboard's type-ahead."""
        return find_option(self._option_model._options, prefix, start, _resolve(self._getOptionLabel), self.is_disabled)

    def rowText(self, row: int) -> str:
        """What ``row`` says: the text it shows, or its option's label when a widget draws it."""
        option = self._option_model.option(row)
        return self.label_of(option) or option_label(option, _resolve(self._getOptionLabel))

    def isRowChosen(self, row: int) -> bool:
        """Whether the option of ``row`` is among the selected keys."""
        return self.is_selected_key(self.key_of(self._option_model.option(row)))

    def isRowEnabled(self, row: int) -> bool:
        """Whether the option of ``row`` can be chosen."""
        return not self.is_disabled(self._option_model.option(row))

    def owner(self) -> Any:
        """The widget whose choice handler the list reports to (None when unknown or gone)."""
        on_change = _resolve(self._onChange)
        return getattr(on_change, "__self__", None)

    def showEvent(self, event: Any) -> None:
        if self._sheet_waits:
            self._sheet_waits = False
            self._apply_theme()
        super().showEvent(event)
        accessibility.list_shown(self, True)

    def hideEvent(self, event: Any) -> None:
        super().hideEvent(event)
        accessibility.list_shown(self, False)

    def moveCurrentRow(self, step: int) -> int:
        """Moves the keyboard ``step`` enabled rows down (up when negative), stopping at the ends;
        from no row it starts at the first selected row, or just outside the list. Disabled rows
        are passed over. Returns the new current row (-1 when no row can take it)."""
        if not isinstance(step, int) or isinstance(step, bool):
            raise TypeError(f"moveCurrentRow: 'step' must be an int, got {type(step).__name__}")
        model = self._option_model
        rows = model.rowCount()
        if rows == 0 or step == 0:
            return self._current_row
        row = target = self._current_row
        if row < 0:
            row = target = self._first_selected_row()
            if row < 0:
                row = -1 if step > 0 else rows
        direction = 1 if step > 0 else -1
        for _ in range(abs(step)):
            probe = row + direction
            while 0 <= probe < rows and self.is_disabled(model.option(probe)):
                probe += direction
            if not 0 <= probe < rows:
                break
            row = target = probe
        if target != self._current_row:
            self.setCurrentRow(target)
        return self._current_row

    def firstEnabledRow(self, fromEnd: bool = False) -> int:
        """The first row that can be chosen (the last with ``fromEnd``); -1 when none can."""
        model = self._option_model
        rows = model.rowCount()
        for row in (range(rows - 1, -1, -1) if fromEnd else range(rows)):
            if not self.is_disabled(model.option(row)):
                return row
        return -1

    def chooseCurrentRow(self) -> bool:
        """Picks the current row as a click would; False when there is none (or it is disabled)."""
        if self._current_row < 0:
            return False
        index = self._option_model.index(self._current_row, 0)
        if self.is_disabled(self._option_model.option(self._current_row)):
            return False
        self._handle_clicked(index)
        return True

    def _first_selected_row(self) -> int:
        if self._selected_keys is None:
            return -1
        model = self._option_model
        for row in range(model.rowCount()):
            if self.is_selected_key(self.key_of(model.option(row))):
                return row
        return -1

    def selectedKeys(self) -> Any:
        """The keys this list currently marks as selected."""
        return self._selected_keys


_THEME_HUB = _ThemeHub()
