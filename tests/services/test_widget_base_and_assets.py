"""Tooltip filter, PyWidgetBase mixin, shipped icons and the Iconify widget."""
import gc
import os
import weakref

import pytest
import shiboken6
from PySide6.QtCore import QCoreApplication, QEvent, QObject, QPoint, QSize
from PySide6.QtGui import QColor, QHelpEvent, QIcon
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
