"""Select field costs against plain Qt doing the same visible work.

(a) Unrelated events (press, wheel, move) with 100 opened fields filtering the application,
    against 100 Python group boxes whose eventFilter only returns False.
(b) The pointer moving into a field and out again, against a QComboBox.
(c) 200 single-selection fields with 50 options: construct, show, destroy with the pointer over
    them; against the same widgets built by hand with the same named style sheet texts, icon,
    cursor and placeholder. Also those widgets with what a field must do besides (its input
    filtered by the field, its action frame shown before the field's sheet lands), against the
    plain ones and against the field.
(d) Memory per field (1,000 fields) against a QComboBox with the same options, and against the
    same widgets carrying the same style sheets.
(e) One choice in multiple mode with 10, 100 and 1,000 tags, against rebuilding the same tags
    and replacing the container by hand.
(f) First opening of a popup with 1,000, 10,000 and 100,000 options, against
    QComboBox.showPopup() with those items. At 1,000 options also the same popup built by
    hand: the field's window, attributes, filter, layout and sheets in the field's order, with a
    plain QListView of the same height and uniform rows, measured against QComboBox and against
    the field's: the least any field opening its popup that way can cost.
"""
from __future__ import annotations

import time
import uuid

from PySide6.QtCore import QPoint, QStringListModel, Qt
from PySide6.QtGui import QIcon
from PySide6.QtWidgets import (
    QApplication,
    QComboBox,
    QFrame,
    QGroupBox,
    QHBoxLayout,
    QLineEdit,
    QListView,
    QPushButton,
    QSizePolicy,
    QVBoxLayout,
    QWidget,
)

from bench._scenes import CLEAR_X, QuietBox, event_benchmarks, flush, hover_benchmark, pointer_over, rss_per_widget
from bench.timing import Benchmark, Measured
from vantu.material.list_view.list_view import MAX_VISIBLE_HEIGHT
from vantu.material.select.flow_widget import FlowWidget
from vantu.material.select.pickcore import SelectBase
from vantu.material.select.tags_view import TagsView
from vantu.vantu_assets import VANTU_ASSETS

FIELDS = 200
OPTIONS = [f"Option {i}" for i in range(50)]


def _reference_sheets() -> tuple[str, str]:
    probe = SelectBase(options=list(OPTIONS), label="Label")
    sheets = (probe.styleSheet(), probe._inputField.styleSheet())
    probe.deleteLater()
    flush()
    return sheets


def render_tags(selected, getTagProps):
    """The README's tags."""
    return [TagsView(label=key, onDelete=getTagProps({"key": key, "value": option})["onDelete"])
            for key, option in selected.items()]


def _plain_field(field_sheet: str, input_sheet: str, arrow: str, kind: type[QGroupBox] = QGroupBox) -> QGroupBox:
    """The widgets of a single select field, by hand."""
    box = kind()
    box.setObjectName(f"SelectBase-{id(box)}")
    box.setLayout(QHBoxLayout())
    box.layout().setContentsMargins(0, 0, 0, 0)
    edit = QLineEdit()
    edit.setStyleSheet(input_sheet)
    edit.setPlaceholderText("Label")
    edit.setReadOnly(True)
    edit.setObjectName("inputField")
    edit.setCursor(Qt.CursorShape.PointingHandCursor)
    box.layout().addWidget(edit)
    frame = QFrame(box)
    frame.setObjectName("actionframe")
    frame_layout = QHBoxLayout(frame)
    frame_layout.setContentsMargins(0, 0, 0, 0)
    frame.setFixedWidth(20)
    button = QPushButton()
    button.setCursor(Qt.CursorShape.PointingHandCursor)
    button.setFixedSize(24, 24)
    button.setFocusPolicy(Qt.FocusPolicy.NoFocus)
    button.setAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating, True)
    button.setIcon(QIcon(arrow))
    frame_layout.addWidget(button)
    box.arrow = button
    # Each field's sheet names the field, as the field's own does.
    box.setStyleSheet(field_sheet.replace(_probe_name(field_sheet), box.objectName()))
    return box


def _construction(field_sheet: str, input_sheet: str) -> list[Benchmark]:
    arrow = VANTU_ASSETS.ICONS.ARROW_DOWN

    def page(build) -> None:
        host = QWidget()
        host.move(CLEAR_X, 0)
        host.resize(420, 700)
        pointer_over(host)
        layout = QVBoxLayout(host)
        for _ in range(FIELDS):
            layout.addWidget(build())
        host.show()
        QApplication.instance().processEvents()
        host.deleteLater()
        flush()

    def build_fields() -> None:
        page(lambda: SelectBase(options=OPTIONS, label="Label"))

    def build_plain() -> None:
        page(lambda: _plain_field(field_sheet, input_sheet, arrow))

    def build_prescribed() -> None:
        page(lambda: _plain_field(field_sheet, input_sheet, arrow, _FilteringBox))

    name = f"select: build, show, destroy {FIELDS} fields x 50 options, pointer over them"
    return [
        Benchmark(f"{name}, vs by hand", build_fields, build_plain, target=1.2, rounds=7, warmup=1),
        Benchmark(f"{name}: by hand with the field's filter and early frame, vs by hand",
                  build_prescribed, build_plain, rounds=7, warmup=1),
        Benchmark(f"{name}, vs by hand with the field's filter and early frame",
                  build_fields, build_prescribed, rounds=7, warmup=1),
    ]


class _FilteringBox(QuietBox):
    """A group box that, as a field does, filters its input's events and has shown its action
    frame before its own sheet lands."""

    def setStyleSheet(self, text: str) -> None:  # noqa: N802 - Qt's name
        self.findChild(QLineEdit).installEventFilter(self)
        self.findChild(QFrame, "actionframe").show()
        super().setStyleSheet(text)


def _probe_name(sheet: str) -> str:
    start = sheet.index("#SelectBase-") + 1
    end = start
    while end < len(sheet) and (sheet[end].isalnum() or sheet[end] in "-_"):
        end += 1
    return sheet[start:end]


def _memory() -> list[Benchmark]:
    setup = """
        from PySide6.QtWidgets import QComboBox
        from vantu.material.select.pickcore import SelectBase
        OPTIONS = [f"Option {i}" for i in range(50)]
    """
    field = rss_per_widget(setup, "return SelectBase(options=OPTIONS, label='Label')")
    combo = rss_per_widget(setup, """
        box = QComboBox(); box.addItems(OPTIONS); return box
    """)
    plain = rss_per_widget(setup + """
        import bench.bench_select as b
        from vantu.vantu_assets import VANTU_ASSETS
        _probe = SelectBase(options=OPTIONS, label='Label')
        FIELD_SHEET, INPUT_SHEET = _probe.styleSheet(), _probe._inputField.styleSheet()
    """, "return b._plain_field(FIELD_SHEET, INPUT_SHEET, VANTU_ASSETS.ICONS.ARROW_DOWN)")
    return [
        Benchmark("select: memory per field (1,000 shown), vs QComboBox with the same 50 options",
                  field, combo, target=2.0, unit="KB", rounds=3, warmup=0),
        Benchmark("select: memory per field (1,000 shown), vs the same widgets and sheets by hand",
                  field, plain, target=1.1, unit="KB", rounds=3, warmup=0),
    ]


def _choice(tags: int) -> Benchmark:
    options = [f"Option {i}" for i in range(tags)]
    window = QWidget()
    window.resize(600, 400)
    layout = QVBoxLayout(window)

    def make() -> SelectBase:
        field = SelectBase(options=options, label="Label", multiple=True, renderTags=render_tags,
                           defaultValue=options[:-1])
        layout.addWidget(field)
        return field

    field, twin = make(), make()
    window.show()
    flush()
    last = options[-1]

    def choose() -> Measured:
        start = time.perf_counter_ns()
        field._selected_change({"key": last, "value": last})
        flush()
        elapsed = time.perf_counter_ns() - start
        field._selected_change({"key": last, "value": last})  # back as it was, not timed
        flush()
        return Measured(elapsed)

    def by_hand() -> Measured:
        start = time.perf_counter_ns()
        twin._selected_options[last] = last
        tags_now = [TagsView(label=key, onDelete=twin.getTagProps({"key": key, "value": option})["onDelete"])
                    for key, option in twin._selected_options.items()]
        old = twin._flowWidget
        old.setParent(None)
        old.deleteLater()
        twin._flowWidget = FlowWidget(twin, children=tags_now).renderUi(ctx=None)
        twin._inputField.layout().addWidget(twin._flowWidget)
        flush()
        elapsed = time.perf_counter_ns() - start
        del twin._selected_options[last]
        return Measured(elapsed)

    choose.scene = by_hand.scene = (window, field, twin)  # type: ignore[attr-defined]
    rounds = 5 if tags >= 1000 else 11
    return Benchmark(f"select: one choice with {tags:,} tags, vs rebuilding them by hand", choose, by_hand,
                     target=1.2, rounds=rounds, warmup=1)


def _opening(count: int, target: float) -> Benchmark:
    items = [f"Option {i}" for i in range(count)]

    def open_select() -> Measured:
        field = SelectBase(options=items, label="Label")
        field.resize(300, 56)
        field.show()
        flush()
        start = time.perf_counter_ns()
        field._show_popup()
        QApplication.instance().processEvents()
        elapsed = time.perf_counter_ns() - start
        field._hide_popup()
        field.deleteLater()
        flush()
        return Measured(elapsed)

    def open_combo() -> Measured:
        combo = QComboBox()
        combo.addItems(items)
        combo.resize(300, 56)
        combo.show()
        flush()
        start = time.perf_counter_ns()
        combo.showPopup()
        QApplication.instance().processEvents()
        elapsed = time.perf_counter_ns() - start
        combo.hidePopup()
        combo.deleteLater()
        flush()
        return Measured(elapsed)

    return Benchmark(f"select: first popup with {count:,} options vs QComboBox.showPopup", open_select, open_combo,
                     target=target, rounds=9 if count < 100_000 else 5, warmup=1)


def _popup_by_hand(field: QGroupBox, items: list[str]) -> QFrame:
    """The field's popup, its steps in the field's order: the container and its list, then the
    window, whose field filters the application from before its content moves in."""
    menu = QFrame()
    menu.setObjectName(f"MenuView-{id(menu)}")
    menu_layout = QVBoxLayout()
    menu.setLayout(menu_layout)
    menu_layout.setContentsMargins(0, 0, 0, 0)
    menu.setSizePolicy(QSizePolicy.Policy.Expanding, QSizePolicy.Policy.Maximum)
    rows = QListView()
    rows.setUniformItemSizes(True)
    rows.setModel(QStringListModel(items, rows))
    rows.setFixedHeight(MAX_VISIBLE_HEIGHT)
    menu_layout.addWidget(rows)
    menu.setStyleSheet(f"#{menu.objectName()} {{background: white;}}")
    popup = QFrame(field)
    popup.setFocusPolicy(Qt.FocusPolicy.NoFocus)
    popup.setAttribute(Qt.WidgetAttribute.WA_ShowWithoutActivating, True)
    popup.setWindowFlags(Qt.WindowType.Window | Qt.WindowType.FramelessWindowHint
                         | Qt.WindowType.NoDropShadowWindowHint)
    popup.setAttribute(Qt.WidgetAttribute.WA_TranslucentBackground, True)
    QApplication.instance().installEventFilter(field)
    name = str(uuid.uuid4())
    popup.setObjectName(name)
    layout = QVBoxLayout()
    popup.setLayout(layout)
    layout.setContentsMargins(0, 0, 9, 9)
    layout.addWidget(menu)
    popup.setAutoFillBackground(False)
    popup.setStyleSheet(f"#{name} {{background: transparent;border: none;}}")
    point = field.mapToGlobal(QPoint(0, field.height()))
    popup.move(-3000, -3000)
    popup.setVisible(True)
    popup.move(point)
    menu.setFixedWidth(field.width())
    menu.setVisible(True)
    field.arrow.setIcon(QIcon(VANTU_ASSETS.ICONS.ARROW_UP))
    return popup


def _opening_by_hand(opening: Benchmark, field_sheet: str, input_sheet: str) -> list[Benchmark]:
    """`opening`: the 1,000-option opening against QComboBox, whose two sides are reused."""
    items = [f"Option {i}" for i in range(1000)]
    arrow = VANTU_ASSETS.ICONS.ARROW_DOWN

    def by_hand() -> Measured:
        field = _plain_field(field_sheet, input_sheet, arrow, QuietBox)
        field.resize(300, 56)
        field.show()
        flush()
        start = time.perf_counter_ns()
        popup = _popup_by_hand(field, items)
        QApplication.instance().processEvents()
        elapsed = time.perf_counter_ns() - start
        popup.setVisible(False)
        field.deleteLater()
        flush()
        return Measured(elapsed)

    ours, combo = opening.candidate, opening.baseline
    return [
        Benchmark("select: first popup with 1,000 options built by hand the field's way, vs QComboBox.showPopup",
                  by_hand, combo, rounds=9, warmup=1),
        Benchmark("select: first popup with 1,000 options vs the same popup built by hand the field's way",
                  ours, by_hand, rounds=9, warmup=1),
    ]


def benchmarks():
    field_sheet, input_sheet = _reference_sheets()

    def opened(field: SelectBase) -> SelectBase:
        field._show_popup()
        field._hide_popup()
        return field

    opening = _opening(1000, 1.0)
    return [
        *event_benchmarks("select", lambda parent: SelectBase(options=OPTIONS, label="Label"), opened),
        hover_benchmark("select", lambda parent: SelectBase(options=OPTIONS, label="Label")),
        *_construction(field_sheet, input_sheet),
        *_memory(),
        *(_choice(n) for n in (10, 100, 1000)),
        opening,
        *_opening_by_hand(opening, field_sheet, input_sheet),
        _opening(10_000, 0.5),
        _opening(100_000, 0.5),
    ]
