"""Tooltip filter, PyWidgetBase mixin, shipped icons and the Iconify widget."""
import gc
import os
import subprocess
import sys
import weakref

import pytest
import shiboken6
from PySide6.QtCore import QCoreApplication, QEvent, QObject, QPoint, QSize
from PySide6.QtGui import QColor, QHelpEvent, QIcon, QPixmap
from PySide6.QtWidgets import QApplication, QPushButton, QToolTip, QWidget

from vantu.material.iconify import Iconify
from vantu.material.styles import DARK_PALETTE, LIGHT_PALETTE, set_theme_mode
from vantu.material.widget_base import PyWidgetBase
from vantu.vantu_assets import VANTU_ASSETS


@pytest.fixture(autouse=True)
def light_theme():
    set_theme_mode("light")
    yield
    set_theme_mode("light")
    QToolTip.hideText()


def ask_tooltip(widget):
    event = QHelpEvent(QEvent.ToolTip, QPoint(2, 2), widget.mapToGlobal(QPoint(2, 2)))
    QApplication.sendEvent(widget, event)


def tip_label():
    labels = [w for w in QApplication.topLevelWidgets() if w.objectName() == "qtooltip_label"]
    return labels[0] if labels else None


class TestTooltipFilter:
    def test_shows_tooltip_in_theme_colours(self, qtbot):
        button = QPushButton("Save")
        qtbot.addWidget(button)
        button.setToolTip("Saves the form")
        PyWidgetBase._installTooltipFilter(button)
        with qtbot.waitExposed(button):
            button.show()
        ask_tooltip(button)
        qtbot.waitUntil(lambda: QToolTip.isVisible())
        assert QToolTip.text() == "Saves the form"
        label = tip_label()
        assert label.palette().color(label.backgroundRole()) == QColor(LIGHT_PALETTE["tooltip"]["background"])

        QToolTip.hideText()
        set_theme_mode("dark")
        ask_tooltip(button)
        qtbot.waitUntil(lambda: QToolTip.isVisible())
        label = tip_label()
        assert label.palette().color(label.foregroundRole()) == QColor(DARK_PALETTE["tooltip"]["text"])

    def test_installs_once_as_child_and_releases_widget(self, qapp):
        widget = QWidget()
        first = PyWidgetBase._installTooltipFilter(widget)
        assert PyWidgetBase._installTooltipFilter(widget) is first
        assert first.parent() is widget
        assert len(widget.findChildren(QObject, "vantu-tooltip-filter")) == 1
        ref = weakref.ref(widget)
        widget.deleteLater()
        qapp.processEvents()
        QCoreApplication.sendPostedEvents(None, QEvent.DeferredDelete)
        assert not shiboken6.isValid(first)
        del widget, first
        gc.collect()
        assert ref() is None

    def test_widget_without_tooltip_shows_nothing(self, qtbot):
        widget = QWidget()
        qtbot.addWidget(widget)
        PyWidgetBase._installTooltipFilter(widget)
        with qtbot.waitExposed(widget):
            widget.show()
        ask_tooltip(widget)
        assert not QToolTip.isVisible()

    def test_refuses_non_widgets(self):
        with pytest.raises(TypeError, match="'widget'"):
            PyWidgetBase._installTooltipFilter(QObject())

    def test_mixin_constructor_is_inert_and_repeatable(self, qtbot):
        class Field(QWidget, PyWidgetBase):
            def __init__(self):
                QWidget.__init__(self)
                PyWidgetBase.__init__(self)
                PyWidgetBase.__init__(self, anything=1)

        field = Field()
        qtbot.addWidget(field)
        assert field.children() == []


class TestIcons:
    @pytest.mark.parametrize("name", ["ARROW_DOWN", "ARROW_UP", "CLOSE", "CALENDAR"])
    def test_icon_is_a_shipped_file_that_renders(self, qapp, name):
        asset = getattr(VANTU_ASSETS.ICONS, name)
        assert os.path.isfile(os.fspath(asset))
        icon = QIcon(asset)
        assert not icon.isNull()
        image = icon.pixmap(QSize(24, 24)).toImage()
        opaque = sum(image.pixelColor(x, y).alpha() > 0 for x in range(24) for y in range(24))
        assert opaque > 20

    @staticmethod
    def glyph_colours(icon, size=48, ratio=1.0, mode=QIcon.Mode.Normal):
        image = icon.pixmap(QSize(size, size), ratio, mode).toImage()
        assert image.size() == QSize(round(size * ratio), round(size * ratio))
        return {image.pixelColor(x, y).name() for x in range(image.width()) for y in range(image.height())
                if image.pixelColor(x, y).alpha() == 255}

    @pytest.mark.parametrize("ratio", [1.0, 2.0])
    def test_icons_take_the_theme_colour_when_drawn(self, qapp, ratio):
        # A copy made before the switch follows it as well: the colour comes from the source.
        copy = QIcon(VANTU_ASSETS.ICONS.CLOSE)
        assert self.glyph_colours(copy, ratio=ratio) == {"#757575"}
        set_theme_mode("dark")
        assert self.glyph_colours(copy, ratio=ratio) == {DARK_PALETTE["text"]["secondary"].lower()}
        # Disabled, in the theme's translucent disabled text colour.
        image = copy.pixmap(QSize(48, 48), ratio, QIcon.Mode.Disabled).toImage()
        assert max(image.pixelColor(x, y).alpha() for x in range(48) for y in range(48)) == QColor(
            DARK_PALETTE["text"]["disabled"]).alpha()

    def test_copies_detached_copies_and_deletion_are_safe(self, qapp):
        import vantu.vantu_assets as assets

        button = QPushButton()
        button.setIcon(VANTU_ASSETS.ICONS.ARROW_DOWN)
        copies = [QIcon(VANTU_ASSETS.ICONS.ARROW_DOWN) for _ in range(20)]
        detached = QIcon(VANTU_ASSETS.ICONS.ARROW_UP)
        detached.addPixmap(QPixmap(4, 4))  # changing a shared icon makes Qt clone its engine
        for mode in ("dark", "light", "dark"):
            set_theme_mode(mode)
            assert not detached.pixmap(16).isNull() and not copies[-1].pixmap(16).isNull()
        del copies, detached
        gc.collect()
        button.setIcon(QIcon())
        button.deleteLater()
        qapp.sendPostedEvents(None, QEvent.Type.DeferredDelete)
        assert not VANTU_ASSETS.ICONS.ARROW_UP.pixmap(16).isNull()
        # Engines Qt cloned and deleted again are let go of at the next clone.
        again = QIcon(VANTU_ASSETS.ICONS.CLOSE)
        again.addPixmap(QPixmap(4, 4))
        assert len(assets._CLONES) == 1 and shiboken6.isValid(assets._CLONES[0])

    def test_windows_repaint_after_a_theme_switch(self, qtbot):
        window = QWidget()
        qtbot.addWidget(window)
        button = QPushButton(window)
        button.setIcon(QIcon(VANTU_ASSETS.ICONS.ARROW_DOWN))
        painted = []

        class Watch(QObject):
            def eventFilter(self, obj, event):
                if event.type() == QEvent.Type.Paint:
                    painted.append(obj)
                return False

        watch = Watch()
        button.installEventFilter(watch)
        with qtbot.waitExposed(window):
            window.show()
        qtbot.wait(20)
        painted.clear()
        set_theme_mode("dark")
        qtbot.waitUntil(lambda: button in painted)

    def test_interpreter_exits_cleanly_with_icons_in_use(self, tmp_path):
        script = (
            "from PySide6.QtWidgets import QApplication, QPushButton\n"
            "from PySide6.QtGui import QIcon, QPixmap\n"
            "app = QApplication([])\n"
            "from vantu.vantu_assets import VANTU_ASSETS\n"
            "from vantu.material.styles import set_theme_mode\n"
            "b = QPushButton(); b.setIcon(VANTU_ASSETS.ICONS.CLOSE); b.show(); app.processEvents()\n"
            "c = QIcon(VANTU_ASSETS.ICONS.CLOSE); c.addPixmap(QPixmap(2, 2)); set_theme_mode('dark')\n"
            "b.grab(); print('done')\n"
        )
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        result = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, env=env, timeout=60)
        assert result.returncode == 0 and result.stdout.strip() == "done", result.stderr


class TestIconify:
    def opaque_colours(self, widget):
        image = widget.pixmap().toImage()
        return {
            image.pixelColor(x, y).name()
            for x in range(image.width())
            for y in range(image.height())
            if image.pixelColor(x, y).alpha() == 255
        }

    def test_tinted_icon_follows_the_theme(self, qtbot):
        icon = Iconify(key="close", color="error", size=20)
        qtbot.addWidget(icon)
        assert icon.size() == QSize(20, 20)
        assert self.opaque_colours(icon) == {LIGHT_PALETTE["error"]["main"].lower()}
        set_theme_mode("dark")
        assert self.opaque_colours(icon) == {DARK_PALETTE["error"]["main"].lower()}

    def test_untinted_icon_by_path_and_later_changes(self, qtbot):
        icon = Iconify(key=VANTU_ASSETS.ICONS.CALENDAR, size=24)
        qtbot.addWidget(icon)
        assert self.opaque_colours(icon) == {"#757575"}
        icon.setColor("#00ff00")
        icon.setKey("ARROW_UP")
        icon.setIconSize(32)
        assert icon.size() == QSize(32, 32) and icon.key() == os.fspath(VANTU_ASSETS.ICONS.ARROW_UP)
        assert self.opaque_colours(icon) == {"#00ff00"}

    @pytest.mark.parametrize(
        ("kwargs", "name"),
        [({"key": "no-such-icon"}, "'key'"), ({"key": "close", "color": "notacolour"}, "'color'"),
         ({"key": "close", "size": 0}, "'size'")],
    )
    def test_bad_arguments_are_named(self, kwargs, name):
        with pytest.raises(ValueError, match=name):
            Iconify(**kwargs)
