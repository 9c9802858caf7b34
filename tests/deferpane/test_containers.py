"""The thirteen containers and the text leaf: building with and without a scheduler, and their behaviour."""
import pytest
from PySide6.QtCore import QPoint, Qt
from PySide6.QtGui import QPalette
from PySide6.QtWidgets import QGridLayout, QLabel, QScrollArea

from vantu.deferpane import estimate_steps
from vantu.hooks import State
from vantu.material.box import Box
from vantu.material.collapse import Collapse
from vantu.material.component import RenderContext, RenderScheduler
from vantu.material.container import Container
from vantu.material.grid import Grid
from vantu.material.masonry import Masonry
from vantu.material.paper import Paper
from vantu.material.scroll_bar import Scrollbar
from vantu.material.section import Section
from vantu.material.stack import Stack
from vantu.material.styles import set_theme_mode, useTheme
from vantu.material.tab import Tab
from vantu.material.table_view_cell import TableViewCell
from vantu.material.tabs import Tabs
from vantu.material.typography import Typography
from vantu.material.view import View

ALL = [Container, Scrollbar, Box, Stack, Masonry, Grid, Section, Paper, Tabs, Tab, Collapse, View, TableViewCell]


def texts(n, prefix="t"):
    return [Typography(text=f"{prefix}{i}") for i in range(n)]


def scheduled(host):
    ctx = RenderContext()
    ctx.scheduler = RenderScheduler(ctx, chunk_per_tick=30, parent=host)
    return ctx


class TestBuilding:
    @pytest.mark.parametrize("cls", ALL, ids=lambda c: c.__name__)
    def test_without_a_scheduler_children_are_built_at_once(self, qtbot, host, cls):
        kids = texts(3)
        node = cls(children=kids)
        widget = node.renderUi(None, parent=host)
        assert widget is node and node.parentWidget() is host
        assert all(isinstance(k.text(), str) for k in kids)  # built: QLabel is initialised
        assert [k.text() for k in kids] == ["t0", "t1", "t2"]
        host.layout().addWidget(node)
        qtbot.waitUntil(lambda: all(k.isVisible() for k in kids) or not node.isVisible(), timeout=1000)

    @pytest.mark.parametrize("cls", ALL, ids=lambda c: c.__name__)
    def test_with_a_scheduler_each_child_is_one_unit(self, qtbot, host, cls):
        inner = Stack(children=texts(4))
        node = cls(children=[Typography(text="a"), inner, QLabel("plain widget")])
        ctx = scheduled(host)
        progress = []
        ctx.progressChanged.connect(lambda done, total: progress.append((done, total)))
        assert node.renderUi(ctx, parent=host) is node
        assert ctx.scheduler.pending == 3  # nothing built yet, one unit per child
        total = estimate_steps(node)
        ctx.set_total(total)
        with qtbot.waitSignal(ctx.finished, timeout=2000):
            pass
        assert total == 3 + 4 == ctx.scheduler.units_run
        assert progress[-1] == (total, total)
        assert [k.text() for k in inner._children] == ["t0", "t1", "t2", "t3"]

    def test_children_are_built_in_order(self, qtbot, host):
        order = []

        class Spy(Typography):
            def renderUi(self, ctx=None, parent=None):
                order.append(self._text)
                return super().renderUi(ctx, parent)

        root = Stack(children=[Spy(text="1"), Box(children=[Spy(text="2a"), Spy(text="2b")]), Spy(text="3")])
        ctx = scheduled(host)
        root.renderUi(ctx, parent=host)
        ctx.set_total(estimate_steps(root))
        with qtbot.waitSignal(ctx.finished, timeout=2000):
            pass
        assert order == ["1", "3", "2a", "2b"]  # a nested container's units join the queue's end
        layout = root.layoutOfChildren()
        assert [layout.itemAt(i).widget()._text for i in (0, 2)] == ["1", "3"]

    def test_units_are_polished_inside_their_own_chunk(self, qtbot, host):
        root = Stack(children=texts(45))
        ctx = scheduled(host)
        root.renderUi(ctx, parent=host)
        ctx.set_total(45)
        qtbot.waitUntil(lambda: ctx.scheduler.units_run >= 30, timeout=1000)
        built = root._children[:30]
        assert all(k.testAttribute(Qt.WidgetAttribute.WA_WState_Polished) for k in built)
        assert not root.isVisible()

    def test_render_ui_twice_returns_the_same_frame(self, host):
        node = Paper(children=texts(2))
        assert node.renderUi(None, parent=host) is node.renderUi(None, parent=host)
        assert node.layoutOfChildren().count() == 2

    @pytest.mark.parametrize(
        "children, message",
        [
            ("abc", "'children' must be a list of components or widgets, got str"),
            ([Typography(), 5], "'children' must hold components or widgets, got int at index 1"),
        ],
    )
    def test_bad_children_are_refused_naming_the_argument(self, children, message):
        with pytest.raises(TypeError) as info:
            Stack(children=children)
        assert str(info.value) == message

    def test_a_child_whose_render_ui_returns_no_widget_is_reported(self, host):
        class Bad(Typography):
            def renderUi(self, ctx=None, parent=None):
                return None

        with pytest.raises(TypeError, match=r"Bad.renderUi\(\) must return a QWidget, got NoneType"):
            Stack(children=[Bad()]).renderUi(None, parent=host)

    def test_a_container_deleted_before_its_units_run_is_skipped(self, qtbot, host, dp):
        root = Stack(children=[Box(children=texts(5)), Typography(text="x")])
        ctx = scheduled(host)
        root.renderUi(ctx, parent=host)
        ctx.set_total(estimate_steps(root))
        with qtbot.waitSignal(ctx.finished, timeout=2000):
            root.deleteLater()
            dp.flush_deletes()
        assert ctx.scheduler.units_run == 2  # the skipped Box never scheduled its own


class TestOptions:
    @pytest.mark.parametrize(
        "make, error, message",
        [
            (lambda: Stack(direction="diagonal"), ValueError, "'direction' must be one of"),
            (lambda: Stack(spacing=-1), ValueError, "'spacing' must be at least 0"),
            (lambda: Grid(columns=0), ValueError, "'columns' must be at least 1"),
            (lambda: Grid(columns=1.5), TypeError, "'columns' must be an int"),
            (lambda: Masonry(columns="3"), TypeError, "'columns' must be an int"),
            (lambda: Paper(elevation=25), ValueError, "'elevation' must be at most 24"),
            (lambda: Paper(variant="glass"), ValueError, "'variant' must be one of"),
            (lambda: Container(maxWidth="huge"), ValueError, "'maxWidth' must be one of"),
            (lambda: Section(title=3), TypeError, "'title' must be a str or a State"),
            (lambda: Tab(title=None), TypeError, "'title' must be a str"),
            (lambda: Scrollbar(vertical="sometimes"), ValueError, "'vertical' must be one of"),
            (lambda: TableViewCell(align="justify"), ValueError, "'align' must be one of"),
            (lambda: Typography(variant="h1"), ValueError, "'variant' must be one of"),
            (lambda: Typography(text=5), TypeError, "'text' must be a str or a State"),
        ],
    )
    def test_bad_options_are_refused_naming_the_argument(self, make, error, message):
        with pytest.raises(error, match=message):
            make()

    def test_stack_direction_and_spacing(self, host):
        row = Stack(children=texts(2), direction="row", spacing=2)
        row.renderUi(None, parent=host)
        assert row.layoutOfChildren().spacing() == 16
        assert row.layoutOfChildren().direction() == row.layoutOfChildren().Direction.LeftToRight

    def test_grid_places_children_row_by_row(self, host):
        kids = texts(5)
        grid = Grid(children=kids, columns=2)
        grid.renderUi(None, parent=host)
        layout = grid.layoutOfChildren()
        assert isinstance(layout, QGridLayout)
        positions = [layout.getItemPosition(layout.indexOf(k))[:2] for k in kids]
        assert positions == [(0, 0), (0, 1), (1, 0), (1, 1), (2, 0)]

    def test_masonry_puts_each_child_under_the_shortest_column(self, host):
        tall = QLabel("tall")
        tall.setMinimumHeight(200)
        short = [QLabel(f"s{i}") for i in range(3)]
        masonry = Masonry(children=[tall, *short], columns=2)
        masonry.renderUi(None, parent=host)
        assert masonry.columnOf(tall) == 0
        assert [masonry.columnOf(s) for s in short] == [1, 1, 1]

    def test_scrollbar_scrolls_content_taller_than_its_cap(self, qtbot, host):
        kids = texts(60)
        scroll = Scrollbar(children=kids, maxHeight=120)
        scroll.renderUi(None, parent=host)
        host.layout().addWidget(scroll)
        qtbot.waitUntil(kids[0].isVisible, timeout=1000)
        area = scroll.findChild(QScrollArea)
        qtbot.waitUntil(lambda: area.verticalScrollBar().maximum() > 0, timeout=1000)
        assert kids[0].parentWidget() is area.widget()

    def test_tabs_switch_pages_on_a_click_and_report_user_picks_only(self, qtbot, host):
        picks = []
        pages = [Tab(children=texts(1, "one"), title="One"), Tab(children=texts(1, "two"), title="Two")]
        tabs = Tabs(children=pages, onChange=picks.append)
        ctx = scheduled(host)
        tabs.renderUi(ctx, parent=host)
        ctx.set_total(estimate_steps(tabs))
        host.layout().addWidget(tabs)
        with qtbot.waitSignal(ctx.finished, timeout=2000):
            pass
        assert picks == [] and tabs.currentIndex() == 0
        assert [tabs.tabBar.tabText(i) for i in range(2)] == ["One", "Two"]
        qtbot.waitUntil(tabs.tabBar.isVisible, timeout=1000)
        qtbot.mouseClick(tabs.tabBar, Qt.MouseButton.LeftButton, pos=tabs.tabBar.tabRect(1).center())
        assert picks == [1] and tabs.pages.currentWidget() is pages[1]
        assert pages[1]._children[0].isVisible() and not pages[0]._children[0].isVisible()
        tabs.setCurrentIndex(0)
        assert picks == [1] and tabs.pages.currentWidget() is pages[0]

    def test_tabs_start_on_the_chosen_page(self, host):
        tabs = Tabs(children=[Tab(title="A"), Tab(title="B"), Box()], value=1)
        tabs.renderUi(None, parent=host)
        assert tabs.currentIndex() == 1 and tabs.tabBar.tabText(2) == "3"

    def test_collapse_closed_stays_hidden_and_toggles(self, qtbot, host):
        kid = Typography(text="inside")
        collapse = Collapse(children=[kid], open=False)
        collapse.renderUi(None, parent=host)
        host.layout().addWidget(collapse)
        qtbot.wait(10)
        assert not collapse.isOpen() and not kid.isVisible()
        with qtbot.waitSignal(collapse.openChanged) as blocker:
            collapse.toggle()
        assert blocker.args == [True] and kid.isVisible()

    def test_collapse_follows_a_state(self, host):
        state = State(True)
        collapse = Collapse(children=texts(1), open=state)
        collapse.renderUi(None, parent=host)
        assert collapse.isOpen()
        state.setValue(False)
        assert not collapse.isOpen() and collapse.isHidden()

    def test_section_title_is_an_h6_label_following_a_state(self, host):
        title = State("Overview")
        section = Section(children=texts(1), title=title)
        section.renderUi(None, parent=host)
        assert section.titleLabel.text() == "Overview"
        assert section.titleLabel.font().pixelSize() == useTheme().typography["h6"]["fontSize"]
        title.setValue("Details")
        assert section.titleLabel.text() == "Details"
        assert Section(children=[]).renderUi(None, parent=host).titleLabel is None


class TestLook:
    def test_typography_uses_the_type_scale(self, host):
        caption = Typography(text="small", variant="caption")
        caption.renderUi(None, parent=host)
        assert caption.font().pixelSize() == useTheme().typography["caption"]["fontSize"]
        assert caption.text() == "small" and caption.variant() == "caption"

    def test_typography_colours_itself_unless_told_to_inherit(self, host):
        own, inherited = Typography(text="own"), Typography(text="inherited", color="inherit")
        caption = Typography(text="caption", variant="caption", color="textSecondary")
        host.setStyleSheet("QPushButton { padding: 1px; }")  # an ancestor sheet keeps polished palettes
        paper = Paper(children=[own, inherited, caption])
        paper.renderUi(None, parent=host)
        host.layout().addWidget(paper)
        ink = lambda label: label.palette().color(QPalette.ColorRole.WindowText).name().upper()  # noqa: E731
        try:
            for mode in ("dark", "light"):
                set_theme_mode(mode)
                host.setStyleSheet(f"QPushButton {{ padding: {mode == 'dark'}px; }}")  # every label polished again
                assert ink(own) == useTheme().palette["text"]["primary"]
                assert ink(caption) == useTheme().palette["text"]["secondary"]
                assert own.styleSheet() == inherited.styleSheet() == ""
        finally:
            set_theme_mode("light")
            host.setStyleSheet("")

    def test_typography_text_follows_a_state(self, host):
        text = State("before")
        label = Typography(text=text)
        label.renderUi(None, parent=host)
        text.setValue("after")
        assert label.text() == "after"

    def test_typography_keeps_to_the_start_edge_in_either_direction(self, qtbot, host, qapp):
        # Latin text in a right-to-left page sits on the right, before and after a switch.
        label = Typography(text="Line").renderUi(None, parent=host)
        host.resize(300, 40)
        label.setGeometry(0, 0, 300, 30)
        host.show()

        def ink_on_the_right() -> bool:
            image = label.grab().toImage()
            columns = [x for x in range(image.width()) for y in range(0, image.height(), 2)
                       if image.pixelColor(x, y).lightness() < 128]
            return min(columns) > image.width() // 2

        assert not ink_on_the_right()
        try:
            qapp.setLayoutDirection(Qt.LayoutDirection.RightToLeft)
            qtbot.waitUntil(ink_on_the_right)
            later = Typography(text="Line").renderUi(None, parent=host)
            assert later.alignment() & Qt.AlignmentFlag.AlignRight
        finally:
            qapp.setLayoutDirection(Qt.LayoutDirection.LeftToRight)
        qtbot.waitUntil(lambda: not ink_on_the_right())

    def test_surfaces_follow_the_theme_mode(self, host):
        paper = Paper(children=texts(1), variant="outlined")
        paper.renderUi(None, parent=host)
        colour = lambda: paper.palette().color(QPalette.ColorRole.Window).name().upper()  # noqa: E731
        assert colour() == useTheme().palette["background"]["paper"]
        try:
            set_theme_mode("dark")
            assert colour() == useTheme().palette["background"]["paper"] == "#1D1B20"
            # Text inherits the surface's text colour.
            text = paper._children[0].palette().color(QPalette.ColorRole.WindowText).name().upper()
            assert text == useTheme().palette["text"]["primary"]
        finally:
            set_theme_mode("light")

    def test_surfaces_paint_without_errors(self, qtbot, host):
        kids = [Paper(children=texts(1), elevation=3), View(children=texts(1)),
                TableViewCell(children=texts(1), head=True)]
        box = Box(children=kids)
        box.renderUi(None, parent=host)
        host.layout().addWidget(box)
        qtbot.waitUntil(kids[0].isVisible, timeout=1000)
        image = host.grab().toImage()
        assert not image.isNull()
        paper = kids[0]
        inside = paper.mapTo(host, QPoint(paper.width() // 2, paper.height() // 2))
        assert image.pixelColor(inside).name().upper() == useTheme().palette["background"]["paper"]
        view = kids[1]
        inside = view.mapTo(host, QPoint(view.width() - 2, view.height() // 2))
        assert image.pixelColor(inside).name().upper() == useTheme().palette["background"]["default"]


def test_a_deleted_page_is_collected(qtbot, host, dp):
    import gc
    import weakref

    root = Paper(children=[Stack(children=texts(3)), Tabs(children=[Tab(title="A")]), Collapse(open=False)])
    root.renderUi(None, parent=host)
    refs = [weakref.ref(root), weakref.ref(root._children[0]), weakref.ref(root._children[0]._children[0])]
    root.deleteLater()
    del root
    dp.flush_deletes()
    gc.collect()
    assert [r() for r in refs] == [None, None, None]


def test_texts_follow_the_language(host):
    from vantu.i18n.use_translation import TRANSLATIONS, add_translations, i18n, set_language

    saved = {lang: dict(words) for lang, words in TRANSLATIONS.items()}
    before = i18n.lang
    other = next(lang for lang in ("vi", "en") if lang != before)
    section = Section(title="Deferred heading", children=[Typography(text="Deferred text")])
    tabs = Tabs(children=[Tab(title="Deferred tab")])
    for node in (section, tabs):
        node.renderUi(None, parent=host)
    try:
        add_translations(other, {"Deferred heading": "Tiêu đề", "Deferred tab": "Thẻ", "Deferred text": "Chữ"})
        set_language(other)
        assert section.titleLabel.text() == "Tiêu đề" and section._children[0].text() == "Chữ"
        assert tabs.tabBar.tabText(0) == "Thẻ"
    finally:
        set_language(before)
        for lang in saved:  # in place: the language object holds these very dicts
            TRANSLATIONS[lang].clear()
            TRANSLATIONS[lang].update(saved[lang])
    assert section.titleLabel.text() == "Deferred heading" and tabs.tabBar.tabText(0) == "Deferred tab"
